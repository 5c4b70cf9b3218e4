#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/Snapshotter.h"
#include "Dormio/UI/Pages/RawPopover.h"
#include "Dormio/UI/Shell/MenuBarView.h"
#include "Dormio/UI/Shell/SettingsWindow.h"
#include "Dormio/UI/Shell/WelcomeView.h"
#include "DormioKit/Story.h"

#include <algorithm>

namespace dormio::Snapshotter {

namespace {

// The record the raw card shows: the selected night's first group, else its first item.
std::optional<StoryItem> rawItem(const Night* night) {
    if (!night) return std::nullopt;
    const std::vector<StoryItem> items = Story::items(*night);
    if (items.empty()) return std::nullopt;
    const auto group =
        std::find_if(items.begin(), items.end(), [](const StoryItem& item) { return item.isGroup(); });
    return group != items.end() ? *group : items.front();
}

} // namespace

void standalone(Store& store, const QDir& out, const QString& suffix) {
    const auto file = [&](const QString& name) { return out.filePath(name + "-" + suffix + ".png"); };

    for (int step = 0; step < WelcomeView::stepCount; ++step) {
        auto* tour = new WelcomeView(store, [] {});
        for (int moved = 0; moved < step; ++moved)
            tour->go(1);
        render(tour, file(QStringLiteral("20-welcome-%1").arg(step + 1)));
    }

    render(new MenuBarView(store), file("21-menubar"));
    const std::vector<Night> nights = store.nights();
    store.setNights({});
    render(new MenuBarView(store), file("21-menubar-empty"));
    store.setNights(nights);
    const std::vector<LiveRow> live = store.live();
    store.setLive({});
    render(new MenuBarView(store), file("22-menubar-clear"));
    store.setLive(live);

    if (const std::optional<StoryItem> item = rawItem(store.selectedNight()))
        render(new RawPopover(*item), file("23-raw-popover"));
    render(new SettingsWindow(store, true), file("24-settings-window"));
}

} // namespace dormio::Snapshotter

// Pictures of the main window on each page and of the menu bar extra, in both appearances, for a person
// to look at under the build folder's gallery/.

#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Shell/MenuBarView.h"
#include "Dormio/UI/Shell/RootView.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QTest>

namespace dormio {
namespace {

using namespace std::chrono_literals;

class ShellGallery : public testing::StoreTest, public ::testing::WithParamInterface<Appearance> {
protected:
    QString name(const QString& what) const { return what + "-" + test::nameOf(GetParam()); }

    test::InstantClock instant;
};

TEST_P(ShellGallery, TheMainWindowOnEachPage) {
    const test::AppearanceScope appearance(GetParam());
    Store& store = makeStore();
    DemoData::apply(store);
    RootView root(store);
    root.resize(1020, 680);
    root.show();
    for (Page page : Pages::allCases) {
        store.go(page);
        QTest::qWait(50); // the page's layouts settle as the event loop runs

        const QImage image = test::render(root, 2);
        EXPECT_EQ(image.size(), QSize(2040, 1360));
        EXPECT_TRUE(test::writeGallery(image, name(QStringLiteral("window-") + rawValue(page).data())));
    }
}

TEST_P(ShellGallery, TheMenuBarExtra) {
    const test::AppearanceScope appearance(GetParam());
    Store& store = makeStore();
    MenuBarView view(store);
    view.show();
    const auto shoot = [&](const char* what) {
        QCoreApplication::processEvents();
        view.adjustSize();
        const QImage image = test::render(view, 2, QColor(Theme::paper));
        EXPECT_EQ(image.width(), 2 * MenuBarView::fixedWidth);
        EXPECT_TRUE(test::writeGallery(image, name(QStringLiteral("menubar-") + what)));
    };
    shoot("empty");
    DemoData::apply(store);
    std::vector<LiveRow> live = store.live();
    LiveRow longName = live.front();
    longName.assertion.pid = 77;
    longName.identity.name = "An Application With A Very Long Name Indeed";
    live.push_back(longName);
    store.setLive(live);
    shoot("holders");
    store.setLive({});
    shoot("clear");
}

INSTANTIATE_TEST_SUITE_P(Appearances, ShellGallery, ::testing::Values(Appearance::light, Appearance::dark),
                         [](const auto& info) { return std::string(test::nameOf(info.param)); });

} // namespace
} // namespace dormio

#include "Dormio/Core/Store.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Published.h"
#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/SupportDir.h"
#include "Dormio/Core/Toast.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"

#include <QtConcurrent>
#include <algorithm>
#include <utility>

namespace dormio {

namespace {

// A night that ended less than this long ago is "Last Night" while it is the default night.
constexpr double lastNightSeconds = 72000;

} // namespace

Store& Store::shared() {
    static Store* store =
        new Store(Platform::system(),
                  Toast::shared()); // never destroyed: timers and views use it until the process ends
    return *store;
}

Store::Store(Platform platform, Toast& toast, QObject* parent)
    : QObject(parent), loginItemEnabled_(platform.loginItem->status() == LoginItemStatus::enabled),
      platform_(std::move(platform)), toast_(toast),
      energy_(
          std::make_unique<EnergyRecorder>(supportDir() + QStringLiteral("/energy.json"), platform_.energy)),
      historyURL_(supportDir() + QStringLiteral("/nights.json")) {}

Store::~Store() = default;

QString Store::supportDir() {
    return SupportDir::path();
}

void Store::setPage(Page page) {
    publish(this, page_, page, &Store::pageChanged);
}
void Store::setNights(std::vector<Night> nights) {
    const bool equal = nights == *nights_;
    replaceNights(std::move(nights), equal);
}
void Store::replaceNights(std::vector<Night> nights, bool equal) {
    std::shared_ptr<const std::vector<Night>> left;
    if (equal) {
        left = std::make_shared<const std::vector<Night>>(std::move(nights));
    } else {
        left = std::exchange(nights_, std::make_shared<const std::vector<Night>>(std::move(nights)));
        emit nightsChanged();
    }
    // Sixty busy nights take milliseconds to free: the thread pool frees the list that is left over, and
    // gives the heap's pages back, a log read's records' among them.
    (void)QtConcurrent::run([left = std::move(left)]() mutable {
        left.reset();
        ReadThreads::giveBackFreedMemory();
    });
}
void Store::setSelectedNightID(std::optional<std::string> id) {
    publish(this, selectedNightID_, std::move(id), &Store::selectedNightIDChanged);
}
void Store::setLoading(bool loading) {
    publish(this, loading_, loading, &Store::loadingChanged);
}
void Store::setLoadedOnce(bool loadedOnce) {
    publish(this, loadedOnce_, loadedOnce, &Store::loadedOnceChanged);
}
void Store::setLogFailure(std::optional<QString> failure) {
    publish(this, logFailure_, std::move(failure), &Store::logFailureChanged);
}
void Store::setLive(std::vector<LiveRow> live) {
    publish(this, live_, std::move(live), &Store::liveChanged);
}
void Store::setBattery(std::optional<BatteryInfo> battery) {
    publish(this, battery_, std::move(battery), &Store::batteryChanged);
}
void Store::setLastLiveRead(std::optional<Date> date) {
    publish(this, lastLiveRead_, date, &Store::lastLiveReadChanged);
}
void Store::setShowWelcome(bool show) {
    publish(this, showWelcome_, show, &Store::showWelcomeChanged);
}
void Store::setLoginItemEnabled(bool enabled) {
    publish(this, loginItemEnabled_, enabled, &Store::loginItemEnabledChanged);
}
void Store::setLoginItemMessage(std::optional<QString> message) {
    publish(this, loginItemMessage_, std::move(message), &Store::loginItemMessageChanged);
}

const Night* Store::selectedNight() const {
    const std::vector<Night>& all = nights();
    if (all.empty()) return nullptr;
    if (selectedNightID_) {
        auto found = std::find_if(all.begin(), all.end(),
                                  [&](const Night& night) { return night.id == *selectedNightID_; });
        if (found != all.end()) return &*found;
    }
    return &all.back();
}

std::optional<std::string> Store::defaultNightID() const {
    const std::vector<Night>& all = nights();
    auto finished =
        std::find_if(all.rbegin(), all.rend(), [](const Night& night) { return !night.inProgress; });
    if (finished != all.rend()) return finished->id;
    if (all.empty()) return std::nullopt;
    return all.back().id;
}

bool Store::canStep(int offset) const {
    const Night* selected = selectedNight();
    if (!selected) return false;
    const auto position = selected - nights().data();
    const auto target = position + offset;
    return target >= 0 && target < static_cast<std::ptrdiff_t>(nights().size());
}

void Store::step(int offset) {
    if (!canStep(offset)) return;
    setSelectedNightID(nights()[std::size_t(selectedNight() - nights().data() + offset)].id);
}

void Store::open(const Night& night) {
    setSelectedNightID(night.id);
    setPage(Page::night);
}

QString Store::title(const Night& night) const {
    if (night.inProgress) return QStringLiteral("Tonight, so far");
    if (night.id == defaultNightID() && currentDate() - night.end < lastNightSeconds)
        return QStringLiteral("Last Night");
    return QString::fromStdString(Fmt::longDay(night.start)) + QStringLiteral(" night");
}

QString Store::menuSummary() const {
    const auto id = defaultNightID();
    auto night = std::find_if(nights().begin(), nights().end(), [&](const Night& n) { return n.id == id; });
    if (night != nights().end()) return QString::fromStdString(NightSummary::line(*night));
    if (!loadedOnce_) return QStringLiteral("Reading the power log…");
    return logFailure_.value_or(QStringLiteral("No nights recorded yet"));
}

} // namespace dormio

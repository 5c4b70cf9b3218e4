#include "Dormio/DevModes/DemoRules.h"

#include "DormioKit/Story.h"

#include <algorithm>
#include <cmath>

namespace dormio::DemoRules {

namespace {

constexpr int margin = 40;
constexpr QSize largest(1600, 1000);
constexpr double wakeThreshold = 0.42;
// Past the wake's own minute, so the readout names that wake and not the minute before it.
constexpr double pastTheWake = 0.0005;
constexpr std::size_t candidateCount = 8;

int centred(int start, int length, int inside) {
    return start + int(std::floor((length - inside) / 2.0));
}

} // namespace

QRect demoFrame(const QRect& available, const QSize& leastSize) {
    const int width = std::max(std::min(available.width() - margin, largest.width()), leastSize.width());
    const int height = std::max(std::min(available.height() - margin, largest.height()), leastSize.height());
    return QRect(centred(available.x(), available.width(), width),
                 centred(available.y(), available.height(), height), width, height);
}

std::optional<double> wakeFraction(const Night& night) {
    const double duration = night.duration();
    if (!(duration > 0)) return std::nullopt;
    const Date threshold = night.start + wakeThreshold * duration;
    for (const NightEvent& event : night.wakeMoments()) {
        if (event.kind == NightEvent::Kind::darkWake && event.date > threshold)
            return (event.date - night.start) / duration + pastTheWake;
    }
    return std::nullopt;
}

std::optional<QString> darkWakeItem(const Night& night) {
    for (const StoryItem& item : Story::items(night))
        if (item.first().kind == NightEvent::Kind::darkWake) return QString::fromStdString(item.id());
    return std::nullopt;
}

std::optional<std::string> busiestRecentNight(const std::vector<Night>& nights) {
    std::vector<const Night*> finished;
    for (const Night& night : nights)
        if (!night.inProgress) finished.push_back(&night);
    if (finished.size() < 2) return std::nullopt;
    finished.pop_back();
    const std::size_t first = finished.size() > candidateCount ? finished.size() - candidateCount : 0;
    const Night* pick = nullptr;
    for (std::size_t i = finished.size(); i-- > first;) {
        if (!pick || finished[i]->wakeCount() > pick->wakeCount()) pick = finished[i];
    }
    return pick->id;
}

const LiveRow* musicRow(const std::vector<LiveRow>& live) {
    const auto found = std::find_if(live.begin(), live.end(),
                                    [](const LiveRow& row) { return row.identity.name == "Music"; });
    return found == live.end() ? nullptr : &*found;
}

double scrubFraction(double from, double to, double elapsed, double seconds) {
    const double t = seconds > 0 ? std::clamp(elapsed / seconds, 0.0, 1.0) : 1.0;
    const double eased = t < 0.5 ? 2 * t * t : 1 - (2 - 2 * t) * (2 - 2 * t) / 2;
    return t >= 1 ? to : from + (to - from) * eased;
}

Date scrubDate(const Night& night, double fraction) {
    const double held = fraction <= 0 ? 0 : std::min(fraction, 1.0);
    return night.start + held * night.duration();
}

} // namespace dormio::DemoRules

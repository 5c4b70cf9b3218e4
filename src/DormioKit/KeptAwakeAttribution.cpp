#include "DormioKit/KeptAwakeAttribution.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace dormio::NightBuilder {

namespace {

constexpr double minimumSeconds = 20;
// powerd holds assertions on the system's own behalf; naming it would blame the Mac for being awake.
constexpr std::string_view systemProcess = "powerd";

struct Span {
    Date start;
    Date end;
};

bool isUp(const Segment& segment) {
    return segment.state == PowerState::dark || segment.state == PowerState::awake;
}

// The union of the releases' spans, as disjoint spans in time order; touching spans merge.
std::vector<Span> mergedSpans(const std::vector<const AssertionRelease*>& group) {
    std::vector<const AssertionRelease*> byStart = group;
    std::stable_sort(
        byStart.begin(), byStart.end(),
        [](const AssertionRelease* a, const AssertionRelease* b) { return a->start() < b->start(); });
    std::vector<Span> spans;
    for (const AssertionRelease* release : byStart) {
        if (!spans.empty() && release->start() <= spans.back().end)
            spans.back().end = std::max(spans.back().end, release->end);
        else
            spans.push_back(Span{release->start(), release->end});
    }
    return spans;
}

double secondsUp(const std::vector<Span>& spans, const std::vector<Segment>& up) {
    double seconds = 0;
    for (const Span& span : spans)
        for (const Segment& segment : up)
            if (segment.end > span.start && segment.start < span.end)
                seconds += std::min(span.end, segment.end) - std::max(span.start, segment.start);
    return seconds;
}

// The first of the longest releases in input order.
const AssertionRelease& longest(const std::vector<const AssertionRelease*>& group) {
    const AssertionRelease* best = group.front();
    for (const AssertionRelease* release : group)
        if (release->duration > best->duration) best = release;
    return *best;
}

} // namespace

std::vector<KeptAwake> keptAwake(const std::vector<AssertionRelease>& releases,
                                 const std::vector<Segment>& segments) {
    std::vector<Segment> up;
    std::copy_if(segments.begin(), segments.end(), std::back_inserter(up), isUp);
    if (up.empty()) return {};
    Date upStart = up.front().start;
    Date upEnd = up.back().end;

    std::map<std::string_view, std::vector<const AssertionRelease*>> groups;
    for (const AssertionRelease& release : releases)
        if (release.end > upStart && release.start() < upEnd && release.process != systemProcess)
            groups[release.process].push_back(&release);

    std::vector<KeptAwake> entries;
    for (const auto& [process, group] : groups) {
        double seconds = secondsUp(mergedSpans(group), up);
        if (seconds < minimumSeconds) continue;
        const AssertionRelease& detail = longest(group);
        entries.push_back(
            KeptAwake{std::string(process), std::string(detail.name), std::string(detail.type), seconds});
    }
    std::sort(entries.begin(), entries.end(), [](const KeptAwake& a, const KeptAwake& b) {
        if (a.seconds != b.seconds) return a.seconds > b.seconds;
        return a.process < b.process;
    });
    return entries;
}

} // namespace dormio::NightBuilder

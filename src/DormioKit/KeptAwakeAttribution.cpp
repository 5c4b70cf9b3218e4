#include "DormioKit/KeptAwakeAttribution.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

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

// The union of the releases' spans, as disjoint spans in time order; touching spans merge. A process's
// releases mostly come in the order they started already.
std::vector<Span> mergedSpans(const std::vector<const AssertionRelease*>& group) {
    std::vector<const AssertionRelease*> byStart = group;
    const auto earlier = [](const AssertionRelease* a, const AssertionRelease* b) {
        return a->start() < b->start();
    };
    if (!std::is_sorted(byStart.begin(), byStart.end(), earlier))
        std::stable_sort(byStart.begin(), byStart.end(), earlier);
    std::vector<Span> spans;
    for (const AssertionRelease* release : byStart) {
        if (!spans.empty() && release->start() <= spans.back().end)
            spans.back().end = std::max(spans.back().end, release->end);
        else
            spans.push_back(Span{release->start(), release->end});
    }
    return spans;
}

// Both lists are in time order without overlaps, so one walk through them meets every overlap, span by
// span and segment by segment.
double secondsUp(const std::vector<Span>& spans, const std::vector<Segment>& up) {
    double seconds = 0;
    std::size_t first = 0;
    for (const Span& span : spans) {
        while (first < up.size() && !(up[first].end > span.start))
            ++first;
        for (std::size_t i = first; i < up.size() && up[i].start < span.end; ++i)
            if (up[i].end > span.start)
                seconds += std::min(span.end, up[i].end) - std::max(span.start, up[i].start);
    }
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

std::vector<KeptAwake> keptAwake(std::span<const AssertionRelease> releases,
                                 const std::vector<Segment>& segments) {
    std::vector<Segment> up;
    std::copy_if(segments.begin(), segments.end(), std::back_inserter(up), isUp);
    if (up.empty()) return {};
    Date upStart = up.front().start;
    Date upEnd = up.back().end;

    std::unordered_map<std::string_view, std::vector<const AssertionRelease*>> groups;
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

#pragma once

// Which processes held the Mac awake through a night, from the sleep-blocking assertions they released.

#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <span>
#include <vector>

namespace dormio::NightBuilder {

// The processes whose sleep-blocking assertions held the Mac up during the dark and awake segments, longest
// first. The segments are in time order, as a night's are.
std::vector<KeptAwake> keptAwake(std::span<const AssertionRelease> releases,
                                 const std::vector<Segment>& segments);

} // namespace dormio::NightBuilder

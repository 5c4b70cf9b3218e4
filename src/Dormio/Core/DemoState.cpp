#include "Dormio/Core/DemoState.h"

#include "Dormio/Core/Published.h"
#include "Dormio/Core/System/LogSources.h"

namespace dormio {

DemoState::~DemoState() {
    if (demo_) LogSources::showSampleData(false);
}

void DemoState::setDemo(bool demo) {
    if (demo != demo_) LogSources::showSampleData(demo);
    publish(this, demo_, demo, &DemoState::demoChanged);
}
void DemoState::setSnapshotScroll(std::optional<std::string> target, double seconds) {
    snapshotScrollSeconds_ = seconds;
    publish(this, snapshotScroll_, std::move(target), &DemoState::snapshotScrollChanged);
}
void DemoState::setDemoHistorySpan(std::optional<int> span) {
    publish(this, demoHistorySpan_, span, &DemoState::demoHistorySpanChanged);
}
void DemoState::setDemoScrub(std::optional<Date> scrub) {
    publish(this, demoScrub_, scrub, &DemoState::demoScrubChanged);
}
void DemoState::setDemoHoverNight(std::optional<std::string> id) {
    publish(this, demoHoverNight_, std::move(id), &DemoState::demoHoverNightChanged);
}
void DemoState::setDemoEnergy(DemoEnergy energy) {
    publish(this, demoEnergy_, std::move(energy), &DemoState::demoEnergyChanged);
}

} // namespace dormio

#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Setting.h"
#include "Dormio/Core/Store.h"

namespace dormio {

// A setting with the signal that announces it and what a change triggers.
template <typename T> struct Store::DeclaredSetting {
    Setting<T> setting;
    void (Store::*changed)();
    void (Store::*reaction)() = nullptr;
};

namespace {

bool isHour(int hour) {
    return hour >= 0 && hour <= 23;
}

bool isAtLeastAMinute(int minutes) {
    return minutes >= 1;
}

} // namespace

struct Store::Settings {
    static inline const DeclaredSetting<int> nightStartHour{
        {"nightStartHour", 23, isHour}, &Store::nightStartHourChanged, &Store::refreshLog};
    static inline const DeclaredSetting<int> nightEndHour{
        {"nightEndHour", 7, isHour}, &Store::nightEndHourChanged, &Store::refreshLog};
    static inline const DeclaredSetting<int> sampleMinutes{
        {"sampleMinutes", 5, isAtLeastAMinute}, &Store::sampleMinutesChanged, &Store::restartSampling};
    static inline const DeclaredSetting<bool> trackEnergy{
        {"trackEnergy", true}, &Store::trackEnergyChanged, &Store::followTrackEnergy};
    static inline const DeclaredSetting<bool> showMenuBar{{"showMenuBar", true}, &Store::showMenuBarChanged};
    static inline const DeclaredSetting<bool> welcomeDone{{"welcomeDone", false}, &Store::welcomeDoneChanged};
};

template <typename T> T Store::readSetting(const DeclaredSetting<T>& declared) const {
    return declared.setting.read(settings_);
}

template <typename T> void Store::writeSetting(const DeclaredSetting<T>& declared, T value) {
    declared.setting.write(settings_, value);
    emit(this->*declared.changed)();
    if (declared.reaction) (this->*declared.reaction)();
}

// A night that would start and end at one hour builds no night at all: such a pair reads as the defaults.
int Store::nightStartHour() const {
    const int start = readSetting(Settings::nightStartHour);
    return start == readSetting(Settings::nightEndHour) ? Settings::nightStartHour.setting.fallback() : start;
}
int Store::nightEndHour() const {
    const int end = readSetting(Settings::nightEndHour);
    return end == readSetting(Settings::nightStartHour) ? Settings::nightEndHour.setting.fallback() : end;
}
int Store::sampleMinutes() const {
    return readSetting(Settings::sampleMinutes);
}
bool Store::trackEnergy() const {
    return readSetting(Settings::trackEnergy);
}
bool Store::showMenuBar() const {
    return readSetting(Settings::showMenuBar);
}
bool Store::welcomeDone() const {
    return readSetting(Settings::welcomeDone);
}

void Store::setNightStartHour(int hour) {
    writeSetting(Settings::nightStartHour, hour);
}
void Store::setNightEndHour(int hour) {
    writeSetting(Settings::nightEndHour, hour);
}
void Store::setSampleMinutes(int minutes) {
    writeSetting(Settings::sampleMinutes, minutes);
}
void Store::setTrackEnergy(bool on) {
    writeSetting(Settings::trackEnergy, on);
}
void Store::setShowMenuBar(bool show) {
    writeSetting(Settings::showMenuBar, show);
}
void Store::setWelcomeDone(bool done) {
    writeSetting(Settings::welcomeDone, done);
}

void Store::restartSampling() {
    if (trackEnergy() && !demoState_.demo()) energy_->start(sampleMinutes());
}

void Store::followTrackEnergy() {
    if (trackEnergy() && !demoState_.demo())
        energy_->start(sampleMinutes());
    else
        energy_->stop();
}

} // namespace dormio

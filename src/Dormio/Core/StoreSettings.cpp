#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Settings.h"
#include "Dormio/Core/Store.h"

namespace dormio {

int Store::nightStartHour() const {
    return Settings::nightStartHour.read(settings_);
}
int Store::nightEndHour() const {
    return Settings::nightEndHour.read(settings_);
}
int Store::sampleMinutes() const {
    return Settings::sampleMinutes.read(settings_);
}
bool Store::trackEnergy() const {
    return Settings::trackEnergy.read(settings_);
}
bool Store::showMenuBar() const {
    return Settings::showMenuBar.read(settings_);
}
bool Store::welcomeDone() const {
    return Settings::welcomeDone.read(settings_);
}

void Store::setNightStartHour(int hour) {
    Settings::nightStartHour.write(settings_, hour);
    emit nightStartHourChanged();
    refreshLog();
}
void Store::setNightEndHour(int hour) {
    Settings::nightEndHour.write(settings_, hour);
    emit nightEndHourChanged();
    refreshLog();
}
void Store::setSampleMinutes(int minutes) {
    Settings::sampleMinutes.write(settings_, minutes);
    emit sampleMinutesChanged();
    if (trackEnergy() && !demoState_.demo()) energy_->start(sampleMinutes());
}
void Store::setTrackEnergy(bool on) {
    Settings::trackEnergy.write(settings_, on);
    emit trackEnergyChanged();
    if (trackEnergy() && !demoState_.demo())
        energy_->start(sampleMinutes());
    else
        energy_->stop();
}
void Store::setShowMenuBar(bool show) {
    Settings::showMenuBar.write(settings_, show);
    emit showMenuBarChanged();
}
void Store::setWelcomeDone(bool done) {
    Settings::welcomeDone.write(settings_, done);
    emit welcomeDoneChanged();
}

} // namespace dormio

#pragma once

// The self-test's inputs: the three variables that name its files, the power log and the assertion
// listing it writes before the first read, and the two night-hour settings it changes and puts back.

#include "Dormio/Core/RunMode.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/Date.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <string>
#include <vector>

namespace dormio::SelfTest {

// The paths the store reads instead of the system's tools, and its support folder. The store reads the
// same variables, so the run never touches the user's own history.
struct FixturePaths {
    QString log;
    QString assertions;
    QString supportDir;
};

// None when any of the three is unset or empty: an empty support folder variable would leave the store
// in the user's real support folder, whose history the run deletes.
std::optional<FixturePaths> fixturePaths(const EnvLookup& env);

// The listing of four holders whose owner pids no process is expected to have.
extern const char* const assertionListing;
constexpr int32_t fixturePlayerPID = 99991;

// One night of the fixture: its evening at 22:00 and its morning at 07:00 on the wall clock.
struct FixtureNight {
    Date evening;
    Date morning;
};

// The fixture's nights, oldest first, the last one ending on the latest morning that is not after `now`.
// A night whose evening or morning the calendar cannot form is left out.
std::vector<FixtureNight> fixtureNights(Date now, int count, const Calendar& calendar);

// The power log of the nights: a header line and 13 lines a night, joined by line feeds. The evening and
// night lines count their time from the evening, the morning's lines from the morning, so that a clock
// change in the night neither moves the first line past the start of the night window nor the waking
// into it.
std::string logText(const std::vector<FixtureNight>& nights, const Calendar& calendar);

// Writes the log of `nights` nights up to the present moment's latest morning, in the user's calendar,
// atomically; a failed write is ignored. Gives the mornings, oldest first, all the same.
std::vector<Date> writeLog(const QString& path, int nights);

// Writes the text atomically; a failure shows up in the checks that read it.
void writeFixture(const QString& path, const std::string& text);

// The stored night hours as they were, each absent when its key was not set.
class SavedNightHours {
public:
    static SavedNightHours take();
    // Puts each value back, or removes the key that was absent, and writes the settings file.
    void restore() const;

private:
    std::optional<QVariant> start_;
    std::optional<QVariant> end_;
};

} // namespace dormio::SelfTest

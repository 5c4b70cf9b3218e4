#pragma once

// The ten sections of the self-test, in the order they run. Each drives the store through its public
// operations, as the windows and menus do, and reports one line per check.

#include "Dormio/DevModes/SelfTestReport.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace dormio {

class Store;

namespace SelfTest {

// Whether a process has the pid: a quit of a fixture holder must never reach a real process.
using PidInUse = std::function<bool(int32_t pid)>;

// What the sections share from one step to the next.
struct Run {
    Store& store;
    Report& report;
    QString logFixture;
    PidInUse pidInUse;
    std::vector<Date> mornings; // of the fixture, oldest first
    // The finished nights of the first read, kept unchanged for the later sections.
    std::vector<Night> finished;

    const Night* newest() const { return finished.empty() ? nullptr : &finished.back(); }
    const Night* oldest() const { return finished.empty() ? nullptr : &finished.front(); }
};

struct Section {
    const char* title;
    void (*run)(Run&);
};

void loadTheLog(Run& run);
void historyOnDisk(Run& run);
void steppingBetweenNights(Run& run);
void settingsChangeDuringARead(Run& run);
void refreshAnnounces(Run& run);
void historyOutlivesTheLog(Run& run);
void damagedHistoryFile(Run& run);
void rightNow(Run& run);
void energyData(Run& run);
void anEmptyLog(Run& run);

inline constexpr Section sections[] = {
    {"Load the log", loadTheLog},
    {"History on disk", historyOnDisk},
    {"Stepping between nights", steppingBetweenNights},
    {"Settings change during a read", settingsChangeDuringARead},
    {"Refresh announces when the read is done", refreshAnnounces},
    {"History outlives the log", historyOutlivesTheLog},
    {"Damaged history file", damagedHistoryFile},
    {"Right now", rightNow},
    {"Energy data", energyData},
    {"An empty log", anEmptyLog},
};

// The waits of the sections, in seconds.
inline constexpr double readTimeout = 20;
inline constexpr double windowTimeout = 5;

// Until the log read, and the one it may have left pending, has ended.
void waitForRead(Store& store);
// The text of the store's shown toast, "none" without one.
QString toastText(const Store& store);

} // namespace SelfTest
} // namespace dormio

// Writes a large, realistic power log (and optionally a live assertion listing) for benchmarks and for
// running the app off a Mac:
//
//   make-power-log --days D --mb M --seed S --out FILE [--assertions FILE2] [--end UNIXSECONDS]
//                  [--profile week|busy|storm]
//
// The log covers D days that end at --end (default: now), in the local time zone (TZ), and is about
// M megabytes (MiB): evenings of use, sleep around midnight with dark wakes through the night, a morning
// wake, and the assertion traffic of a busy machine filling the waking hours. The busy profile is heavier
// in what the reader keeps: wake requests all day, many short sleep-blocking assertions of many
// processes, and dark wakes every few minutes through the night; the storm profile is the busy one with a
// dark wake every few seconds through the night. The same seed, end, zone and profile
// always give the same bytes.

#include "PowerLogLines.h"
#include "Random.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using dormio::Random;
namespace LogLines = dormio::LogLines;

namespace {

// --- What the machine's processes hold ---------------------------------------------------------

struct Holder {
    int pid; // as a Mac would number it; written out through listedPid()
    std::string process;
    std::string type;
    std::string name;
    int shortest; // seconds held
    int longest;
};

const std::vector<Holder> dayHolders{
    {412, "backupd", "PreventUserIdleSystemSleep", "Time Machine backup", 60, 900},
    {301, "cloudd", "NoIdleSleepAssertion", "com.apple.cloudd.sync", 2, 120},
    {118, "powerd", "PreventUserIdleSystemSleep", "Powerd - Prevent sleep while display is on", 300, 3600},
    {2210, "Safari", "PreventUserIdleDisplaySleep", "Video Wake Lock", 30, 1800},
    {2231, "com.apple.WebKit.GPU", "PreventUserIdleDisplaySleep", "WebKit Media Playback", 10, 600},
    {2231, "com.apple.WebKit.GPU", "PreventUserIdleSystemSleep", "WebKit Media Playback", 10, 600},
    {1840, "Music", "PreventUserIdleSystemSleep", "Playing audio", 120, 3600},
    {187, "coreaudiod", "PreventUserIdleSystemSleep",
     "com.apple.audio.AppleUSBAudioEngine:Built-In.context.preventuseridlesleep", 5, 900},
    {3021, "zoom.us", "PreventUserIdleDisplaySleep", "Zoom meeting", 600, 3600},
    {3021, "zoom.us", "PreventSystemSleep", "Zoom meeting", 600, 3600},
    {4410, "caffeinate", "PreventSystemSleep", "caffeinate command-line tool", 300, 5400},
    {523, "mds_stores", "BackgroundTask", "com.apple.metadata.mds_stores.power", 5, 300},
    {233, "apsd", "ApplePushServiceTask", "com.apple.apsd-datawake", 1, 20},
    {154, "WindowServer", "InternalPreventSleep", "com.apple.iohideventsystem.queue.tickle", 1, 5},
    {154, "WindowServer", "InternalPreventDisplaySleep", "Display is on", 5, 600},
    {0, "kernel_task", "UserIsActive", "com.apple.iohideventsystem.queue.tickle serviceID:100000541", 1, 300},
    {611, "sharingd", "NetworkClientActive", "Handoff", 1, 60},
    {782, "softwareupdated", "SoftwareUpdateTask", "com.apple.softwareupdate.scan", 30, 600},
    {5120, "Final Cut Pro", "PreventUserIdleSystemSleep", "Exporting \"Holiday\" video", 300, 2400},
    {2890, "Slack Helper (Renderer)", "PreventUserIdleDisplaySleep", "Slack call [huddle]", 60, 1800},
};

const std::vector<Holder> nightHolders{
    {412, "backupd", "PreventUserIdleSystemSleep", "Time Machine backup", 20, 240},
    {301, "cloudd", "NoIdleSleepAssertion", "com.apple.cloudd.sync", 2, 40},
    {233, "apsd", "ApplePushServiceTask", "com.apple.apsd-datawake", 1, 15},
    {290, "dasd", "BackgroundTask", "com.apple.dasd.maintenance", 5, 60},
    {523, "mds_stores", "BackgroundTask", "com.apple.metadata.mds_stores.power", 5, 45},
    {118, "powerd", "InternalPreventSleep", "com.apple.powermanagement.maintenance", 10, 30},
    {1522, "mail", "PreventSystemSleep", "com.apple.mail.fetch", 3, 30},
};

// Linux never hands out a pid at or above its absolute limit (PID_MAX_LIMIT, 4194304), so the holders of
// a generated log and listing can never name a real process of the machine that a Quit would signal.
constexpr int impossiblePidBase = 4194304;

int listedPid(int macPid) {
    return macPid == 0 ? 0 : impossiblePidBase + macPid;
}

// A busy machine's day: many processes holding sleep for seconds at a time (sync, indexing, push, media,
// helpers of every app), and a few holding the display.
const std::vector<Holder> busyDayHolders{
    {301, "cloudd", "NoIdleSleepAssertion", "com.apple.cloudd.sync", 1, 60},
    {312, "bird", "NoIdleSleepAssertion", "com.apple.bird.upload", 1, 45},
    {233, "apsd", "PreventUserIdleSystemSleep", "com.apple.apsd-datawake", 1, 20},
    {290, "dasd", "PreventUserIdleSystemSleep", "com.apple.dasd.activity", 2, 90},
    {523, "mds_stores", "PreventUserIdleSystemSleep", "com.apple.metadata.mds_stores.power", 1, 60},
    {540, "mdworker_shared", "PreventUserIdleSystemSleep", "com.apple.metadata.mdworker", 1, 30},
    {618, "nsurlsessiond", "PreventUserIdleSystemSleep", "com.apple.nsurlsessiond.download", 2, 120},
    {640, "photoanalysisd", "PreventUserIdleSystemSleep", "com.apple.photoanalysisd.backgroundanalysis", 5,
     300},
    {655, "mediaanalysisd", "PreventUserIdleSystemSleep", "com.apple.mediaanalysisd.analysis", 5, 240},
    {702, "suggestd", "NoIdleSleepAssertion", "com.apple.suggestd.harvest", 1, 30},
    {718, "remindd", "PreventUserIdleSystemSleep", "com.apple.remindd.sync", 1, 15},
    {731, "IMDPersistenceAgent", "PreventUserIdleSystemSleep", "com.apple.imdpersistence.save", 1, 10},
    {744, "identityservicesd", "PreventSystemSleep", "com.apple.identityservicesd.push", 1, 20},
    {760, "softwareupdated", "PreventSystemSleep", "com.apple.softwareupdate.scan", 10, 300},
    {412, "backupd", "PreventUserIdleSystemSleep", "Time Machine backup", 30, 600},
    {187, "coreaudiod", "PreventUserIdleSystemSleep",
     "com.apple.audio.AppleUSBAudioEngine:Built-In.context.preventuseridlesleep", 2, 300},
    {1840, "Music", "PreventUserIdleSystemSleep", "Playing audio", 30, 600},
    {1522, "Mail", "PreventSystemSleep", "com.apple.mail.fetch", 1, 30},
    {2231, "com.apple.WebKit.Networking", "PreventUserIdleSystemSleep", "WebKit Networking", 1, 60},
    {2232, "com.apple.WebKit.GPU", "PreventUserIdleSystemSleep", "WebKit Media Playback", 5, 300},
    {2601, "Google Chrome Helper", "PreventUserIdleSystemSleep", "Chromium is downloading a file", 2, 180},
    {2890, "Slack Helper (Renderer)", "PreventUserIdleSystemSleep", "Electron \"power save blocker\"", 5,
     600},
    {3021, "zoom.us", "PreventSystemSleep", "Zoom meeting", 60, 1800},
    {3105, "Microsoft Teams Helper", "PreventUserIdleSystemSleep", "Teams call [in progress]", 30, 900},
    {3310, "Dropbox", "PreventUserIdleSystemSleep", "Dropbox: syncing 24 files", 2, 240},
    {3402, "OneDrive", "NoIdleSleepAssertion", "OneDrive sync", 2, 120},
    {4410, "caffeinate", "PreventSystemSleep", "caffeinate command-line tool", 60, 1800},
    {5120, "Final Cut Pro", "PreventUserIdleSystemSleep", "Exporting \"Holiday\" video", 60, 900},
    {2210, "Safari", "PreventUserIdleDisplaySleep", "Video Wake Lock", 10, 600},
    {154, "WindowServer", "InternalPreventDisplaySleep", "Display is on", 5, 300},
    {0, "kernel_task", "UserIsActive", "com.apple.iohideventsystem.queue.tickle serviceID:100000541", 1, 60},
    {611, "sharingd", "NetworkClientActive", "Handoff", 1, 30},
};

// How busy the machine is. The ordinary week is a laptop's; the busy week keeps the reader busy.
struct Profile {
    const std::vector<Holder>& dayHolders;
    int64_t darkWakeGap[2];    // seconds between the end of one dark wake and the next, at night
    int64_t darkWakeLength[2]; // seconds a dark wake lasts; at least 3, room for its assertions
    int64_t darkWakeHolds[2];  // assertions taken and given back in a dark wake
    double fullWakes;          // of the wakes in the night: those that turn into a full wake
    int64_t dimGap[2];         // seconds between dimmings of the display, by day
    double otherLines;         // of the filler: lines of other types
    double requestLines;       // of the filler: "Wake Requests" lines
};

const Profile weekProfile{dayHolders, {900, 5400}, {20, 120}, {2, 14}, 0.06, {1800, 7200}, 0.08, 0};
const Profile busyProfile{busyDayHolders, {60, 420}, {20, 120}, {2, 14}, 0.06, {300, 1800}, 0.10, 0.14};
// A machine in a wake storm: the busy day, and at night a short dark wake every few seconds, some two
// thousand a night, as logs of machines that cannot stay asleep show.
const Profile stormProfile{busyDayHolders, {2, 12}, {3, 10}, {1, 3}, 0.005, {300, 1800}, 0.10, 0.14};

struct Options {
    int days = 7;
    double megabytes = 64;
    uint64_t seed = 1;
    std::string out;
    std::string assertions;
    int64_t end = 0;
    const Profile* profile = &weekProfile;
};

const std::vector<std::string> endVerbs{"Released", "Released", "Released",  "Released",  "Released",
                                        "Released", "TimedOut", "TurnedOff", "ClientDied"};

// --- Writing lines -----------------------------------------------------------------------------

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

struct Line {
    int64_t when;
    uint64_t order; // keeps lines of one second in the order they were made
    std::string text;
};

class Log {
public:
    void add(int64_t when, std::string_view type, std::string_view message, std::string_view further = {}) {
        std::string text = LogLines::line(LogLines::date(when), type, message, further);
        bytes_ += text.size();
        lines_.push_back({when, lines_.size(), std::move(text)});
    }

    std::size_t bytes() const { return bytes_; }

    std::vector<Line> sorted(int64_t start, int64_t end) && {
        std::erase_if(lines_, [&](const Line& line) { return line.when < start || line.when > end; });
        std::sort(lines_.begin(), lines_.end(), [](const Line& a, const Line& b) {
            return a.when != b.when ? a.when < b.when : a.order < b.order;
        });
        return std::move(lines_);
    }

private:
    std::vector<Line> lines_;
    std::size_t bytes_ = 0;
};

// --- The machine -------------------------------------------------------------------------------

struct Span {
    int64_t start;
    int64_t end;
};

class Machine {
public:
    Machine(Random& random, Log& log, const Profile& profile)
        : random_(random), log_(log), profile_(profile) {}

    void boot(int64_t when) {
        log_.add(when, "Start", "Start due to PowerButton " + source(), "");
        log_.add(when + 1, "Notification", "Display is turned on");
    }

    // The night from going to bed to the morning wake: the dark wakes of maintenance and the odd full wake.
    void night(int64_t bed, int64_t morning) {
        onAC_ = random_.chance(0.4);
        log_.add(bed - random_.between(60, 600), "Notification", "Display is turned off");
        wakeRequests(bed - 1);
        sleep(bed, random_.chance(0.7) ? "Idle Sleep" : "Clamshell Sleep");
        int64_t t = bed + random_.between(900, 3600);
        while (t < morning - 1200) {
            if (random_.chance(profile_.fullWakes))
                t = fullWakeInTheNight(t);
            else
                t = darkWake(t);
            t += random_.between(profile_.darkWakeGap[0], profile_.darkWakeGap[1]);
        }
        wake(morning, random_.chance(0.6) ? "EC.LidOpen/Lid Open" : "UserActivity Assertion");
        log_.add(morning + 1, "Notification", "Display is turned on");
    }

    // A day at the desk: the display dims now and then, and the Mac idles to sleep over lunch now and then
    // and over dinner most days. Lines are made in time order so that each carries the charge of its moment.
    // The charge moves only where the reader sees it move, at the lines that end a sleep (a dark wake, a
    // wake): a charge that ran down unseen through the evening would show as a night's use.
    std::vector<Span> day(int64_t morning, int64_t bed) {
        onAC_ = random_.chance(0.7);
        std::vector<Span> naps;
        if (random_.chance(0.5)) naps.push_back(napFrom(morning + random_.between(4 * 3600, 6 * 3600)));
        if (random_.chance(0.7)) naps.push_back(napFrom(morning + random_.between(10 * 3600, 12 * 3600)));
        std::erase_if(naps, [&](const Span& nap) { return nap.end >= bed - 3600; });

        std::vector<Span> awake;
        int64_t from = morning;
        for (const Span& nap : naps) {
            awake.push_back({from, nap.start});
            from = nap.end;
        }
        awake.push_back({from, bed});
        for (std::size_t i = 0; i < awake.size(); ++i) {
            for (int64_t t = awake[i].start + random_.between(profile_.dimGap[0], profile_.dimGap[1]);
                 t < awake[i].end - 600; t += random_.between(profile_.dimGap[0], profile_.dimGap[1])) {
                log_.add(t, "Notification", "Display is turned off");
                log_.add(t + random_.between(20, 300), "Notification", "Display is turned on");
                log_.add(t + 1, "Summary", "Summary- [System: PrevIdle DeclUser kDisp] " + source());
            }
            if (i < naps.size()) nap(naps[i]);
        }
        if (random_.chance(0.15)) boot(from + (bed - from) / 2); // an update's restart now and then
        return awake;
    }

    Span napFrom(int64_t start) { return {start, start + random_.between(1800, 5400)}; }

    void nap(const Span& span) {
        log_.add(span.start - 600, "Notification", "Display is turned off");
        wakeRequests(span.start - 1);
        sleep(span.start, "Idle Sleep");
        if (random_.chance(0.5)) darkWake(span.start + (span.end - span.start) / 2);
        wake(span.end, "UserActivity Assertion");
        log_.add(span.end + 1, "Notification", "Display is turned on");
    }

    // One assertion taken and given back by a process of the day.
    void assertionPair(int64_t when, const Holder& holder, int64_t until) {
        const int64_t held =
            std::min<int64_t>(random_.between(holder.shortest, holder.longest), until - when);
        const std::string id = "id:0x0x" + hex(0x800000000ull + random_.next() % 0xFFFFFFFull);
        const std::string name = "\"" + holder.name + "\"";
        const std::string head = "PID " + std::to_string(listedPid(holder.pid)) + "(" + holder.process + ") ";
        const std::string aggregate = " Aggregate:0x" + hex(random_.next() % 0x4000);
        log_.add(when, "Assertions",
                 head + "Created " + holder.type + " " + name + " 00:00:00  " + id + aggregate);
        log_.add(when + std::max<int64_t>(held, 0), "Assertions",
                 head + random_.pick(endVerbs) + " " + holder.type + " " + name + " " +
                     LogLines::hms(std::max<int64_t>(held, 0)) + "  " + id + aggregate);
    }

    void otherLines(int64_t when) {
        switch (random_.between(0, 5)) {
        case 0:
            log_.add(
                when, "Kernel Client Acks",
                "Delays to Sleep notifications: [AppleUSBHostPort driver is slow(msg: SetPowerState to 0)(" +
                    std::to_string(random_.between(1, 900)) + " ms)]");
            break;
        case 1:
            log_.add(when, "PM Client Acks",
                     "Delays to Wake notifications: [CDScheduler is slow(msg: WillChangeState)]");
            break;
        case 2:
            log_.add(when, "Assertions", "Summary- [System: PrevIdle DeclUser kDisp] Using AC(Charge: 100)");
            break;
        case 3:
            log_.add(when, "Idle", "System idle time: " + std::to_string(random_.between(0, 3000)) + " secs");
            break;
        case 4:
            log_.add(when, "Sleep Service",
                     "SleepService: window begins with cap requests: Network Disk Vm BG");
            break;
        default:
            log_.add(when, "Notification", "Thermal pressure level: Nominal");
            break;
        }
    }

    // A "Wake Requests" line: the wakes that processes have scheduled, one of them chosen.
    void wakeRequests(int64_t when) {
        struct Request {
            std::string process, request, info;
        };
        static const std::vector<Request> requests{
            {"dasd", "TimerPlugin", "com.apple.mail.fetch"},
            {"powerd", "Maintenance", "com.apple.powerd.maintenance"},
            {"com.apple.CDScheduler", "CDScheduler", "com.apple.cloudd [nightly]"},
            {"apsd", "PushWake", "com.apple.apsd \"keepalive\""},
            {"backupd-helper", "TimeMachine", "com.apple.backupd.autobackup"},
        };
        const int64_t count = random_.between(1, 4);
        const int64_t chosen = random_.between(0, count - 1);
        std::string message;
        for (int64_t i = 0; i < count; ++i) {
            const Request& r = random_.pick(requests);
            const int64_t delta = random_.between(300, 14400);
            message += std::string(message.empty() ? "" : " ") + "[" + (i == chosen ? "*" : "") +
                       "process=" + r.process + " request=" + r.request +
                       " deltaSecs=" + std::to_string(delta) + " wakeAt=" + LogLines::clock(when + delta) +
                       " info=\"" + r.info + "\"]";
        }
        log_.add(when, "Wake Requests", message);
    }

private:
    std::string source() {
        return std::string(onAC_ ? "Using AC" : "Using Batt") + " (Charge:" + std::to_string(charge_) + "%)";
    }

    void sleep(int64_t when, std::string_view reason) {
        log_.add(when - 1, "Kernel Client Acks",
                 "Delays to Sleep notifications: [AppleHDAController driver is slow]");
        log_.add(when, "Sleep",
                 "Entering Sleep state due to '" + std::string(reason) + "':TCPKeepAlive=active " + source(),
                 std::to_string(random_.between(2, 40)) + " secs");
    }

    // The sleep that this wake ends ran the battery down a little, or filled it on the charger.
    void wake(int64_t when, std::string_view cause) {
        charge_ = onAC_ ? std::min(charge_ + static_cast<int>(random_.between(5, 40)), 100)
                        : std::max(charge_ - 2, 5);
        log_.add(when, "Wake", "Wake from Deep Idle [CDNVA] : due to " + std::string(cause) + " " + source());
        log_.add(when + 1, "Kernel Client Acks",
                 "Delays to Wake notifications: [IOThunderboltSwitch is slow]");
    }

    int64_t darkWake(int64_t when) {
        // A dark wake costs a fraction of a point: every third or so shows as one point less.
        if (!onAC_ && random_.chance(0.3)) charge_ = std::max(charge_ - 1, 5);
        const int64_t length = random_.between(profile_.darkWakeLength[0], profile_.darkWakeLength[1]);
        static const std::vector<std::string> causes{"NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance",
                                                     "RTC (Alarm)", "ARPT/Network",
                                                     "NUB.SPMISw3IRQ/SMC.OutboxNotEmpty"};
        log_.add(when, "DarkWake",
                 "DarkWake from Deep Idle [CDNP] : due to " + random_.pick(causes) + " " + source(),
                 std::to_string(length) + " secs");
        const int64_t count = random_.between(profile_.darkWakeHolds[0], profile_.darkWakeHolds[1]);
        for (int64_t i = 0; i < count; ++i)
            assertionPair(when + random_.between(0, length / 2), random_.pick(nightHolders),
                          when + length - 2);
        if (random_.chance(0.3)) otherLines(when + 1);
        wakeRequests(when + length - 1);
        log_.add(when + length, "Sleep",
                 "Entering Sleep state due to 'Maintenance Sleep':TCPKeepAlive=active " + source(),
                 std::to_string(random_.between(2, 20)) + " secs");
        return when + length;
    }

    int64_t fullWakeInTheNight(int64_t when) {
        log_.add(when, "DarkWake", "DarkWake from Deep Idle [CDNP] : due to EC.PowerButton " + source(),
                 "2 secs");
        log_.add(when + 2, "Wake",
                 "DarkWake to FullWake from Deep Idle [CDNVA] : due to UserActivity Assertion " + source());
        log_.add(when + 3, "Notification", "Display is turned on");
        const int64_t awake = random_.between(120, 900);
        for (int64_t t = when + 10; t < when + awake; t += random_.between(5, 40))
            assertionPair(t, random_.pick(profile_.dayHolders), when + awake - 1);
        log_.add(when + awake, "Notification", "Display is turned off");
        log_.add(when + awake + 30, "Sleep", "Entering DarkWake state due to 'Idle Sleep': " + source(),
                 "4 secs");
        const int64_t dark = when + awake + 30 + random_.between(30, 120);
        log_.add(dark, "Sleep",
                 "Entering Sleep state due to 'Maintenance Sleep':TCPKeepAlive=active " + source(), "6 secs");
        return dark;
    }

    Random& random_;
    Log& log_;
    const Profile& profile_;
    bool onAC_ = true;
    int charge_ = 100;
};

// --- The whole log -----------------------------------------------------------------------------

// A local wall-clock time on the day that holds `day`, moved by whole days and minutes.
int64_t localTime(int64_t day, int dayOffset, int minutes) {
    const time_t t = day;
    std::tm local{};
    localtime_r(&t, &local);
    local.tm_mday += dayOffset;
    local.tm_hour = 0;
    local.tm_min = minutes;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return mktime(&local);
}

std::vector<Line> makeLog(const Options& options, Random& random) {
    Log log;
    const Profile& profile = *options.profile;
    Machine machine(random, log, profile);
    const int64_t start = options.end - int64_t{options.days} * 86400;
    machine.boot(start);

    std::vector<Span> awake;
    int64_t morning = start + 2;
    for (int day = 0; day <= options.days; ++day) {
        const int64_t bed = localTime(start, day, static_cast<int>(random.between(23 * 60, 25 * 60)));
        const int64_t nextMorning =
            localTime(start, day + 1, static_cast<int>(random.between(6 * 60 + 30, 8 * 60 + 30)));
        if (bed <= morning) continue;
        for (const Span& span : machine.day(morning, bed))
            if (std::min(span.end, options.end) > span.start)
                awake.push_back({span.start, std::min(span.end, options.end)});
        machine.night(bed, nextMorning);
        morning = nextMorning;
    }

    // The busy hours fill the rest of the size: assertion traffic, wake requests and other lines, spread
    // over the waking time in proportion to its length.
    std::vector<int64_t> reach;
    int64_t total = 0;
    for (const Span& span : awake)
        reach.push_back(total += std::max<int64_t>(span.end - span.start, 1));
    const auto target = static_cast<std::size_t>(options.megabytes * 1024 * 1024);
    while (log.bytes() < target) {
        const int64_t at = random.between(0, total - 1);
        const auto index =
            static_cast<std::size_t>(std::upper_bound(reach.begin(), reach.end(), at) - reach.begin());
        const Span& span = awake[index];
        const int64_t when = span.end - (reach[index] - at);
        const double kind = random.unit();
        if (kind < profile.otherLines)
            machine.otherLines(when);
        else if (kind < profile.otherLines + profile.requestLines)
            machine.wakeRequests(when);
        else
            machine.assertionPair(when, random.pick(profile.dayHolders), span.end - 1);
    }
    return std::move(log).sorted(start, options.end);
}

void writeLog(const std::string& path, const std::vector<Line>& lines) {
    std::ofstream out(path, std::ios::binary);
    out << "Time stamp                Domain                  \tMessage\tDuration\tDelay\n"
        << "==========                ======                  \t=======\t========\t=====\n\n";
    for (const Line& line : lines)
        out << line.text;
    out << "\nTotal Sleep/Wakes since boot:" << std::count_if(lines.begin(), lines.end(), [](const Line& l) {
        return std::string_view(l.text).substr(26, 21) == "Sleep               \t";
    }) << "\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

// A listing of the assertions held at the end, in the tool's layout.
void writeAssertions(const std::string& path, int64_t end, Random& random) {
    std::ofstream out(path, std::ios::binary);
    out << LogLines::date(end) << " \n"
        << "Assertion status system-wide:\n"
           "   BackgroundTask                 0\n"
           "   ApplePushServiceTask           0\n"
           "   UserIsActive                   1\n"
           "   PreventUserIdleDisplaySleep    1\n"
           "   PreventSystemSleep             1\n"
           "   ExternalMedia                  0\n"
           "   InternalPreventDisplaySleep    1\n"
           "   PreventUserIdleSystemSleep     1\n"
           "   NetworkClientActive            0\n"
           "Listed by owning process:\n";
    const std::vector<const Holder*> held{&dayHolders[6], &dayHolders[4],  &dayHolders[10],
                                          &dayHolders[2], &dayHolders[14], &dayHolders[1]};
    int slot = 0;
    for (const Holder* holder : held) {
        char group[16];
        std::snprintf(group, sizeof group, "[0x%04x]", 0x1000 + ++slot);
        out << "   pid " << listedPid(holder->pid) << "(" << holder->process << "): " << group << ' '
            << LogLines::hms(random.between(60, 3 * 3600)) << ' ' << holder->type << " named: \""
            << holder->name << "\" \n";
        if (holder->process == "com.apple.WebKit.GPU")
            out << "\tCreated for PID: " << listedPid(2210) << ". \n";
        if (holder->process == "caffeinate")
            out << "\tTimeout will fire in " << random.between(60, 3600)
                << " secs Action=TimeoutActionRelease\n";
    }
    out << "Kernel Assertions: 0x4=USB\n"
           "   id=500  level=255 0x4=USB mod="
        << LogLines::clock(end - 7200)
        << " description=com.apple.usb.externaldevice.01100000 owner=Keyboard\n"
           "Idle sleep preventers: IODisplayWrangler\n";
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::optional<Options> readOptions(int argc, char** argv) {
    Options options;
    options.end = std::time(nullptr);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view key = argv[i];
        const char* value = argv[i + 1];
        if (key == "--days")
            options.days = std::atoi(value);
        else if (key == "--mb")
            options.megabytes = std::atof(value);
        else if (key == "--seed")
            options.seed = std::strtoull(value, nullptr, 10);
        else if (key == "--out")
            options.out = value;
        else if (key == "--assertions")
            options.assertions = value;
        else if (key == "--end")
            options.end = std::strtoll(value, nullptr, 10);
        else if (key == "--profile" && std::string_view(value) == "week")
            options.profile = &weekProfile;
        else if (key == "--profile" && std::string_view(value) == "busy")
            options.profile = &busyProfile;
        else if (key == "--profile" && std::string_view(value) == "storm")
            options.profile = &stormProfile;
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || options.out.empty() || options.days < 1 || options.megabytes < 0)
        return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const auto options = readOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: make-power-log --days D --mb M --seed S --out FILE [--assertions FILE2] "
                     "[--end UNIXSECONDS] [--profile week|busy|storm]\n";
        return 2;
    }
    try {
        Random random(options->seed);
        writeLog(options->out, makeLog(*options, random));
        if (!options->assertions.empty()) writeAssertions(options->assertions, options->end, random);
    } catch (const std::exception& error) {
        std::cerr << "make-power-log: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

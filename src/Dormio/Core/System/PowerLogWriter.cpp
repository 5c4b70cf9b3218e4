#include "Dormio/Core/System/PowerLogWriter.h"

#include "Dormio/Core/System/JournalFacts.h"
#include "Dormio/Core/System/OneLine.h"
#include "DormioKit/WakeReason.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>

namespace dormio::PowerLogWriter {

const char* const header = "Time stamp                Domain                  \tMessage\tDuration\tDelay\n"
                           "==========                ======                  \t=======\t========\t=====\n\n";

namespace {

constexpr int64_t second = 1'000'000;           // journal times are in microseconds
constexpr int64_t bootBeginning = 600 * second; // a boot's first kept entry this early is its start
constexpr int64_t causeReach = 60 * second;     // a lid, key or idle this long before a sleep caused it
constexpr int64_t userWakeReach = 10 * second;  // the lid opened or a key this long after a resume woke it
constexpr int64_t timerReach = 60 * second;     // a wake timer's unit started this soon after a resume
constexpr int64_t resumeEcho = 5 * second;      // a second resume message this soon is the same resume
constexpr int64_t darkWakeLimit = 120 * second; // back to sleep this soon without the user: a dark wake
constexpr int64_t clockSetLimit = 1 * second;   // smaller differences are the two clocks' jitter
constexpr int64_t lowBatteryPercent = 5;        // asleep at this charge on battery with no other cause

// One journal entry of a boot that the log is written from.
struct Item {
    int64_t realtime;
    int64_t monotonic;
    const JournalEntry* entry;
    std::optional<Fact> fact; // none for the boot's first and last entries
};

struct Cause {
    int64_t time;
    Fact fact;
    const JournalEntry* entry;
};

// One sleep and the resume that ended it; either may lie outside what the journal holds.
struct Cycle {
    std::optional<int64_t> sleep;
    std::optional<int64_t> wake;
    std::string mode;
    std::optional<Cause> sleepCause;
    std::optional<Cause> wakeCause; // the lid or a key right after the resume
    std::optional<Fact> device;     // the kernel's wakeup source or interrupt
    const WakeTimer* timer = nullptr;
    std::vector<std::string> sleepWords;
    std::vector<std::string> wakeWords;
    bool dark = false;
};

struct Boot {
    std::optional<Item> start;
    std::vector<Item> items;
    std::optional<Item> end; // its last entry, when another boot follows
    std::vector<Cycle> cycles;
    bool endedAbruptly = false; // the next boot's journal says so
};

struct Line {
    int64_t time; // seconds since 1970
    std::string text;
};

// --- Words -------------------------------------------------------------------------------------

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The reader's markers: the first "due to " starts a cause, the first "Using " the power source.
constexpr std::array<std::string_view, 2> markers{"due to", "Using"};

// A journal message as it may stand in a log message: one line, no tabs, well-formed, and never forming a
// marker of the reader, wherever it stands: a marker followed by a space or ending the text (where the
// log's own words may follow) keeps a no-break space after it instead.
std::string words(std::string_view message) {
    std::string text = OneLine::of(message);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    for (std::string_view marker : markers)
        for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1)) {
            const std::size_t end = at + marker.size();
            if (end == text.size())
                text += "\u00A0";
            else if (text[end] == ' ')
                text.replace(end, 1, "\u00A0");
        }
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!text.empty()) text += " · ";
        text += part;
    }
    return text;
}

std::string modeText(const std::string& mode) {
    if (mode == "deep") return "S3 (deep)";
    if (mode == "shallow") return "standby (shallow)";
    if (mode == "hibernate") return "hibernation";
    const std::string said = words(mode);
    return said.empty() ? "sleep" : said;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// A USB device as the kernel names it by bus and port: "1-3", "3-1.2".
bool isUsbPort(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return false;
    const auto digits = [](std::string_view part, std::string_view also) {
        return std::all_of(part.begin(), part.end(), [&](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) || also.find(c) != std::string_view::npos;
        });
    };
    return digits(name.substr(0, dash), "") && digits(name.substr(dash + 1), ".");
}

// --- Dates -------------------------------------------------------------------------------------

// "yyyy-MM-dd HH:mm:ss" of the wall clock `offset` seconds east of UTC.
std::string clockText(int64_t time, long offset) {
    const time_t shifted = time + offset;
    std::tm fields{};
    gmtime_r(&shifted, &fields);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return text;
}

long zoneOffset(int64_t time) {
    const time_t t = time;
    std::tm local{};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

// "yyyy-MM-dd HH:mm:ss +hhmm" in the local zone.
std::string dateText(int64_t time) {
    const long offset = zoneOffset(time);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[40];
    std::snprintf(zone, sizeof zone, "%c%02ld%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return clockText(time, offset) + ' ' + zone;
}

int64_t seconds(int64_t microseconds) {
    return microseconds >= 0 ? microseconds / second : -((-microseconds + second - 1) / second);
}

// --- Reading the journal into boots ------------------------------------------------------------

std::vector<Boot> boots(const JournalRead& journal) {
    std::map<std::string, std::size_t> index;
    std::vector<Boot> result;
    const auto bootOf = [&](const std::string& id) -> Boot& {
        auto [it, added] = index.emplace(id, result.size());
        if (added) result.emplace_back();
        return result[it->second];
    };
    for (const JournalEntry& start : journal.bootStarts)
        if (start.monotonic <= bootBeginning)
            bootOf(start.bootId).start = Item{start.realtime, start.monotonic, &start, std::nullopt};
    for (const JournalEntry& entry : journal.entries)
        if (auto fact = JournalFacts::classify(entry.source, entry.message)) {
            if (fact->kind == FactKind::unitStarted) fact->detail = entry.unit;
            bootOf(entry.bootId).items.push_back({entry.realtime, entry.monotonic, &entry, std::move(fact)});
        }
    // Every boot but the newest was followed by another; the journal of the one after it says whether it
    // ended abruptly.
    for (std::size_t i = 0; i + 1 < journal.bootEnds.size(); ++i) {
        const JournalEntry& end = journal.bootEnds[i];
        bootOf(end.bootId).end = Item{end.realtime, end.monotonic, &end, std::nullopt};
        const Boot& next = bootOf(journal.bootEnds[i + 1].bootId);
        bootOf(end.bootId).endedAbruptly =
            std::any_of(next.items.begin(), next.items.end(), [](const Item& item) {
                return item.fact->kind == FactKind::uncleanEnd && item.monotonic <= bootBeginning;
            });
    }
    return result;
}

// Wall-clock time minus time since boot stays put while awake and grows by the time asleep, so any
// other change between two entries is the clock being set. Entries before a set are moved onto the clock
// that followed it.
void correctClockSets(Boot& boot) {
    std::vector<Item*> items;
    if (boot.start) items.push_back(&*boot.start);
    for (Item& item : boot.items)
        items.push_back(&item);
    if (boot.end) items.push_back(&*boot.end);
    std::vector<int64_t> shift(items.size(), 0);
    bool asleep = false;
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        if (items[i]->fact && items[i]->fact->kind == FactKind::sleepStart) asleep = true;
        if (items[i]->fact && items[i]->fact->kind == FactKind::sleepEnd) asleep = false;
        const int64_t jump =
            (items[i + 1]->realtime - items[i + 1]->monotonic) - (items[i]->realtime - items[i]->monotonic);
        const bool sleptBetween = asleep && jump > 0;
        if (!sleptBetween && (jump > clockSetLimit || jump < -clockSetLimit)) shift[i] = jump;
    }
    int64_t later = 0;
    for (std::size_t i = items.size(); i-- > 0;) {
        later += shift[i];
        items[i]->realtime += later;
    }
}

bool isUserWake(const Fact& fact) {
    return fact.kind == FactKind::lidOpened || fact.kind == FactKind::powerKey;
}

const WakeTimer* timerStarting(const std::vector<WakeTimer>& timers, const std::string& unit) {
    for (const WakeTimer& timer : timers)
        if (!unit.empty() && timer.unit == unit) return &timer;
    return nullptr;
}

void assembleCycles(Boot& boot, const std::vector<WakeTimer>& timers) {
    std::optional<Cause> lastCause;
    bool open = false;
    for (const Item& item : boot.items) {
        const Fact& fact = *item.fact;
        const std::string said = words(item.entry->message);
        Cycle* last = boot.cycles.empty() ? nullptr : &boot.cycles.back();
        switch (fact.kind) {
        case FactKind::sleepStart: {
            if (!open) {
                Cycle cycle;
                cycle.sleep = item.realtime;
                if (lastCause && item.realtime - lastCause->time <= causeReach) {
                    cycle.sleepCause = lastCause;
                    cycle.sleepWords.push_back(words(lastCause->entry->message));
                }
                lastCause.reset();
                boot.cycles.push_back(std::move(cycle));
                open = true;
            }
            Cycle& cycle = boot.cycles.back();
            // The kernel's mode (deep, s2idle, shallow) says more than systemd-sleep's operation.
            if (cycle.mode.empty() || item.entry->source == JournalFacts::kernelSource)
                cycle.mode = fact.detail;
            cycle.sleepWords.push_back(said);
            break;
        }
        case FactKind::sleepEnd: {
            const bool echo = !open && last && last->wake && item.realtime - *last->wake <= resumeEcho;
            if (!open && !echo) boot.cycles.emplace_back();
            Cycle& cycle = boot.cycles.back();
            if (!cycle.wake) cycle.wake = item.realtime;
            cycle.wakeWords.push_back(said);
            open = false;
            break;
        }
        case FactKind::sleepFailed:
            // The attempt never slept, or only for the moment the kernel needed to give up.
            if (open || (last && last->wake && item.realtime - *last->wake <= resumeEcho))
                boot.cycles.pop_back();
            open = false;
            break;
        case FactKind::wakeIrq:
        case FactKind::wakeDevice:
            if (open) {
                // The named source says more than the bare interrupt.
                if (!last->device || fact.kind == FactKind::wakeDevice) last->device = fact;
                last->wakeWords.push_back(said);
            }
            break;
        case FactKind::unitStarted:
            if (!open && last && last->wake && !last->timer && item.realtime - *last->wake <= timerReach)
                last->timer = timerStarting(timers, fact.detail);
            break;
        case FactKind::uncleanEnd:
            break;
        default: {
            Cause cause{item.realtime, fact, item.entry};
            if (isUserWake(fact) && last) {
                // The lid or the key often reaches the journal just before the resume does.
                const bool resuming = open || (last->wake && item.realtime - *last->wake <= userWakeReach);
                if (resuming && !last->wakeCause) {
                    last->wakeCause = cause;
                    break;
                }
            }
            if (fact.kind != FactKind::lidOpened) lastCause = cause;
            break;
        }
        }
    }
}

// The cause words of a wakeup source the kernel names, in the terms the model's wake reasons know.
std::string deviceCause(const Fact& device, const std::map<std::string, std::string>& described) {
    if (device.kind == FactKind::wakeIrq) return "IRQ " + device.detail;
    const std::string& name = device.detail;
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (lower.starts_with("rtc") || contains(lower, "alarmtimer")) return "RTC alarm (" + name + ")";
    if (contains(name, "PNP0C0D")) return "Lid open (" + name + ")";
    if (contains(name, "PNP0C0C") || contains(name, "LNXPWRBN")) return "Power button (" + name + ")";
    if (contains(lower, "usb") || contains(lower, "xhci") || isUsbPort(name))
        return "USB device (" + name + ")";
    if (const auto found = described.find(name); found != described.end())
        return found->second + " (" + name + ")";
    return name;
}

const WakeAlarm* alarmAt(const std::vector<WakeAlarm>& alarms, int64_t wake) {
    for (const WakeAlarm& alarm : alarms)
        if (alarm.time >= wake - 60 && alarm.time <= wake + 5) return &alarm;
    return nullptr;
}

// What woke the machine, in the words the model's wake reasons read; empty when nothing says.
std::string wakeCause(const Cycle& cycle, const PowerLogWriter::Inputs& inputs) {
    if (cycle.wakeCause) {
        const std::string said = words(cycle.wakeCause->entry->message);
        return cycle.wakeCause->fact.kind == FactKind::powerKey ? "Power button: " + said : said;
    }
    if (cycle.timer) return words("RTC alarm (" + cycle.timer->name + ")");
    if (cycle.device && cycle.device->kind == FactKind::wakeDevice)
        return words(deviceCause(*cycle.device, inputs.wakeSources));
    if (const WakeAlarm* alarm = alarmAt(inputs.alarms, seconds(*cycle.wake)))
        return words("RTC alarm (" + alarm->name + ")");
    if (cycle.device) return words(deviceCause(*cycle.device, inputs.wakeSources));
    return {};
}

// A resume that went back to sleep soon, unless the user woke it.
void markDarkWakes(std::vector<Cycle>& cycles, const PowerLogWriter::Inputs& inputs) {
    for (std::size_t i = 0; i + 1 < cycles.size(); ++i) {
        Cycle& cycle = cycles[i];
        const Cycle& next = cycles[i + 1];
        cycle.dark = cycle.wake && next.sleep && *next.sleep - *cycle.wake <= darkWakeLimit &&
                     !WakeReason::classify(wakeCause(cycle, inputs), PowerEventKind::darkWake).isYou;
    }
}

// --- Writing lines -----------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(const PowerLogWriter::Inputs& inputs) : inputs_(inputs) {}

    void start(const Item& start) {
        add(seconds(start.realtime), "Start", "Start [" + words(start.entry->message) + "]");
    }

    void cycle(const Cycle& cycle, const Cycle* previous) {
        std::optional<int64_t> sleepAt, wakeAt;
        if (cycle.sleep) sleepAt = seconds(*cycle.sleep);
        if (cycle.wake) wakeAt = seconds(*cycle.wake);
        // A dark wake lasts at least the one second the log can show.
        if (previous && previous->dark && sleepAt && previous->wake)
            sleepAt = std::max(*sleepAt, seconds(*previous->wake) + 1);
        if (sleepAt && wakeAt) wakeAt = std::max(*wakeAt, *sleepAt);
        if (sleepAt) {
            alarmRequests(*sleepAt, wakeAt);
            sleep(*sleepAt, sleepCause(cycle, *sleepAt), modeText(cycle.mode), joined(cycle.sleepWords));
        }
        if (wakeAt) {
            if (cycle.timer) request(*wakeAt, cycle.timer->name, *wakeAt, cycle.timer->info);
            const std::string cause = wakeCause(cycle, inputs_);
            add(*wakeAt, cycle.dark ? "DarkWake" : "Wake",
                std::string(cycle.dark ? "DarkWake" : "Wake") + " from " + modeText(cycle.mode) + " [" +
                    joined(cycle.wakeWords) + "]" + (cause.empty() ? "" : " : due to " + cause));
        }
    }

    // The boot's end, unless it ended asleep.
    void end(const Boot& boot) {
        if (!boot.end || (!boot.cycles.empty() && !boot.cycles.back().wake)) return;
        sleep(seconds(boot.end->realtime), boot.endedAbruptly ? "Stopped responding" : "Shut down", "off",
              words(boot.end->entry->message));
    }

    std::string text() {
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const Line& a, const Line& b) { return a.time < b.time; });
        std::string text = header;
        for (const Line& line : lines_)
            text += line.text;
        return text;
    }

private:
    void add(int64_t time, std::string_view type, std::string message, bool withSource = true) {
        if (withSource) message += source(time);
        std::string text = dateText(time) + ' ' + std::string(type);
        text.resize(std::max<std::size_t>(text.size(), 46), ' ');
        lines_.push_back({time, text + '\t' + message + '\n'});
    }

    void sleep(int64_t time, const std::string& cause, const std::string& mode, const std::string& said) {
        add(time, "Sleep",
            "Entering Sleep state" + (cause.empty() ? std::string() : " due to '" + cause + "'") + ": " +
                mode + " [" + said + "]");
    }

    // " Using Batt (Charge:80%)", as far as the charge history tells.
    std::string source(int64_t time) const {
        const auto reading = inputs_.charges.near(time);
        if (!reading) return {};
        std::string text;
        if (reading->onBattery)
            text = *reading->onBattery ? " Using Batt" : " Using AC";
        else
            text = " Using Unknown";
        return text + " (Charge:" + std::to_string(reading->percent) + "%)";
    }

    // What the journal says put the machine to sleep; none when it says nothing.
    std::string sleepCause(const Cycle& cycle, int64_t at) const {
        const auto reading = inputs_.charges.near(at);
        const bool low =
            reading && reading->onBattery.value_or(false) && reading->percent <= lowBatteryPercent;
        if (!cycle.sleepCause) return low ? "Low Power Sleep" : "";
        const Fact& fact = cycle.sleepCause->fact;
        switch (fact.kind) {
        case FactKind::lidClosed:
            return "Clamshell Sleep";
        case FactKind::powerKey:
            return "Power Button";
        case FactKind::idle:
            return "Idle Sleep";
        case FactKind::sleepKey: {
            std::string said = words(cycle.sleepCause->entry->message);
            replaceAll(said, "'", "\u2019");
            return said;
        }
        default:
            break;
        }
        if (low) return "Low Power Sleep";
        // GNOME's automatic suspend is its power daemon's request.
        return fact.detail == "gsd-power" ? "Idle Sleep" : "Software Sleep";
    }

    // The clocks' alarms due between a sleep and its wake, the earliest marked as the one chosen.
    void alarmRequests(int64_t sleep, std::optional<int64_t> wake) {
        std::vector<const WakeAlarm*> due;
        for (const WakeAlarm& alarm : inputs_.alarms)
            if (alarm.time >= sleep && (!wake || alarm.time <= *wake + 60)) due.push_back(&alarm);
        std::stable_sort(due.begin(), due.end(), [](auto* a, auto* b) { return a->time < b->time; });
        std::string message;
        for (const WakeAlarm* alarm : due)
            message += requestText(message.empty(), alarm->name, clockText(alarm->time, zoneOffset(sleep)),
                                   alarm->info);
        if (!message.empty()) add(sleep, "Wake Requests", message, false);
    }

    void request(int64_t logged, const std::string& name, int64_t wakeAt, const std::string& info) {
        add(logged, "Wake Requests", requestText(true, name, clockText(wakeAt, zoneOffset(logged)), info),
            false);
    }

    static std::string requestText(bool chosen, const std::string& who, const std::string& wakeAt,
                                   const std::string& what) {
        std::string name = OneLine::of(who), info = what;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return c == ' ' || c == ']' || c == '"'; }, '_');
        replaceAll(info, "\"", "\u201D");
        return std::string(chosen ? "[*" : " [") + "process=" + name +
               " request=WakeSystem wakeAt=" + wakeAt + " info=\"" + words(info) + "\"]";
    }

    const PowerLogWriter::Inputs& inputs_;
    std::vector<Line> lines_;
};

} // namespace

std::string write(const JournalRead& journal, const Inputs& inputs) {
    Writer writer(inputs);
    for (Boot& boot : boots(journal)) {
        correctClockSets(boot);
        assembleCycles(boot, inputs.timers);
        markDarkWakes(boot.cycles, inputs);
        if (boot.start) writer.start(*boot.start);
        for (std::size_t i = 0; i < boot.cycles.size(); ++i)
            writer.cycle(boot.cycles[i], i > 0 ? &boot.cycles[i - 1] : nullptr);
        writer.end(boot);
    }
    return writer.text();
}

} // namespace dormio::PowerLogWriter

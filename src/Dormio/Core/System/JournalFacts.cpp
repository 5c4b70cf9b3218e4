#include "Dormio/Core/System/JournalFacts.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace dormio::JournalFacts {

namespace {

// The text between `opening` and the next `closing` after it, when the message begins with `opening`.
std::optional<std::string> enclosed(std::string_view message, std::string_view opening, char closing) {
    if (!message.starts_with(opening)) return std::nullopt;
    const std::string_view rest = message.substr(opening.size());
    const std::size_t end = rest.find(closing);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(0, end));
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool startsWithAny(std::string_view message, std::initializer_list<std::string_view> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view p) { return message.starts_with(p); });
}

bool mentionsSleep(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower.find("suspend") != std::string::npos || lower.find("hibernat") != std::string::npos ||
           lower.find("sleep") != std::string::npos;
}

// "File /var/log/journal/…/system.journal corrupted or uncleanly shut down, renaming and replacing."
bool saysUncleanEnd(std::string_view message) {
    return message.find("uncleanly shut down") != std::string_view::npos;
}

std::optional<Fact> kernelFact(std::string_view message) {
    // The journal's own warnings reach it through the kernel's log.
    if (saysUncleanEnd(message)) return Fact{FactKind::uncleanEnd, {}};
    if (auto mode = enclosed(message, "PM: suspend entry (", ')')) return Fact{FactKind::sleepStart, *mode};
    if (message.starts_with("PM: suspend exit")) return Fact{FactKind::sleepEnd, {}};
    if (startsWithAny(message, {"PM: hibernation: hibernation entry", "PM: hibernation entry"}))
        return Fact{FactKind::sleepStart, "hibernate"};
    if (startsWithAny(message, {"PM: hibernation: hibernation exit", "PM: hibernation exit"}))
        return Fact{FactKind::sleepEnd, {}};
    constexpr std::string_view irq = "PM: Triggering wakeup from IRQ ";
    if (message.starts_with(irq)) return Fact{FactKind::wakeIrq, trimmed(message.substr(irq.size()))};
    for (std::string_view source : {"PM: last active wakeup source: ", "PM: active wakeup source: "})
        if (message.starts_with(source))
            return Fact{FactKind::wakeDevice, trimmed(message.substr(source.size()))};
    return std::nullopt;
}

std::optional<Fact> sleepFact(std::string_view message) {
    for (std::string_view opening : {"Entering sleep state '", "Performing sleep operation '"})
        if (auto mode = enclosed(message, opening, '\'')) return Fact{FactKind::sleepStart, *mode};
    if (message.starts_with("Suspending system...")) return Fact{FactKind::sleepStart, "suspend"};
    if (startsWithAny(message, {"System returned from sleep", "System resumed."}))
        return Fact{FactKind::sleepEnd, {}};
    // "Failed to put system to sleep. System resumed again: Device or resource busy"
    if (message.starts_with("Failed to put system to sleep")) return Fact{FactKind::sleepFailed, {}};
    return std::nullopt;
}

std::optional<Fact> loginFact(std::string_view message) {
    if (message.starts_with("Lid closed.")) return Fact{FactKind::lidClosed, {}};
    if (message.starts_with("Lid opened.")) return Fact{FactKind::lidOpened, {}};
    if (message.starts_with("Power key pressed")) return Fact{FactKind::powerKey, {}};
    if (startsWithAny(message, {"Suspend key pressed", "Hibernate key pressed"}))
        return Fact{FactKind::sleepKey, {}};
    // "System idle. Will suspend now." (older: "Taking action."); an idle action that only locks is no sleep.
    constexpr std::string_view idle = "System idle. ";
    if (message.starts_with(idle) && (mentionsSleep(message.substr(idle.size())) ||
                                      message.substr(idle.size()).starts_with("Taking action")))
        return Fact{FactKind::idle, {}};
    // "Suspend requested from client PID 4242 ('gsd-power')..."
    constexpr std::string_view requested = " requested from client PID ";
    const std::size_t at = message.find(requested);
    if (at != std::string_view::npos && mentionsSleep(message.substr(0, at))) {
        const std::string_view rest = message.substr(at + requested.size());
        const std::size_t open = rest.find("('");
        const std::size_t close = open == std::string_view::npos ? open : rest.find("')", open + 2);
        return Fact{FactKind::sleepRequest, close == std::string_view::npos
                                                ? std::string()
                                                : std::string(rest.substr(open + 2, close - open - 2))};
    }
    return std::nullopt;
}

// "Starting apt-daily-upgrade.service - Daily apt upgrade and clean activities..." as the job begins, then
// "Started …" (or "Finished …" for a service that runs once and ends).
std::optional<Fact> managerFact(std::string_view message) {
    if (startsWithAny(message, {"Starting ", "Started "})) return Fact{FactKind::unitStarted, {}};
    return std::nullopt;
}

// The file name of a path.
std::string_view fileName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string_view source(const Writer& writer) {
    if (writer.transport == "kernel") return kernelSource;
    if (writer.transport == "driver") return journalSource;
    if (writer.pid == "1") return managerSource;
    // A process may rename itself, so its name alone proves nothing; run by root from the program of that
    // name (the executable is missing only when the process ended before the journal looked), it is the
    // system's own.
    if (writer.uid != "0") return {};
    for (std::string_view program : {sleepSource, loginSource})
        if (writer.comm == program && (writer.exe.empty() || fileName(writer.exe) == program)) return program;
    return {};
}

std::optional<Fact> classify(std::string_view source, std::string_view message) {
    if (source == kernelSource) return kernelFact(message);
    if (source == sleepSource) return sleepFact(message);
    if (source == loginSource) return loginFact(message);
    if (source == managerSource) return managerFact(message);
    if (source == journalSource && saysUncleanEnd(message)) return Fact{FactKind::uncleanEnd, {}};
    return std::nullopt;
}

} // namespace dormio::JournalFacts

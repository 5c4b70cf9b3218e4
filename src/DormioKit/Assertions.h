#pragma once

// The live assertion listing (`pmset -g assertions`): the claims processes hold right now to keep the Mac,
// or its screen, from sleeping, and what the app asks of each of them.

#include "DormioKit/ProcessRunner.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dormio {

struct LiveAssertion {
    int32_t pid = 0;                   // the pid the listing names as the holder
    std::string process;               // the holder's name as listed
    std::string type;                  // e.g. "PreventUserIdleSystemSleep"
    std::string name;                  // the name the holder gave it; empty when the line has none
    double age = 0;                    // seconds held; 0 when the listing's h:m:s column does not read
    std::optional<int32_t> createdFor; // from a following "Created for PID:" line
    std::optional<int64_t> timeout;    // seconds, from a following "Timeout will fire in" line

    LiveAssertion() = default;
    // Member-wise; a constructor rather than braces so that callers may leave the optionals out.
    LiveAssertion(int32_t pid, std::string process, std::string type, std::string name, double age = 0,
                  std::optional<int32_t> createdFor = std::nullopt,
                  std::optional<int64_t> timeout = std::nullopt)
        : pid(pid), process(std::move(process)), type(std::move(type)), name(std::move(name)), age(age),
          createdFor(createdFor), timeout(timeout) {}

    // pid "-" type "-" name: two assertions of one process with the same type and name share it.
    std::string id() const;
    // The pid treated as the owner when looking up the app behind it or asking it to quit.
    int32_t ownerPID() const { return createdFor.value_or(pid); }
    bool blocksSystemSleep() const;
    bool blocksDisplaySleep() const;
    // Held by one of the system's own housekeeping processes.
    bool isPlatform() const;
    bool isNoteworthy() const { return blocksSystemSleep() && !isPlatform(); }
    bool keepsScreenOn() const { return blocksDisplaySleep() && !isPlatform(); }
    // The type in plain words; a type the table does not know comes back unchanged.
    std::string friendlyType() const;

    bool operator==(const LiveAssertion&) const = default;
};

namespace AssertionReader {

struct Listing {
    std::vector<LiveAssertion> assertions;
    PowerLogParser::RunOutcome outcome;
};

// Runs `/usr/bin/pmset -g assertions` with a time-out of 10 seconds and reads its listing. Blocks for as
// long as the tool runs: call it off the main thread.
Listing current();

// The assertions held by processes, in the order of their lines.
std::vector<LiveAssertion> parse(std::string_view text);

// One trimmed line that begins "pid "; nothing when it does not follow the grammar. The result never
// carries `createdFor` or `timeout`: those come from the lines below it.
std::optional<LiveAssertion> parseLine(std::string_view line);

} // namespace AssertionReader

} // namespace dormio

template <> struct std::hash<dormio::LiveAssertion> {
    size_t operator()(const dormio::LiveAssertion& assertion) const noexcept;
};

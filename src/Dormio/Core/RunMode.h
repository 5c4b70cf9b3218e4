#pragma once

// Which mode the application starts in, from the developer variables of the environment.

#include <functional>
#include <optional>
#include <string>

namespace dormio {

struct RunMode {
    enum class Kind { snapshot, selfTest, demo, normal };

    Kind kind = Kind::normal;
    std::string snapshotDir; // the snapshot mode's output folder; empty in the other modes

    bool operator==(const RunMode&) const = default;
};

// The value of an environment variable, none when it is not set. An empty value is still a value.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment, read afresh on every call.
std::optional<std::string> processEnvironment(const char* name);

// The first developer variable present decides, in the order snapshot, self-test, demo; none of them gives
// the normal mode.
RunMode chooseRunMode(const EnvLookup& env);

} // namespace dormio

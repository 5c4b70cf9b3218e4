#include "Dormio/Core/RunMode.h"

#include <cstdlib>

namespace dormio {

std::optional<std::string> processEnvironment(const char* name) {
    if (const char* value = std::getenv(name)) return std::string(value);
    return std::nullopt;
}

RunMode chooseRunMode(const EnvLookup& env) {
    if (auto dir = env("DORMIO_SNAPSHOT_DIR")) return {RunMode::Kind::snapshot, *dir};
    if (env("DORMIO_SELFTEST")) return {RunMode::Kind::selfTest, {}};
    if (env("DORMIO_DEMO_DIR")) return {RunMode::Kind::demo, {}};
    return {RunMode::Kind::normal, {}};
}

} // namespace dormio

#pragma once

#include "Dormio/Core/System/AppIdentity.h"

#include <cstdint>
#include <optional>
#include <string>

// Looks processes up in the running system: who a pid or a process name is. Their icons are drawn on the
// UI side (AppIcons.h).
namespace dormio::AppLookup {

AppIdentity identity(int32_t pid, const std::string& fallbackName);
AppIdentity identity(const std::string& processName);
std::optional<std::string> displayName(const std::string& bundlePath);
std::optional<std::string> executablePath(int32_t pid);

} // namespace dormio::AppLookup

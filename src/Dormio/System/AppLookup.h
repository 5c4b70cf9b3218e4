#pragma once

#include "Dormio/System/AppIdentity.h"

#include <QIcon>
#include <cstdint>
#include <optional>
#include <string>

// Looks processes up in the running system. Main thread only: the icon cache is shared and unlocked.
namespace dormio::AppLookup {

AppIdentity identity(int32_t pid, const std::string& fallbackName);
AppIdentity identity(const std::string& processName);
std::optional<std::string> displayName(const std::string& bundlePath);
std::optional<std::string> executablePath(int32_t pid);
QIcon icon(const std::optional<std::string>& path);
QIcon grayIcon(const std::optional<std::string>& path);

} // namespace dormio::AppLookup

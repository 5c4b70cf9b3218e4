#pragma once

#include "Dormio/Core/System/AppIdentity.h"
#include "Dormio/Core/System/RunningApps.h"

#include <cstdint>
#include <optional>
#include <string>

// Looks processes up in the running system: who a pid or a process name is. Their icons are drawn on the
// UI side (AppIcons.h).
namespace dormio::AppLookup {

// Who the process with this pid is, among the running applications of the snapshot; `fallbackName` (the
// name the listing gives) when nothing better is found.
AppIdentity identity(const RunningAppsSnapshot& running, int32_t pid, const std::string& fallbackName);
// Who a process of this name is: a running application, else an installed one, else its friendly name.
// An application's path is its entry's.
AppIdentity identity(const RunningAppsSnapshot& running, const std::string& processName);
std::optional<std::string> displayName(const std::string& bundlePath);
// Whether an identity's path names an application, the user's to quit, rather than a program of the
// system: an installed application entry (".desktop") here, an app bundle (".app") where the sample data
// or a Mac names one.
bool isApplication(const std::optional<std::string>& path);
std::optional<std::string> executablePath(int32_t pid);

} // namespace dormio::AppLookup

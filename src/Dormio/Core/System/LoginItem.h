#pragma once

#include <optional>
#include <string>

namespace dormio {

enum class LoginItemStatus { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

// Open at login through an XDG autostart entry, $XDG_CONFIG_HOME/autostart/dormio.desktop, that starts
// the running executable by its absolute path.
namespace LoginItem {

LoginItemStatus status();
// Each gives nothing on success, else what went wrong as a sentence fragment.
std::optional<std::string> registerApp();
std::optional<std::string> unregisterApp();

} // namespace LoginItem
} // namespace dormio

#pragma once

// Fixed rules about process names shared by the views and the app-identity lookup: a friendly name for
// known system processes, a symbol to draw beside a process, and the app bundle that holds a path.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio::ProcessNames {

// Known system processes by their whole, exact name; any other name comes back unchanged.
std::string friendly(std::string_view process);
// A symbol name; "gearshape" for a name the table does not know.
std::string symbol(std::string_view process);
// Every name `symbol` can give, the one for unknown names included (some repeat).
std::vector<std::string_view> allSymbols();
// The outermost ".app" bundle on an executable's path, by the text alone; absent when there is none.
std::optional<std::string> appBundle(std::string_view path);

} // namespace dormio::ProcessNames

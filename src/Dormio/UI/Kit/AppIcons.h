#pragma once

// The pictures of what AppLookup finds: an app's icon by the path of its entry or program, plain or grey,
// drawn once per path and kind and cached for the life of the process. Main thread only.

#include <QIcon>
#include <optional>
#include <string>

namespace dormio::AppLookup {

// The icon of the entry that launches the program at `path`; a generic program icon without a path or
// when the path does not exist.
QIcon icon(const std::optional<std::string>& path);
// The same icon without colour, drawn at 64 pixels for 32 points.
QIcon grayIcon(const std::optional<std::string>& path);

} // namespace dormio::AppLookup

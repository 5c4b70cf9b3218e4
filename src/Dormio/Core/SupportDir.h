#pragma once

// The folder of the application's own files ("nights.json", "energy.json").

#include <QString>

namespace dormio::SupportDir {

// DORMIO_SUPPORT_DIR when set and not empty, else "Dormio" in the user's data folder ($XDG_DATA_HOME).
// Evaluated afresh on every call, and created with its missing parents; a failure to create it is
// ignored, and the writes into it then fail quietly.
QString path();

} // namespace dormio::SupportDir

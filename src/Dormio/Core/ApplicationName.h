#pragma once

// The organisation and application names and the version: they place the settings file
// ("Dormio/Dormio.conf") and the support folder, and the About box shows the version.

namespace dormio {

void nameApplication();

} // namespace dormio

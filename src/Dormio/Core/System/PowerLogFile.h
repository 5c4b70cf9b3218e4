#pragma once

// A power log kept in a file, as the developer variable DORMIO_LOG_FIXTURE names one.

#include "DormioKit/ProcessRunner.h"

#include <QString>

namespace dormio {

// The log in the file at `path`, or, when it cannot be read (missing, unreadable, a pipe or a device, too
// large, not UTF-8 text), a failure that says why and what to do. Blocks while it reads.
PowerLogParser::SystemLog readPowerLogFile(const QString& path);

} // namespace dormio

#pragma once

#include "Dormio/Core/System/DesktopEntry.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace dormio {

// An installed application entry with the program it starts, found through PATH with symlinks
// resolved, so that it compares equal to a process's executable.
struct InstalledApp {
    DesktopEntry entry;
    QString executable; // empty when the program cannot be found
};

// The entries of $XDG_DATA_HOME/applications and $XDG_DATA_DIRS/*/applications in precedence order,
// one per desktop file id, without hidden (deleted) ones and without entries of another type than
// Application.
struct InstalledAppCatalog {
    std::vector<InstalledApp> apps;
    // Index into apps of the entry that launches each executable. A displayed entry wins over a
    // NoDisplay one for the same program (apps often ship hidden handler entries that start the same
    // binary); else precedence order.
    QHash<QString, size_t> byExecutable;
    // Index into apps of the first entry whose program has each file name.
    QHash<QString, size_t> byProgramName;

    const InstalledApp* launching(const QString& executable) const;
    const InstalledApp* withProgramNamed(const QString& fileName) const;
};

namespace InstalledApps {

// Read again only when an entry or a folder of them changes (added, removed, renamed or written), or
// PATH; checking costs a few system calls.
std::shared_ptr<const InstalledAppCatalog> all();

} // namespace InstalledApps
} // namespace dormio

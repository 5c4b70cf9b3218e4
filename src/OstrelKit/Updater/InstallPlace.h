#pragma once

// Whether the running bundle can be replaced where it is, by the install script at quit. Only a real
// bundle of this application, in a folder the user may write, on a fixed and writable disk, and never a
// folder the system or the user's home is made of. The facts about the machine are functions, so that a
// test (which may well run as root, where everything is writable) can hand in its own.

#include "OstrelKit/Updater/AppBundle.h"

#include <QString>
#include <functional>

namespace dormio {

struct InstallRules {
    std::function<bool(const QString& path)> writable = &userCanWrite;
    std::function<bool(const QString& path)> readOnlyMedia = &onReadOnlyMedia;
    std::function<bool(const QString& path)> removableMedia = &onRemovableMedia;
    std::function<QString()> home = &homeFolder;

    static bool userCanWrite(const QString& path);
    static bool onReadOnlyMedia(const QString& path);
    // A disk the kernel calls removable, or a folder where the desktop mounts such disks.
    static bool onRemovableMedia(const QString& path);
    static QString homeFolder();
};

namespace InstallPlace {

// Whether `running` can be swapped for a new copy in place. The folder on disk must still be a bundle of
// the same identifier (two absent ones agree); it and the folder holding it must be writable, on one disk,
// neither read-only nor removable; and the bundle must not be "/", "/usr", "/usr/local", "/opt" or the
// home folder itself.
bool canReplace(const AppBundle& running, const InstallRules& rules);

} // namespace InstallPlace

} // namespace dormio

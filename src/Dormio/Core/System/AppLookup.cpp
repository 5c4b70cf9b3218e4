#include "Dormio/Core/System/AppLookup.h"

#include "Dormio/Core/System/InstalledApps.h"
#include "Dormio/Core/System/ProcessTable.h"
#include "Dormio/Core/System/RunningApps.h"
#include "DormioKit/ProcessNames.h"

#include <QFileInfo>

namespace dormio {

namespace {

QString lastComponent(const QString& path) {
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

AppIdentity identityOf(const RunningApp& app, const std::string& fallbackName) {
    AppIdentity identity;
    identity.isUserApp = app.policy == ActivationPolicy::regular;
    identity.name = app.localizedName ? app.localizedName->toStdString() : fallbackName;
    if (app.bundlePath) {
        identity.path = app.bundlePath->toStdString();
    } else if (app.executablePath) {
        const std::string executable = app.executablePath->toStdString();
        identity.path = ProcessNames::appBundle(executable).value_or(executable);
    }
    if (app.bundleID) identity.bundleID = app.bundleID->toStdString();
    return identity;
}

} // namespace

AppIdentity AppLookup::identity(const RunningAppsSnapshot& running, int32_t pid,
                                const std::string& fallbackName) {
    if (const RunningApp* app = running.forPid(pid)) return identityOf(*app, fallbackName);
    const auto found = running.executables.constFind(pid);
    if (found == running.executables.cend()) return {fallbackName, std::nullopt, std::nullopt, false};
    const std::string executable = found->toStdString();
    const auto bundle = ProcessNames::appBundle(executable);
    if (!bundle) return {fallbackName, executable, std::nullopt, false};
    // A bundle on this system has no information keys, so no bundle id.
    return {displayName(*bundle).value_or(fallbackName), bundle, std::nullopt, false};
}

AppIdentity AppLookup::identity(const RunningAppsSnapshot& running, const std::string& processName) {
    const QString name = QString::fromStdString(processName);
    for (const RunningApp& app : running.apps) {
        const bool executableMatches = app.executablePath && lastComponent(*app.executablePath) == name;
        if (executableMatches || app.localizedName == name) return identityOf(app, processName);
    }
    // Installed but not running: the entry whose program has that file name.
    if (const InstalledApp* app = running.installed->withProgramNamed(name))
        return {processName, app->entry.filePath.toStdString(), std::nullopt, false};
    return {ProcessNames::friendly(processName), std::nullopt, std::nullopt, false};
}

std::optional<std::string> AppLookup::displayName(const std::string& bundlePath) {
    const QString path = QString::fromStdString(bundlePath);
    if (path.endsWith(QStringLiteral(".desktop")))
        if (const auto entry = DesktopEntryFile::read(path); entry && !entry->name.isEmpty())
            return entry->name.toStdString();
    QString name = lastComponent(path);
    if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot > 0) name.truncate(dot);
    if (name.isEmpty()) return std::nullopt;
    return name.toStdString();
}

bool AppLookup::isApplication(const std::optional<std::string>& path) {
    return path && (path->ends_with(".desktop") || path->ends_with(".app"));
}

std::optional<std::string> AppLookup::executablePath(int32_t pid) {
    if (pid < 1) return std::nullopt;
    return ProcessTable::exePath(pid);
}

} // namespace dormio

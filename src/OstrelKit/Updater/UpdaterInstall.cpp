// The install half of the updater: at quit, hand the ready update to the install script, which swaps the
// bundles once the application has ended.

#include "OstrelKit/Updater/InstallScript.h"
#include "OstrelKit/Updater/RelativePath.h"
#include "OstrelKit/Updater/Updater.h"

#include <QCoreApplication>
#include <QDir>

namespace dormio {

void Updater::installOnQuit() {
    if (phase_.kind != Phase::Kind::ready || !stagedApp_ || !canInstallInPlace()) return;
    // The staged copy waited in the user's caches since it was checked; a copy damaged meanwhile would
    // replace a working application with a broken one. After "Restart Now" the script still runs, to start
    // the copy the user has once it has quit.
    const bool intact = !validate(*stagedApp_, phase_.feed->version, bundle_.identifier());
    if (!intact && !relaunchAfterInstall_) return;
    // Only a program inside the bundle is started again, from the same place in the new copy.
    const QString executable = QDir(bundle_.path()).relativeFilePath(environment_.executable);
    const InstallScript::Request request{QCoreApplication::applicationPid(), intact ? *stagedApp_ : QString(),
                                         bundle_.path(), relaunchAfterInstall_,
                                         RelativePath::isClean(executable) ? executable : QString()};
    // A script that cannot start installs nothing; the staged copy waits for the next staging.
    environment_.launchInstall(InstallScript::arguments(request));
}

void Updater::installAndRelaunch() {
    relaunchAfterInstall_ = true;
    environment_.quit();
}

} // namespace dormio

#pragma once

// The kit's front door: the one start-up call the application makes when it has launched, the shared
// updater, the brand colours and the application's name, and the "Check for Updates…" menu command.

#include <QColor>
#include <QList>
#include <QString>

class QAction;
class QMenu;

namespace dormio {

class Updater;

namespace Ostrel {
// Keeps the brand colours for the kit's own windows and starts the updater. Only the first call in a
// process counts; it returns at once and reports nothing.
void start(const QList<QColor>& brand);
// Asks the shared updater for a user-initiated check, on the main thread, after this call has returned.
void checkForUpdates();
// The brand colours in order: two copies of the desktop's accent colour until start hands in others.
QList<QColor> brand();
// The one updater of the process, over the running application's bundle; made on first use.
Updater& updater();
// The application's name: the bundle's "CFBundleName", the Qt application's name for a copy without a
// bundle, "App" when neither names it.
QString appName();
} // namespace Ostrel

namespace BrandStore {
// The kit's brand colours; two copies of the desktop's accent colour by default.
const QList<QColor>& colors();
// Two or more colours become the brand as given; a single one serves as both; none keeps what is there.
void set(const QList<QColor>& brand);
} // namespace BrandStore

// The kit's menu command: "Check for Updates…", placed right after the About item of `menu`; choosing it
// does what `Ostrel::checkForUpdates` does.
struct OstrelCommands {
    static QAction* add(QMenu* menu, QAction* about);
};

} // namespace dormio

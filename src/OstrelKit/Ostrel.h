#pragma once

// The kit's entries that the application's start-up and menus call.

#include <QColor>
#include <QList>

class QAction;
class QMenu;

namespace dormio {

namespace Ostrel {
// Keeps the brand colours for the kit's own windows (a single colour serves as both). Only the first call
// in a process counts; it returns at once and reports nothing.
void start(const QList<QColor>& brand);
// The two brand colours in order; empty before start.
QList<QColor> brand();
} // namespace Ostrel

// The kit's menu command: "Check for Updates…", placed right after the About item of `menu`.
struct OstrelCommands {
    static QAction* add(QMenu* menu, QAction* about);
};

} // namespace dormio

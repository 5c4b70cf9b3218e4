#pragma once

// The snapshot mode's shared steps: the main-window lookup, the name filter, the window capture, the
// view render and the settling that lets the windows lay out and draw between them. The mode runs the
// animation clock in its instant mode, so every change shows its end state at once and nothing waits on
// the wall clock. Every picture is drawn at device pixel ratio 2 whatever the screen, so that a run gives
// the same files on every machine: each PNG is exactly its logical size times 2.

#include <QDir>
#include <QString>
#include <functional>

class QMainWindow;
class QWidget;

namespace dormio {

class Store;
class Toast;

namespace Snapshotter {

// Starts the snapshot mode writing into `dir` and returns at once; the mode ends the application.
void run(const QString& dir);

// The application's main window, looked up afresh at every call; none when there is none.
QMainWindow* mainWindow();

// Whether a picture of this name is written: DORMIO_SNAPSHOT_ONLY unset or empty takes every name;
// otherwise the name must contain one of its comma-separated pieces (not trimmed, empty ones dropped).
bool wanted(const QString& name);

// Runs the event loop until a turn of it finds nothing to do: the layouts, the queued calls and the
// repaints a change started are all done. Timers due later (the toast's, the store's) are left alone.
void settle();

// Lets the event loop run for `seconds`, for work that runs off the main thread.
void pause(double seconds);

// Places a window centred on its screen.
void centre(QWidget& window);

// Writes the main window's whole client area (menu bar, toolbar and page) to name-suffix.png in `out`.
// No window or a failed write leaves no file and says nothing.
void captureWindow(const QString& name, const QDir& out, const QString& suffix);

// Shows `view` in a frameless window of its own at its size hint, centred on the screen, lets it settle
// and writes it on the paper colour to `file`, unless the file's name is not wanted. Takes the view and
// drops it after.
void render(QWidget* view, const QString& file);

// The staged set of the main window, its nineteen shots for one appearance (`suffix`).
void windowScreens(Store& store, const QDir& out, const QString& suffix);

// The views shown outside the main window: the tour, the menu bar content, a raw-record card and the
// settings window, for one appearance.
void standalone(Store& store, const QDir& out, const QString& suffix);

// The user's own history on the four pages and the menu bar content, both appearances; prints one line.
void realScreens(Store& store, const QDir& out);

} // namespace Snapshotter
} // namespace dormio

#pragma once

// The window the scripted demo records, and how the demo holds it: on its frame, in front, and drawn as
// active while another application has the focus.

#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace dormio {

class KitClock;

namespace DemoWindow {

// The first visible top-level window that can be a main window: never a tool or utility window, a popup,
// a dialog or a hidden window; none without such a window.
QWidget* mainWindow();

// The least size of the window's outer frame: its content's least size, the layout's included, and the
// decorations around it.
QSize leastFrameSize(const QWidget& window);
// Puts the window's outer frame, decorations included, on `frame`.
void place(QWidget& window, const QRect& frame);
// Moves the desktop's pointer off `frame` when it rests there: the movie draws its own pointer, and the
// real one would leave whatever lies under it hovered all through the recording.
void movePointerOff(QScreen& screen, const QRect& frame);
// Raises the window and asks for the focus.
void bringForward(QWidget& window);
// The application is active and the window has the focus.
bool inFront(const QWidget& window);
// Every 0.2 s on `clock`, for as long as the window lives: the window takes the focus again (unless a
// modal dialog, an open popup or a utility window of ours is up, which it must neither cover nor close)
// and goes back on `frame` when it was moved or resized.
void keepInFront(KitClock& clock, QWidget& window, const QRect& frame);
// From now on the window draws in the active colours whatever its focus; says so on standard output.
void drawAsActive(QWidget& window);

} // namespace DemoWindow

} // namespace dormio

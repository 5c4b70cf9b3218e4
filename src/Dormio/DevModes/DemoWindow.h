#pragma once

// The window the scripted demo records: the first visible top-level window that can be a main window.

class QWidget;

namespace dormio::DemoWindow {

// Never a tool or utility window, a popup, a dialog or a hidden window; none without such a window.
QWidget* mainWindow();

} // namespace dormio::DemoWindow

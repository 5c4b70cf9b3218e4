#pragma once

// Every quit of an app passes through this question first: a window-modal dialog titled "Quit <name>?"
// with the buttons "Quit <name>" and "Cancel". It never runs a nested event loop: the caller goes on at
// once and hears the answer later.

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace dormio {

// Opens the dialog over `parent`'s window and returns it. `quit` runs only when the user presses the
// Quit button; Cancel, Esc and closing the dialog do nothing. The dialog deletes itself once answered.
QMessageBox* confirmQuit(QWidget* parent, const QString& name, const QString& message,
                         std::function<void()> quit);

} // namespace dormio

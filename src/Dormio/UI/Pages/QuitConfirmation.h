#pragma once

// The question every Quit button asks first: "Quit <name>?" as a window-modal message box over the page,
// with "Quit <name>" and "Cancel", Cancel also on Escape. It is opened without a nested event loop, so
// the page and the store go on while it waits.

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

namespace dormio {

// Opens the box over `page`'s window and returns it; `confirmed` runs when the Quit button is pressed,
// `closed` whichever way the box goes. The box deletes itself once closed.
QMessageBox* askToQuit(QWidget* page, const QString& name, const QString& message,
                       std::function<void()> confirmed, std::function<void()> closed);

} // namespace dormio

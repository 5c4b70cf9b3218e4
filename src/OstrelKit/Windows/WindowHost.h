#pragma once

// The kit's small floating utility windows, at most one per id: asking again for an open one brings it
// forward; a closed one is built afresh. The windows float above the application's others, are closable
// but neither resizable nor minimisable, take their height from their content and move when their
// background is dragged.

#include <QSize>
#include <QString>
#include <functional>

class QWidget;

namespace dormio::WindowHost {

// Shows the window of `id`. An open one comes forward unchanged (title, size and content of this call are
// ignored); otherwise `content` builds a new one at the width of `size`, centred on the screen, which
// replaces any earlier window of that id.
void show(const QString& id, const QString& title, QSize size, const std::function<QWidget*()>& content);

// The window last built for `id`, open or closed; none before the first show.
QWidget* window(const QString& id);

} // namespace dormio::WindowHost

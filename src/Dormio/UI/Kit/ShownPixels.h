#pragma once

// What part of a widget shows on screen now, as a picture: the pixels its window last painted, copied from
// the window's backing store instead of painting the widget again. A transition takes its picture of a tall
// widget for the cost of a copy rather than of a whole render, and the picture is exactly what was on screen
// (a change not painted yet is not in it). Where the store holds no such picture (the window was never
// painted, or was resized since, or draws through something else than an image), the widget paints the area.

#include <QPixmap>

class QRect;
class QWidget;

namespace dormio {

// `area` is in the widget's own coordinates; the picture keeps the window's pixel ratio.
QPixmap shownPixels(QWidget* widget, const QRect& area);

} // namespace dormio

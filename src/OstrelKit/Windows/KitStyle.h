#pragma once

// The kit's few text styles, shared by its windows: the type sizes of the desktop's small print and the
// two inks beside the window's own, both taken from the palette so that they follow the appearance.

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

namespace dormio::KitStyle {

inline constexpr int body = 13;
inline constexpr int callout = 12;
inline constexpr int caption = 10;

// The application's face at `pixels`.
QFont font(int pixels, bool bold = false);

bool isDark(const QPalette& palette);
// The window's ink, softened, for explanations.
QColor secondary(const QPalette& palette);
// The warning orange of the current appearance.
QColor orange(const QPalette& palette);

// Draws `widget`'s text in `ink`.
void setInk(QWidget* widget, const QColor& ink);

} // namespace dormio::KitStyle

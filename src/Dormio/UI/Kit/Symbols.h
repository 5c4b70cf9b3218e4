#pragma once

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <string_view>

// Symbol names drawn as glyphs of the Material Icons font. Unknown names draw "questionmark".
namespace dormio::Symbols {

QString glyph(std::string_view name);
// Draws the glyph centred in rect, as large as the rect's smaller side.
void paint(QPainter& painter, const QRectF& rect, std::string_view name, const QColor& color);
QIcon icon(std::string_view name, const QColor& color, int px);

} // namespace dormio::Symbols

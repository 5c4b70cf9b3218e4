#pragma once

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <string_view>

// Symbol names drawn as glyphs of the Material Icons font. Unknown names draw "questionmark".
namespace dormio::Symbols {

enum class Weight { regular, semibold };

QString glyph(std::string_view name);
// Draws the glyph centred in rect, as large as a symbol of the rect's smaller side shows.
void paint(QPainter& painter, const QRectF& rect, std::string_view name, const QColor& color,
           Weight weight = Weight::regular);
QIcon icon(std::string_view name, const QColor& color, int px);
// The glyph's outline, placed as paint() places it.
QPainterPath outline(const QRectF& rect, std::string_view name);

} // namespace dormio::Symbols

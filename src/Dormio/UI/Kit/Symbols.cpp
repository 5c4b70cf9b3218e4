#include "Dormio/UI/Kit/Symbols.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <cmath>

namespace dormio::Symbols {

namespace {

constexpr const char* fontFile =
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

struct Entry {
    std::string_view name;
    char32_t codepoint; // the Material Icons glyph, named after the icon in the comment
    // How much larger than the symbol's size the glyph is drawn. Most glyphs fill their em box as the
    // symbols they stand for fill theirs; a chevron fills only a quarter of it, and a check its lower
    // middle, which at the symbol's size would show as specks.
    qreal scale = 1;
};

// Sorted by name, for the binary search.
constexpr std::array<Entry, 44> table{{
    {"arrow.clockwise", 0xe5d5},               // refresh
    {"arrow.clockwise.circle.fill", 0xe2e7},   // change_circle
    {"arrow.down.circle", 0xf181},             // arrow_circle_down
    {"battery.75percent", 0xebd4},             // battery_5_bar
    {"bell", 0xe7f4},                          // notifications
    {"bolt", 0xea0b},                          // bolt
    {"cable.connector", 0xefe6},               // cable
    {"calendar.badge.clock", 0xe878},          // event
    {"checkmark", 0xe5ca, 1.3},                // check
    {"chevron.left", 0xe5cb, 1.7},             // chevron_left
    {"chevron.right", 0xe5cc, 1.7},            // chevron_right
    {"clock.arrow.circlepath", 0xe889},        // history
    {"computermouse", 0xe323},                 // mouse
    {"display", 0xe30c},                       // desktop_windows
    {"dot.radiowaves.left.and.right", 0xe51e}, // sensors
    {"envelope", 0xe158},                      // mail
    {"exclamationmark.circle", 0xe001},        // error_outline
    {"exclamationmark.triangle", 0xe002},      // warning
    {"eye", 0xe8f4},                           // visibility
    {"eye.slash", 0xe8f5},                     // visibility_off
    {"gearshape", 0xe8b8},                     // settings
    {"globe", 0xe894},                         // language
    {"icloud", 0xe2c2},                        // cloud_queue
    {"keyboard", 0xe312},                      // keyboard
    {"laptopcomputer", 0xe31e},                // laptop
    {"list.bullet.rectangle", 0xe0ee},         // list_alt
    {"location", 0xe569},                      // near_me
    {"magnifyingglass", 0xe8b6},               // search
    {"moon", 0xe51c},                          // dark_mode
    {"moon.haze", 0xea46},                     // nights_stay
    {"moon.zzz", 0xef44},                      // bedtime
    {"music.note", 0xe405},                    // music_note
    {"person", 0xe7fd},                        // person
    {"photo", 0xe410},                         // photo
    {"power", 0xe8ac},                         // power_settings_new
    {"powerplug", 0xe63c},                     // power
    {"questionmark", 0xeb8b},                  // question_mark
    {"square.stack.3d.up", 0xe53b},            // layers
    {"text.alignleft", 0xe236},                // format_align_left
    {"thermometer.medium", 0xf076},            // thermostat
    {"timer", 0xe425},                         // timer
    {"trash", 0xe872},                         // delete
    {"wifi", 0xe63e},                          // wifi
    {"wrench.and.screwdriver", 0xf10b},        // handyman
}};

constexpr bool sorted() {
    for (size_t i = 1; i < table.size(); ++i)
        if (!(table[i - 1].name < table[i].name)) return false;
    return true;
}
static_assert(sorted(), "the symbol table must stay sorted by name");

const Entry& entry(std::string_view name) {
    const auto it = std::lower_bound(table.begin(), table.end(), name,
                                     [](const Entry& e, std::string_view key) { return e.name < key; });
    if (it != table.end() && it->name == name) return *it;
    return entry("questionmark");
}

QString family() {
    static const QString loaded = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(fontFile));
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Material Icons") : families.first();
    }();
    return loaded;
}

QFont glyphFont(qreal side, std::string_view name) {
    QFont font(family());
    font.setPixelSize(std::max(1, int(std::lround(side * entry(name).scale))));
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

QString glyph(std::string_view name) {
    const char32_t c = entry(name).codepoint;
    return QString::fromUcs4(&c, 1);
}

void paint(QPainter& painter, const QRectF& rect, std::string_view name, const QColor& color, Weight weight) {
    const qreal side = std::min(rect.width(), rect.height());
    if (side <= 0) return;
    painter.save();
    if (weight == Weight::regular) {
        painter.setFont(glyphFont(side, name));
        painter.setPen(color);
        painter.drawText(rect, Qt::AlignCenter, glyph(name));
    } else {
        // The face comes in one weight: a heavier glyph is its outline stroked a little outside the fill.
        painter.setPen(
            QPen(color, side * entry(name).scale * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(color);
        painter.drawPath(outline(rect, name));
    }
    painter.restore();
}

QPainterPath outline(const QRectF& rect, std::string_view name) {
    QPainterPath path;
    const qreal side = std::min(rect.width(), rect.height());
    if (side <= 0) return path;
    const QFont font = glyphFont(side, name);
    const QFontMetricsF metrics(font);
    const QString text = glyph(name);
    const QPointF origin(rect.center().x() - metrics.horizontalAdvance(text) / 2,
                         rect.center().y() - metrics.height() / 2 + metrics.ascent());
    path.addText(origin, font, text);
    return path;
}

QIcon icon(std::string_view name, const QColor& color, int px) {
    QIcon result;
    if (px < 1) return result;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(px * scale, px * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paint(painter, QRectF(0, 0, px, px), name, color);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace dormio::Symbols

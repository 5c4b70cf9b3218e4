#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPalette>
#include <QPixmapCache>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace dormio {

namespace {

std::optional<Appearance> forcedAppearance;
std::optional<Appearance> desktopAppearance; // read at install and on every change of the desktop's theme
bool paletteApplied = false;
QPointer<QWidget> activeWhateverItsFocus;

// Qt has no colour-scheme query before 6.5; a desktop in a dark style hands out a dark window colour.
// Our own palette hides the desktop's, so it is lifted for the moment of reading.
Appearance readDesktopAppearance() {
    if (paletteApplied) {
        QPalette desktop;
        desktop.setResolveMask(0);
        QApplication::setPalette(desktop);
        paletteApplied = false;
    }
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? Appearance::dark : Appearance::light;
}

// Qt's own widgets draw with opaque colours: the translucent inks are laid over the page.
QColor over(const DynamicColor& color, const DynamicColor& ground, Appearance appearance) {
    const QColor top = color.resolve(appearance);
    const QColor bottom = ground.resolve(appearance);
    const qreal a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

QPalette paletteFor(Appearance appearance) {
    const auto solid = [&](const DynamicColor& color) { return over(color, Theme::paper, appearance); };
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? solid(Theme::ink3) : solid(Theme::ink);
        palette.setColor(group, QPalette::Window, solid(Theme::paper));
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, solid(Theme::panel));
        palette.setColor(group, QPalette::AlternateBase, solid(Theme::paper));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText, solid(Theme::ink3));
        palette.setColor(group, QPalette::Button, solid(Theme::panel));
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, solid(Theme::white));
        palette.setColor(group, QPalette::Highlight,
                         disabled ? solid(Theme::ruleStrong) : solid(Theme::indigo));
        palette.setColor(group, QPalette::HighlightedText, solid(Theme::white));
        palette.setColor(group, QPalette::Link, solid(Theme::indigo));
        palette.setColor(group, QPalette::LinkVisited, solid(Theme::indigo));
        palette.setColor(group, QPalette::ToolTipBase, solid(Theme::panel));
        palette.setColor(group, QPalette::ToolTipText, solid(Theme::ink));
        // The bevels of the native style: scroll bar grooves and handles, frames, separators.
        palette.setColor(group, QPalette::Light, solid(Theme::panel));
        palette.setColor(group, QPalette::Midlight, solid(Theme::wash));
        palette.setColor(group, QPalette::Mid, solid(Theme::ruleStrong));
        palette.setColor(group, QPalette::Dark, solid(Theme::ink3));
        palette.setColor(group, QPalette::Shadow, solid(Theme::ink2));
    }
    return palette;
}

// Qt paints a window without the focus in the palette's inactive colours: the window drawn as active
// whatever its focus takes the active ones for both.
void holdActiveColours() {
    if (!activeWhateverItsFocus) return;
    QPalette palette = QApplication::palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = QPalette::ColorRole(role);
        palette.setBrush(QPalette::Inactive, colourRole, palette.brush(QPalette::Active, colourRole));
    }
    activeWhateverItsFocus->setPalette(palette);
}

void applyAppearance() {
    const Appearance appearance = Theme::appearance();
    if (!qApp) return;
    QApplication::setPalette(paletteFor(appearance));
    paletteApplied = true;
    holdActiveColours();
    QPixmapCache::clear();
    for (QWidget* window : QApplication::topLevelWidgets())
        window->update();
    emit ThemeEvents::instance()->appearanceChanged(appearance);
}

// Follows the desktop when its theme changes; every window hears of it, so the reads are gathered into one.
class DesktopWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ThemeChange && watched->isWindowType() && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                const Appearance before = Theme::appearance();
                desktopAppearance = readDesktopAppearance();
                if (Theme::appearance() != before || !paletteApplied) applyAppearance();
            });
        }
        return false;
    }

private:
    bool pending_ = false;
};

// The faces the type scale names, with the folders the Debian packages install them to, loaded from
// there when fontconfig does not list them.
struct Face {
    const char* family;
    const char* folder;
    const char* package;
};
constexpr Face faces[] = {
    {"Inter", "/usr/share/fonts/opentype/inter", "fonts-inter"},
    {"JetBrains Mono", "/usr/share/fonts/truetype/jetbrains-mono", "fonts-jetbrains-mono"},
    {"DejaVu Sans", "/usr/share/fonts/truetype/dejavu", "fonts-dejavu-core"},
    {"DejaVu Sans Mono", "/usr/share/fonts/truetype/dejavu", "fonts-dejavu-core"},
};

QStringList loadFonts() {
    QStringList missing;
    for (const Face& face : faces) {
        const QString family = QString::fromLatin1(face.family);
        if (QFontDatabase::hasFamily(family)) continue;
        const QDir folder(QString::fromLatin1(face.folder));
        for (const QString& file : folder.entryList({"*.otf", "*.ttf"}, QDir::Files))
            QFontDatabase::addApplicationFont(folder.filePath(file));
        if (!QFontDatabase::hasFamily(family))
            missing << QStringLiteral("%1 (%2)").arg(family, QString::fromLatin1(face.package));
    }
    return missing;
}

} // namespace

QColor DynamicColor::resolve(Appearance appearance) const {
    const bool isDark = appearance == Appearance::dark;
    const uint32_t rgb = isDark ? dark : light;
    QColor color(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
    color.setAlphaF(float(isDark ? darkAlpha : lightAlpha));
    return color;
}

DynamicColor::operator QColor() const {
    return resolve(Theme::appearance());
}

ThemeEvents* ThemeEvents::instance() {
    static ThemeEvents* events = new ThemeEvents;
    return events;
}

namespace Theme {

Appearance appearance() {
    if (forcedAppearance) return *forcedAppearance;
    if (!desktopAppearance) desktopAppearance = readDesktopAppearance();
    return *desktopAppearance;
}

void setAppearance(std::optional<Appearance> forced) {
    const Appearance before = appearance();
    forcedAppearance = forced;
    if (appearance() != before || !paletteApplied) applyAppearance();
}

void install(QApplication& application) {
    for (const QString& face : loadFonts())
        qWarning("Dormio: the font %s is not installed; text falls back to another face.", qPrintable(face));
    QApplication::setFont(Typo::body().nearest());
    desktopAppearance = readDesktopAppearance();
    applyAppearance();
    static DesktopWatcher* watcher = new DesktopWatcher(&application);
    application.installEventFilter(watcher);
}

bool drawsAsActive(const QWidget& widget) {
    return widget.isActiveWindow() || (activeWhateverItsFocus && widget.window() == activeWhateverItsFocus);
}

void drawAsActive(QWidget* window) {
    if (activeWhateverItsFocus && activeWhateverItsFocus != window)
        activeWhateverItsFocus->setPalette(QPalette());
    activeWhateverItsFocus = window;
    if (!window) return;
    holdActiveColours();
    window->update();
    for (QWidget* child : window->findChildren<QWidget*>())
        child->update();
}

Font systemFont(qreal pixels, std::optional<QFont::Weight> weight, bool monospaced) {
    return Font(pixels, weight, monospaced ? Font::Design::monospaced : Font::Design::standard);
}

namespace Typo {

namespace {
constexpr auto mono = Font::Design::monospaced;
} // namespace

// Created once, on first use; `body` and `small` carry no weight so the face's default applies.
const Font& title() {
    static const Font font(22, QFont::DemiBold);
    return font;
}
const Font& lede() {
    static const Font font(18, QFont::Normal);
    return font;
}
const Font& body() {
    static const Font font(13);
    return font;
}
const Font& bodyStrong() {
    static const Font font(13, QFont::Medium);
    return font;
}
const Font& small() {
    static const Font font(11.5);
    return font;
}
const Font& figure() {
    static const Font font(17, QFont::Medium, mono);
    return font;
}
const Font& figureSmall() {
    static const Font font(12.5, QFont::Medium, mono);
    return font;
}
const Font& time() {
    static const Font font(11.5, QFont::Normal, mono);
    return font;
}
const Font& kicker() {
    static const Font font(10, QFont::Medium, mono);
    return font;
}

} // namespace Typo

} // namespace Theme

} // namespace dormio

#include "Dormio/UI/Kit/SelectableText.h"

namespace dormio {

SelectableText::SelectableText(const QString& text, const Font& font, DynamicColor color, bool wrapping,
                               QWidget* parent)
    : QLabel(parent), color_(color) {
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(font.nearest());
    setWordWrap(wrapping);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setCursor(Qt::IBeamCursor);
    followAppearance();
    connect(ThemeEvents::instance(), &ThemeEvents::appearanceChanged, this, [this] { followAppearance(); });
}

void SelectableText::followAppearance() {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(color_));
    colours.setColor(QPalette::Text, QColor(color_));
    setPalette(colours);
}

} // namespace dormio

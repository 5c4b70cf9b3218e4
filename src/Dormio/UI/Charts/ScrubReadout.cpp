#include "Dormio/UI/Charts/ScrubReadout.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/ProcessNames.h"

#include <QPainter>
#include <algorithm>

namespace dormio::ScrubReadout {

namespace {

constexpr qreal marginX = 9;
constexpr qreal marginY = 7;
constexpr qreal lineGap = 3;
constexpr qreal wordGap = 8;
constexpr qreal holderWidth = 260;
constexpr qreal cornerRadius = 6;

const Font& timeFont() {
    static const Font font = Theme::systemFont(11.5, QFont::DemiBold, true);
    return font;
}
const Font& stateFont() {
    static const Font font = Theme::systemFont(10, QFont::Medium, true).withTracking(0.6);
    return font;
}
const Font& chargeFont() {
    static const Font font = Theme::systemFont(11, QFont::Normal, true);
    return font;
}
const Font& holderFont() {
    static const Font font = Theme::systemFont(10, QFont::Normal, true);
    return font;
}

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The first line's words, left to right, with their fonts.
struct Word {
    const Font& font;
    const QString& text;
};

std::vector<Word> firstLine(const Text& text) {
    std::vector<Word> words{{timeFont(), text.time}, {stateFont(), text.state}};
    if (text.charge) words.push_back({chargeFont(), *text.charge});
    return words;
}

qreal firstLineHeight(const std::vector<Word>& words) {
    qreal height = 0;
    for (const Word& word : words)
        height = std::max(height, word.font.height());
    return height;
}

} // namespace

Text text(const ScrubReading& reading) {
    Text text{qt(Fmt::clockTime(reading.date)), qt(label(reading.state)).toUpper(), {}, {}, {}};
    if (reading.charge) text.charge = qt(Fmt::percent(*reading.charge));
    if (!reading.event) return text;
    const NightEvent& event = *reading.event;
    text.event = qt(event.label);
    if (event.scheduledBy)
        text.holder = qt(*event.scheduledBy);
    else if (event.culprit)
        text.holder = QStringLiteral("Held up by ") + qt(ProcessNames::friendly(*event.culprit));
    return text;
}

Box layout(const ScrubReading& reading) {
    Box box{text(reading), reading.state, {}, {}};
    const std::vector<Word> words = firstLine(box.text);
    qreal width = -wordGap;
    for (const Word& word : words)
        width += wordGap + word.font.width(word.text);
    qreal height = firstLineHeight(words);
    if (box.text.event) {
        width = std::max(width, Theme::Typo::small().width(*box.text.event));
        height += lineGap + Theme::Typo::small().height();
    }
    if (box.text.holder) {
        box.holderShown = holderFont().elided(*box.text.holder, Qt::ElideMiddle, holderWidth);
        width = std::max(width, std::min(holderFont().width(box.holderShown), holderWidth));
        height += lineGap + holderFont().height();
    }
    box.size = QSizeF(width + 2 * marginX, height + 2 * marginY);
    return box;
}

void paint(QPainter& painter, QPointF topLeft, const Box& box, const CanvasPalette& palette) {
    const QRectF frame(topLeft, box.size);
    Shapes::fill(painter, frame, cornerRadius, palette.card);
    Shapes::strokeInside(painter, frame, cornerRadius, palette.ruleStrong);

    // The first line's words share one centre line.
    const std::vector<Word> words = firstLine(box.text);
    const qreal lineHeight = firstLineHeight(words);
    const QColor colors[] = {palette.ink, stateStyle(box.state, palette).key, palette.ink2};
    qreal x = frame.left() + marginX;
    qreal y = frame.top() + marginY;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const Font& font = words[i].font;
        painter.setPen(colors[i]);
        font.draw(painter, QPointF(x, y + (lineHeight - font.height()) / 2 + font.ascent()), words[i].text);
        x += font.width(words[i].text) + wordGap;
    }
    y += lineHeight;
    if (box.text.event) {
        const Font& font = Theme::Typo::small();
        painter.setPen(palette.ink);
        font.draw(painter, QPointF(frame.left() + marginX, y + lineGap + font.ascent()), *box.text.event);
        y += lineGap + font.height();
    }
    if (box.text.holder) {
        painter.setPen(palette.ink3);
        holderFont().draw(painter, QPointF(frame.left() + marginX, y + lineGap + holderFont().ascent()),
                          box.holderShown);
    }
}

} // namespace dormio::ScrubReadout

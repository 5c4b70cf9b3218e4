#pragma once

// Plain-text labels. Whatever they show is drawn as plain text: a process named "<b>" reads "<b>".

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QWidget>
#include <array>
#include <optional>
#include <string_view>

namespace dormio {

// A text of the model, UTF-8 bytes, as the views show it.
inline QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// How a change of text shows.
enum class TextTransition {
    none,
    opacity, // the old text fades out while the new one fades in
    numeric, // changed characters roll: the old ones rise out, the new ones rise in from below
};

// The old and the new text of a change while it runs, drawn at a baseline.
class TextChange {
public:
    explicit TextChange(QWidget* owner);
    void start(const QString& from, TextTransition kind, const Motion::Curve& curve);
    bool running() const { return progress_.running(); }
    // Draws `to` (and, while running, the text it replaces) with the painter's pen.
    void draw(QPainter& painter, const Font& font, QPointF origin, const QString& to) const;

private:
    TextTransition kind_ = TextTransition::none;
    QString from_;
    Motion::Value progress_;
};

class Label : public QWidget {
public:
    Label(const QString& text, const Font& font, DynamicColor color, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    const Font& textFont() const { return font_; }
    void setTextFont(const Font& font);
    DynamicColor color() const { return color_; }
    void setColor(DynamicColor color);
    // One line, cut with an ellipsis at the end, the middle or the start when too narrow.
    void setElide(Qt::TextElideMode mode);
    // As many lines as the text needs, at most `maxWidth` wide; never cut.
    void setWrapping(qreal maxWidth);
    // Leading (the default), centred or trailing inside the label's frame.
    void setAlignment(Qt::Alignment alignment);
    void setUppercase(bool uppercase);
    void setTransition(TextTransition transition, Motion::Curve curve = Motion::standard());

    // The lines as drawn at the label's width: one, perhaps cut, or the wrapped lines.
    QStringList shownLines() const;
    bool isTransitioning() const { return change_.running(); }
    qreal baseline() const; // from the top edge, of the first line

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return wrapWidth_ > 0; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shownText() const;
    QStringList linesFor(qreal width) const;
    qreal naturalWidth() const;
    void forgetShaping();

    // Layouts ask for a label's size many times over, mostly at the same one or two widths: the shaped
    // lines of the last two widths and the text's natural width are kept until the text or its look changes.
    struct Shaped {
        qreal width = -1;
        QStringList lines;
    };
    mutable std::optional<qreal> natural_;
    mutable std::array<Shaped, 2> shaped_;
    mutable std::size_t nextShaped_ = 0;

    QString text_;
    Font font_;
    DynamicColor color_;
    Qt::TextElideMode elide_ = Qt::ElideRight;
    qreal wrapWidth_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeading;
    bool uppercase_ = false;
    TextTransition transition_ = TextTransition::none;
    Motion::Curve curve_;
    TextChange change_;
};

// The small upper-case caption over figures, sections and columns.
class Kicker : public Label {
public:
    Kicker(const QString& text, DynamicColor color, QWidget* parent = nullptr);
    static Font font(); // Theme::Typo::kicker() with 0.9 px of tracking
};

} // namespace dormio

#pragma once

// The headings of pages and sections.

#include "Dormio/UI/Kit/Text.h"

#include <QWidget>
#include <optional>

namespace dormio {

// A section's caption with an optional note at the trailing end, on one baseline. A long note is cut at
// its end; it never comes closer than 8 px to the caption.
class SectionHeader : public QWidget {
public:
    SectionHeader(const QString& title, const std::optional<QString>& note, QWidget* parent = nullptr);

    void setNote(const std::optional<QString>& note);
    const QString& title() const { return title_; }
    const std::optional<QString>& note() const { return note_; }
    // The note as drawn at the header's width; empty without a note.
    QString shownNote() const;
    qreal baseline() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr qreal minimumGap = Theme::Space::s;
    static Font noteFont(); // 10.5 px, monospaced

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
    std::optional<QString> note_;
};

// A page's title block: a caption over the title, and the caller's controls bottom-aligned at the end.
// A new title cross-fades with the old one.
class PageHeader : public QWidget {
public:
    PageHeader(const QString& kicker, const QString& title, QWidget* trailing, QWidget* parent = nullptr);

    void setKicker(const QString& kicker);
    void setTitle(const QString& title);
    // Controls made after the header (they may need it as their parent): put at the end, bottom-aligned.
    void setTrailing(QWidget* trailing);
    Kicker* kicker() const { return kicker_; }
    Label* title() const { return title_; }

private:
    Kicker* kicker_;
    Label* title_;
};

} // namespace dormio

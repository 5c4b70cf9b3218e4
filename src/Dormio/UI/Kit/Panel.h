#pragma once

// The card every block of a page stands on, with an optional section header over its content.

#include "Dormio/UI/Kit/Headers.h"

#include <QWidget>
#include <optional>

class QVBoxLayout;

namespace dormio {

class Panel : public QWidget {
public:
    // A note without a title shows no header at all.
    Panel(const std::optional<QString>& title, const std::optional<QString>& note, qreal padding,
          QWidget* content, QWidget* parent = nullptr);

    // The header again, for a title or note that follows the data.
    void setHeader(const std::optional<QString>& title, const std::optional<QString>& note);
    // Puts `content` in place of the current content, which is deleted; it shows with the panel at once.
    void setContent(QWidget* content);
    SectionHeader* header() const { return header_; }
    QWidget* content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* stack_;
    SectionHeader* header_ = nullptr;
    QWidget* content_ = nullptr;
};

} // namespace dormio

#pragma once

// What a page shows when it has nothing to show: a flat trace, a caption, a title, a message and
// perhaps one action. It fades in and rises 6 px into place as it comes on screen.

#include "Dormio/UI/Kit/Motion.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace dormio {

class Button;
class Label;

class EmptyState : public QWidget {
public:
    // The button shows only with both a title and an action.
    EmptyState(const QString& kicker, const QString& title, const QString& message,
               const std::optional<QString>& actionTitle, std::function<void()> action,
               QWidget* parent = nullptr);

    Button* button() const { return button_; }
    Label* title() const { return title_; }
    Label* message() const { return message_; }
    // 0 before the entrance, 1 once it has ended.
    qreal entrance() const { return entrance_.value(); }
    // How far below its place the block still stands.
    qreal drop() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    class Rise;
    void showEntrance(qreal progress);
    Label* title_;
    Label* message_;
    Button* button_ = nullptr;
    Rise* rise_;
    Motion::Value entrance_;
    bool appeared_ = false;
};

} // namespace dormio

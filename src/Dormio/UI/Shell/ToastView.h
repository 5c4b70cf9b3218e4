#pragma once

// The toast's view: one message with its symbol and the time it was shown, drawn over the bottom of the
// main window; and the overlay that gives each new message a view of its own, sliding and fading it in
// and out.

#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/AnimationClock.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace dormio {

class ToastView : public QWidget {
    Q_OBJECT
public:
    // The bounce of the symbol, and the entrance and exit: a spring, or a short ease with Reduce Motion.
    static constexpr std::chrono::milliseconds bounceDuration{500};
    static constexpr std::chrono::milliseconds springDuration{350};
    static constexpr std::chrono::milliseconds reducedDuration{200};

    static constexpr int horizontalPadding = 14;
    static constexpr int verticalPadding = 9;
    static constexpr int spacing = 10;
    static constexpr int symbolSize = 12;
    static constexpr double timeSize = 10.5;
    static constexpr double cornerRadius = 8;

    explicit ToastView(Toast::Message message, QWidget* parent = nullptr);

    const Toast::Message& message() const { return message_; }
    // The time of day the view was made, as a clock time.
    const QString& clockTime() const { return clockTime_; }
    // The text as drawn: at most two lines, the second cut with an ellipsis when the text goes on.
    const QStringList& textLines() const { return lines_; }
    // How many times the symbol has bounced.
    int bounces() const { return bounce_; }

    // The widest the whole toast may grow; longer texts wrap to a second line.
    void setAvailableWidth(int width);

    qreal opacity() const { return opacity_; }
    void setOpacity(qreal opacity);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void layoutText();

    Toast::Message message_;
    QString clockTime_;
    QStringList lines_;
    int maxTextWidth_ = 480;
    qreal textWidth_ = 0;
    qreal opacity_ = 1;
    int bounce_ = 0;
    qreal symbolScale_ = 1;
};

// Shows the shared toast's message over `host`, centred at its bottom with 22 px below it.
class ToastOverlay : public QObject {
    Q_OBJECT
public:
    static constexpr int bottomPadding = 22;

    ToastOverlay(QWidget* host, Toast& toast);

    // The view of the message shown now; null when none is shown.
    ToastView* view() const { return view_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void messageChanged();
    void enter(ToastView* view);
    void leave(ToastView* view);
    QPoint restingPosition(const ToastView* view) const;
    QPoint hiddenPosition(const ToastView* view) const;

    QWidget* host_;
    Toast& toast_;
    QPointer<ToastView> view_;
    QPointer<Animation> entrance_;
};

} // namespace dormio

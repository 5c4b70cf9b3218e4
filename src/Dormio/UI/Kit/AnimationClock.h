#pragma once

// The one clock every animation of the UI runs on. An animation moves a value from one number to another
// over a duration along an easing curve, or loops a phase until it is stopped; the clock draws the frames
// of all of them from one frame timer, which runs only while something animates, as often as the most
// demanding of them asks: a slow loop left running alone wakes the app only at its own pace. Snapshots set
// the instant mode (every animation jumps to its end), tests the stepped mode (time moves only when the test
// advances it).

#include <QEasingCurve>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

namespace dormio {

class AnimationClock;

// A value moving from `from` to `to`. `frame` gets the eased value on every frame, the first one at once
// with `from`, the last one with `to`; then `finished` runs once.
struct Tween {
    double from = 0;
    double to = 1;
    std::chrono::milliseconds duration{0};
    QEasingCurve easing{QEasingCurve::Linear};
    std::function<void(double value)> frame;
    std::function<void()> finished = {};
};

// One running animation. It is a child of the object it animates, so it ends when that object goes.
class Animation final : public QObject {
    Q_OBJECT
public:
    // Ends the animation where it stands, without its finished step.
    void stop();
    bool isRunning() const { return running_; }
    bool loops() const { return loops_; }

private:
    friend class AnimationClock;
    Animation(QObject* owner, AnimationClock& clock, Tween tween, bool loops,
              std::chrono::milliseconds interval);

    // Draws the frame of the time `now` (milliseconds on the clock); false once the animation is done.
    bool draw(qint64 now);
    // Jumps to the end: a tween's last value, a loop's resting phase; either way the animation is over.
    bool drawEnd();

    AnimationClock& clock_;
    Tween tween_;
    bool loops_;
    std::chrono::milliseconds interval_; // the longest wait between two of its frames that still looks smooth
    qint64 start_ = 0;
    bool running_ = true;
};

class AnimationClock final : public QObject {
    Q_OBJECT
public:
    enum class Mode { running, instant, stepped };

    static constexpr std::chrono::milliseconds frameInterval{16};

    // The UI's clock, made on first use.
    static AnimationClock& shared();

    explicit AnimationClock(QObject* parent = nullptr);

    Mode mode() const { return mode_; }
    // Entering the instant mode ends every running tween at its end value and every loop at phase 0.
    void setMode(Mode mode);

    // Moves the stepped clock on and draws every animation at the new time. Does nothing in the other
    // modes.
    void advance(std::chrono::milliseconds step);

    // Starts a tween of a value, owned by `owner`. A tween without duration, or any tween in the instant
    // mode, draws its end value and finishes at once.
    Animation* animate(QObject* owner, Tween tween);
    // Starts a loop owned by `owner`: `frame` gets the phase, from 0 up to 1, every frame, starting over
    // each `period`, until the loop is stopped. A loop that moves slowly may ask for frames at a longer
    // `interval` than the clock's own. In the instant mode it draws phase 0 and ends at once.
    Animation* loop(QObject* owner, std::chrono::milliseconds period, std::function<void(double phase)> frame,
                    std::chrono::milliseconds interval = frameInterval);

    // Milliseconds on the clock's own time line.
    qint64 now() const;
    // Whether the frame timer runs.
    bool isTicking() const { return timer_.isActive(); }
    // The frame timer's pace: the shortest interval of the animations running, or that of the last ones. It
    // is kept on the stepped clock too, where no timer runs.
    std::chrono::milliseconds tickInterval() const { return timer_.intervalAsDuration(); }
    // The animations that are running.
    int running() const;

private:
    friend class Animation;

    Animation* begin(Animation* animation);
    void tick();
    void updateTimer();

    Mode mode_ = Mode::running;
    qint64 base_ = 0;       // the time when the mode last changed, or the stepped time
    QElapsedTimer elapsed_; // since base_, in the running mode
    QTimer timer_;
    std::vector<QPointer<Animation>> animations_;
};

} // namespace dormio

#include "Dormio/UI/Kit/AnimationClock.h"

#include <algorithm>
#include <optional>

namespace dormio {

Animation::Animation(QObject* owner, AnimationClock& clock, Tween tween, bool loops,
                     std::chrono::milliseconds interval)
    : QObject(owner), clock_(clock), tween_(std::move(tween)), loops_(loops), interval_(interval) {}

void Animation::stop() {
    if (!running_) return;
    running_ = false;
    clock_.updateTimer();
    deleteLater();
}

bool Animation::draw(qint64 now) {
    const qint64 duration = tween_.duration.count();
    const qint64 elapsed = std::max<qint64>(now - start_, 0);
    if (loops_) {
        tween_.frame(double(elapsed % duration) / double(duration));
        return true;
    }
    const double progress = elapsed >= duration ? 1.0 : double(elapsed) / double(duration);
    if (progress < 1) {
        tween_.frame(tween_.from + (tween_.to - tween_.from) * tween_.easing.valueForProgress(progress));
        return true;
    }
    return drawEnd();
}

bool Animation::drawEnd() {
    // The frame or the finished step may end the owner, and this animation with it: nothing of it is
    // touched after they ran, but through the guard.
    const QPointer<Animation> self(this);
    const Tween tween = tween_;
    running_ = false;
    // A loop has no end: it rests at its start, as still as a stopped one, so that a still picture
    // never catches it mid-way.
    tween.frame(loops_ ? 0 : tween.to);
    if (tween.finished) tween.finished();
    if (self) deleteLater();
    return false;
}

AnimationClock& AnimationClock::shared() {
    static AnimationClock* clock = new AnimationClock(); // lives as long as the views it animates
    return *clock;
}

AnimationClock::AnimationClock(QObject* parent) : QObject(parent) {
    elapsed_.start();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AnimationClock::tick);
}

qint64 AnimationClock::now() const {
    return mode_ == Mode::running ? base_ + elapsed_.elapsed() : base_;
}

void AnimationClock::setMode(Mode mode) {
    base_ = now();
    elapsed_.restart();
    mode_ = mode;
    if (mode_ == Mode::instant)
        for (const QPointer<Animation>& animation : std::vector(animations_))
            if (animation && animation->isRunning()) animation->drawEnd();
    updateTimer();
}

void AnimationClock::advance(std::chrono::milliseconds step) {
    if (mode_ != Mode::stepped || step.count() <= 0) return;
    base_ += step.count();
    tick();
}

Animation* AnimationClock::animate(QObject* owner, Tween tween) {
    return begin(new Animation(owner, *this, std::move(tween), false, frameInterval));
}

Animation* AnimationClock::loop(QObject* owner, std::chrono::milliseconds period,
                                std::function<void(double phase)> frame, std::chrono::milliseconds interval) {
    // A loop without a period would divide by zero; one millisecond is as fast as any frame can show.
    const auto length = std::max(period, std::chrono::milliseconds(1));
    return begin(new Animation(owner, *this, Tween{0, 1, length, QEasingCurve::Linear, std::move(frame)},
                               true, std::max(interval, frameInterval)));
}

Animation* AnimationClock::begin(Animation* animation) {
    const QPointer<Animation> started(animation);
    animation->start_ = now();
    const bool jumps =
        mode_ == Mode::instant || (!animation->loops_ && animation->tween_.duration.count() <= 0);
    const bool goesOn = jumps ? animation->drawEnd() : animation->draw(animation->start_);
    if (started && goesOn) animations_.push_back(started);
    updateTimer();
    return started;
}

void AnimationClock::tick() {
    const qint64 time = now();
    // A frame may start or end other animations: go over the ones of this moment.
    for (const QPointer<Animation>& animation : std::vector(animations_))
        if (animation && animation->isRunning()) animation->draw(time);
    std::erase_if(animations_, [](const QPointer<Animation>& a) { return !a || !a->isRunning(); });
    updateTimer();
}

int AnimationClock::running() const {
    return int(std::count_if(animations_.begin(), animations_.end(),
                             [](const QPointer<Animation>& a) { return a && a->isRunning(); }));
}

void AnimationClock::updateTimer() {
    std::optional<std::chrono::milliseconds> interval;
    for (const QPointer<Animation>& animation : animations_)
        if (animation && animation->isRunning())
            interval = std::min(interval.value_or(animation->interval_), animation->interval_);
    // A change of pace restarts a running timer; an unchanged one keeps its rhythm.
    if (interval && timer_.intervalAsDuration() != *interval) timer_.setInterval(*interval);
    const bool needed = mode_ == Mode::running && interval;
    if (needed && !timer_.isActive()) timer_.start();
    if (!needed) timer_.stop();
}

} // namespace dormio

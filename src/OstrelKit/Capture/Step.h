#pragma once

// One asynchronous step of a demo script. A script is a coroutine that returns a Step: it runs at once up to
// its first sleep, and the kit's clock resumes it on the main thread when the sleep is over. So the event
// loop, and with it the recorder's frame timer, runs between a script's steps, never inside one:
//
//     Step scene(DemoRecorder& recorder) {
//         recorder.caption("A month of nights, one texture");
//         co_await recorder.click("span30", 0.5);
//         co_await recorder.wait(0.8);
//     }
//
// Whoever holds the Step owns the script: dropping it before it is done ends the script in the sleep it
// was in, and nothing of it runs again.

#include <algorithm>
#include <cmath>
#include <coroutine>
#include <exception>
#include <memory>
#include <utility>

namespace dormio {

class KitClock;

class [[nodiscard]] Step {
public:
    struct promise_type {
        std::coroutine_handle<> awaiting; // the script that waits for this step, if any

        Step get_return_object() { return Step(std::coroutine_handle<promise_type>::from_promise(*this)); }
        std::suspend_never initial_suspend() noexcept { return {}; }
        auto final_suspend() noexcept { return Finished{}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };

    Step(Step&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Step& operator=(Step&& other) noexcept;
    ~Step();

    bool done() const { return !handle_ || handle_.done(); }

    // `co_await step` goes on once the step is done.
    bool await_ready() const noexcept { return done(); }
    void await_suspend(std::coroutine_handle<> awaiting) noexcept { handle_.promise().awaiting = awaiting; }
    void await_resume() const noexcept {}

private:
    // A finished step stays suspended, for its owner to free, and hands over to the script awaiting it.
    struct Finished {
        bool await_ready() const noexcept { return false; }
        std::coroutine_handle<> await_suspend(std::coroutine_handle<promise_type> step) const noexcept {
            if (step.promise().awaiting) return step.promise().awaiting;
            return std::noop_coroutine();
        }
        void await_resume() const noexcept {}
    };

    explicit Step(std::coroutine_handle<promise_type> handle) : handle_(handle) {}

    std::coroutine_handle<promise_type> handle_;
};

// `co_await Sleep(clock, seconds)` suspends the script for that long on the kit's clock. A script freed
// while it sleeps is never resumed.
class Sleep {
public:
    // A time that is not a number sleeps not at all; one past the end of the clock, for a very long time.
    Sleep(KitClock& clock, double seconds)
        : clock_(clock), seconds_(std::isnan(seconds) ? 0 : std::clamp(seconds, 0.0, 1e9)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> sleeper);
    void await_resume() const noexcept {}

private:
    KitClock& clock_;
    double seconds_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace dormio

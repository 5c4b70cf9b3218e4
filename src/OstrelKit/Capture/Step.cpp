#include "OstrelKit/Capture/Step.h"

#include "OstrelKit/KitClock.h"

namespace dormio {

Step& Step::operator=(Step&& other) noexcept {
    if (this != &other) {
        if (handle_) handle_.destroy();
        handle_ = std::exchange(other.handle_, {});
    }
    return *this;
}

Step::~Step() {
    if (handle_) handle_.destroy();
}

void Sleep::await_suspend(std::coroutine_handle<> sleeper) {
    // The sleep lives in the sleeper's frame; when the frame is freed first, the timer finds it gone.
    clock_.after(seconds_, &clock_, [sleeper, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired()) sleeper.resume();
    });
}

} // namespace dormio

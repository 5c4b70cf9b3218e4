#include "Dormio/Core/Toast.h"

namespace dormio {

Toast& Toast::shared() {
    static Toast* toast = new Toast(); // lives as long as the process, like the views that observe it
    return *toast;
}

Toast::Toast(std::chrono::milliseconds hideDelay, QObject* parent) : QObject(parent), hideDelay_(hideDelay) {
    hide_.setSingleShot(true);
    connect(&hide_, &ClockTimer::timeout, this, &Toast::clear);
}

void Toast::show(const QString& text, const QString& symbol) {
    if (text.isEmpty()) return;
    current_ = Message{QUuid::createUuid(), text, symbol};
    // Restarting the one timer drops the previous hide, so an older message's hide never clears this one.
    hide_.start(hideDelay_);
    emit currentChanged();
}

void Toast::clear() {
    hide_.stop();
    if (!current_) return;
    current_.reset();
    emit currentChanged();
}

} // namespace dormio

#include "Dormio/DevModes/SelfTestReport.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace dormio::SelfTest {

void Report::heading(const QString& title) {
    print_(QStringLiteral("▸ ") + title);
}

void Report::check(bool holds, const QString& sentence) {
    ++(holds ? passed_ : failures_);
    print_((holds ? QStringLiteral("  ✓ ") : QStringLiteral("  ✗ ")) + sentence);
}

void Report::note(const QString& text) {
    print_(QStringLiteral("  – ") + text);
}

void Report::summary() {
    if (failures_ == 0)
        print_(QStringLiteral("✓ self-test: all %1 checks passed").arg(passed_));
    else
        print_(QStringLiteral("✗ self-test: %1 failed, %2 passed").arg(failures_).arg(passed_));
}

void waitUntil(double timeoutSeconds, const std::function<bool()>& condition) {
    using namespace std::chrono;
    const QDeadlineTimer deadline(duration_cast<milliseconds>(duration<double>(timeoutSeconds)),
                                  Qt::PreciseTimer);
    while (!condition() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(50ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace dormio::SelfTest

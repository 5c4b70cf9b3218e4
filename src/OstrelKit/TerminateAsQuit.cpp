#include "OstrelKit/TerminateAsQuit.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace dormio::TerminateAsQuit {

namespace {

int wakeUp[2] = {-1, -1};

// A signal handler may do next to nothing: it only wakes the event loop, which then quits.
void onTerminate(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    errno = saved;
}

} // namespace

void install() {
    static bool installed = false;
    if (installed || !QCoreApplication::instance() || ::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) return;
    installed = true;
    auto* notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char drained[64];
        while (::read(wakeUp[0], drained, sizeof drained) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

} // namespace dormio::TerminateAsQuit

#pragma once

// The self-test's console: a heading per section, a line per check, a note for a check it had to skip
// and a summary, each line handed out whole as soon as it is known; and its one way of waiting.

#include <QString>
#include <functional>

namespace dormio::SelfTest {

// Receives one line at a time, without its line feed.
using PrintLine = std::function<void(const QString& line)>;

class Report {
public:
    explicit Report(PrintLine print) : print_(std::move(print)) {}

    void heading(const QString& title);
    // Counts the check as passed or failed and prints it with its mark.
    void check(bool holds, const QString& sentence);
    void note(const QString& text);
    void summary();

    int passed() const { return passed_; }
    int failures() const { return failures_; }
    // The exit status of a run that ended: 1 when any check failed.
    int status() const { return failures_ == 0 ? 0 : 1; }

private:
    PrintLine print_;
    int passed_ = 0;
    int failures_ = 0;
};

// Runs the event loop in steps of 50 ms, so that the store's reads can hand back their results, until the
// condition holds or `timeoutSeconds` have passed on the monotonic clock. A time-out is not reported: the
// checks that follow fail instead.
void waitUntil(double timeoutSeconds, const std::function<bool()>& condition);

} // namespace dormio::SelfTest

#pragma once

// Where the two texts the model reads come from: the power log and the assertion listing. A file that a
// developer variable names takes precedence; otherwise `pmset` where it exists, else the Linux layer's texts.
// Every read blocks while it runs: call it off the main thread.

#include "DormioKit/Assertions.h"
#include "DormioKit/Date.h"
#include "DormioKit/ProcessRunner.h"

#include <QString>
#include <memory>
#include <vector>

namespace dormio {

class PowerLogSource {
public:
    virtual ~PowerLogSource() = default;
    // The power log as it stands at `now`.
    virtual PowerLogParser::SystemLog read(Date now) = 0;
};

class AssertionSource {
public:
    virtual ~AssertionSource() = default;
    // The assertions held at `now`.
    virtual std::vector<LiveAssertion> read(Date now) = 0;
};

// A power-log file, parsed as it is read and never held whole; one that cannot be read or is not UTF-8 is
// the empty log.
class FixturePowerLog final : public PowerLogSource {
public:
    explicit FixturePowerLog(QString path) : path_(std::move(path)) {}
    PowerLogParser::SystemLog read(Date now) override;

private:
    QString path_;
};

// An assertion-listing file; one that cannot be read or is not UTF-8 lists nothing.
class FixtureAssertions final : public AssertionSource {
public:
    explicit FixtureAssertions(QString path) : path_(std::move(path)) {}
    std::vector<LiveAssertion> read(Date now) override;

private:
    QString path_;
};

// `pmset -g log`, else the week before `now` from the journal; a machine without either has no log, and
// journal files none of which this user may open are a failure that says what to do.
class SystemPowerLog final : public PowerLogSource {
public:
    PowerLogParser::SystemLog read(Date now) override;
};

// `pmset -g assertions`, else the inhibitor locks held at `now`.
class SystemAssertions final : public AssertionSource {
public:
    std::vector<LiveAssertion> read(Date now) override;
};

// What the texts that say where the data comes from name: the Linux layers where they are read, so that a
// Linux user is never told of `pmset` or macOS's log; where `pmset` runs, a developer variable names the
// file or the sample data is shown (its records and apps are a Mac's), the texts keep their own words.
struct DataSources {
    bool journal = false; // the power log from the system journal and UPower's history
    bool logind = false;  // the assertion listing from logind's inhibitor locks
};

namespace LogSources {
// The sources the next reads take, by the same choice as powerLog() and assertions().
DataSources named();
// Counts a store that shows the sample data in place of the system's (true) or no longer does (false).
void showSampleData(bool shown);
// The file that DORMIO_LOG_FIXTURE names where the variable is set (even empty), else the system's log.
std::shared_ptr<PowerLogSource> powerLog();
// The same for DORMIO_ASSERTIONS_FIXTURE and the system's listing.
std::shared_ptr<AssertionSource> assertions();
} // namespace LogSources

} // namespace dormio

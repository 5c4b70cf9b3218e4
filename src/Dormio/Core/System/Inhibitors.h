#pragma once

// What holds the machine or its screen awake right now on Linux: logind's inhibitor locks and the
// desktop session's inhibitors, and the assertion listing written from them in the layout the model reads.

#include <QDBusConnection>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

struct Inhibitor {
    std::string what; // colon-separated: "sleep", "idle", "shutdown", "handle-lid-switch", ...; the
                      // session's inhibitors read "sleep" (suspend) or "screensaver" (idle)
    std::string who;  // the program as it names itself
    std::string why;
    std::string mode;          // "block" or "delay"
    int32_t pid = 0;           // 0 when the source does not say
    std::optional<double> age; // seconds held, where known
};

class InhibitorSource {
public:
    virtual ~InhibitorSource() = default;
    virtual std::vector<Inhibitor> inhibitors() = 0;
};

// logind's ListInhibitors on the system bus, with each lock's age at `now` (seconds since 1970) from the
// file logind keeps of it, and GNOME's session inhibitors on the session bus where that session runs.
class BusInhibitors final : public InhibitorSource {
public:
    BusInhibitors(QDBusConnection system, QDBusConnection session, int64_t now,
                  QString stateFolder = QStringLiteral("/run/systemd/inhibit"));
    std::vector<Inhibitor> inhibitors() override;

private:
    std::vector<Inhibitor> logind();
    std::vector<Inhibitor> session();

    QDBusConnection system_;
    QDBusConnection session_;
    int64_t now_;
    QString stateFolder_;
};

namespace AssertionListing {

// The listing `pmset -g assertions` prints, one row per lock that keeps the system or its screen awake:
// a sleep lock is the system-sleep type (a delay one only a background task), an idle lock the idle-sleep
// type, a screensaver inhibitor the display type; locks on shutdown or the keys alone give no row.
// `now` is seconds since 1970, written in the local zone.
std::string write(const std::vector<Inhibitor>& inhibitors, int64_t now);

} // namespace AssertionListing
} // namespace dormio

#pragma once

// The battery's charge through time from UPower's history files ("history-charge-<battery>.dat" in
// /var/lib/upower): one line per reading, "<seconds since 1970>\t<percent>\t<state>".

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace dormio {

struct ChargeReading {
    int64_t time = 0;              // seconds since 1970
    int64_t percent = 0;           // whole percent, rounded
    std::optional<bool> onBattery; // from the state: discharging or empty; none when unknown
};

class ChargeHistory {
public:
    ChargeHistory() = default;
    explicit ChargeHistory(std::vector<ChargeReading> readings); // any order; kept sorted by time

    // The reading nearest to `time` within ten minutes either way (the later one on a tie): readings
    // stop while the machine sleeps, so the charge at a wake is the first reading after it.
    std::optional<ChargeReading> near(int64_t time) const;
    bool empty() const { return readings_.empty(); }

private:
    std::vector<ChargeReading> readings_;
};

namespace UPowerHistory {

// Every battery's charge history under `folder`. With several batteries, the charge at a moment is their
// mean and the machine runs on battery when any of them discharges. Unreadable lines are passed over.
ChargeHistory read(const QString& folder = QStringLiteral("/var/lib/upower"));

// The readings of one file's text.
std::vector<ChargeReading> parse(const QByteArray& text);

} // namespace UPowerHistory
} // namespace dormio

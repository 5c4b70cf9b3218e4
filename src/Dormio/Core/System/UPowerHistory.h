#pragma once

// The battery's charge through time from UPower's history files ("history-charge-<device>.dat" in
// /var/lib/upower): one line per reading, "<seconds since 1970>\t<percent>\t<state>". UPower writes a line
// only when the charge or the state changes, and keeps the files of every device it ever saw: batteries
// long replaced, a mouse's, a headset's.

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
    // stop while the machine sleeps, so the charge at a wake is the first reading after it. Else the last
    // reading before it, up to a day old: the charge held steady since.
    std::optional<ChargeReading> near(int64_t time) const;
    bool empty() const { return readings_.empty(); }

private:
    std::vector<ChargeReading> readings_;
};

namespace UPowerHistory {

// The charge history of the system's batteries under `folder`: the files of the batteries that
// `powerSupplies` (normally /sys/class/power_supply) holds now, told by the model and serial number that
// UPower names each file after. With several batteries, the charge at a moment is the mean of their
// readings of the day before it, and the machine runs on battery when any of them discharges. Unreadable
// lines are passed over.
ChargeHistory read(const QString& folder = QStringLiteral("/var/lib/upower"),
                   const QString& powerSupplies = QStringLiteral("/sys/class/power_supply"));

// Whether the file UPower names `id` ("history-charge-<id>.dat") is that of the battery with this model
// and serial number, as UPower forms it: "<model>-<design capacity>-<serial>", each part left out when
// unknown or shorter than three characters, "generic_id" when all are.
bool namesBattery(const QString& id, const QString& model, const QString& serial);

// The readings of one file's text.
std::vector<ChargeReading> parse(const QByteArray& text);

} // namespace UPowerHistory
} // namespace dormio

#include "Dormio/Core/System/PowerSupplySysfs.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace dormio::PowerSupplySysfs {

namespace {

// One supply's folder, e.g. /sys/class/power_supply/BAT0; each attribute is a file of one line.
class Supply {
public:
    explicit Supply(QString folder)
        : dir(std::move(folder)), type(text("type").value_or(QString())),
          // Supplies of attached devices (a mouse's battery, a phone on USB) say scope Device.
          isDevice(text("scope") == QStringLiteral("Device")) {}

    std::optional<QString> text(const char* attribute) const {
        QFile file(dir + QLatin1Char('/') + QLatin1String(attribute));
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        const QByteArray line = file.read(4096).trimmed();
        if (line.isEmpty()) return std::nullopt;
        return QString::fromUtf8(line);
    }

    std::optional<qint64> number(const char* attribute) const {
        const auto value = text(attribute);
        if (!value) return std::nullopt;
        bool ok = false;
        const qint64 n = value->toLongLong(&ok);
        if (!ok) return std::nullopt;
        return n;
    }

    bool isInternalBattery() const { return type == QStringLiteral("Battery") && !isDevice; }
    bool isExternalSupply() const {
        return (type == QStringLiteral("Mains") || type.startsWith(QStringLiteral("USB"))) && !isDevice;
    }
    bool isPresent() const { return number("present") != 0; }

private:
    QString dir;
    QString type;
    bool isDevice;
};

// What one internal battery says. Batteries count either energy (µWh, µW) or charge (µAh, µA); an
// energy figure becomes a charge only through the battery's design voltage.
struct Battery {
    bool countsEnergy = false;
    std::optional<qint64> percent; // the kernel's own, 0–100
    std::optional<qint64> now, full, design, rate;
    std::optional<qint64> microvolts;
    QString status;
    std::optional<QString> health;
    std::optional<qint64> cycles;
    std::optional<qint64> tenthsOfADegree;

    explicit Battery(const Supply& supply) {
        countsEnergy = supply.number("energy_full") || supply.number("energy_full_design") ||
                       supply.number("energy_now");
        const auto amount = [&](const char* energy, const char* charge) {
            return supply.number(countsEnergy ? energy : charge);
        };
        now = amount("energy_now", "charge_now");
        full = amount("energy_full", "charge_full");
        design = amount("energy_full_design", "charge_full_design");
        // Some drivers give the drain as a negative current.
        if (const auto drain = amount("power_now", "current_now")) rate = *drain < 0 ? -*drain : *drain;
        microvolts = supply.number("voltage_min_design");
        if (const auto capacity = supply.number("capacity"); capacity && *capacity >= 0 && *capacity <= 100)
            percent = capacity;
        status = supply.text("status").value_or(QString());
        health = supply.text("health");
        // The kernel's 0 is "unknown".
        if (const auto count = supply.number("cycle_count"); count && *count > 0) cycles = count;
        tenthsOfADegree = supply.number("temp");
    }

    // An amount as a charge in µAh; none for energy without a design voltage.
    std::optional<qint64> charge(std::optional<qint64> amount) const {
        if (!amount || !countsEnergy) return amount;
        if (!microvolts || *microvolts <= 0) return std::nullopt;
        const double microampHours = double(*amount) / double(*microvolts) * 1e6;
        if (!(std::abs(microampHours) < 0x1p62)) return std::nullopt;
        return qint64(microampHours);
    }
};

// Amounts of several batteries added up in one unit: charge where every battery can say it, else the
// batteries' own unit when they all count alike; none when an amount is missing.
std::optional<qint64> total(const std::vector<Battery>& batteries, std::optional<qint64> Battery::*amount) {
    if (batteries.size() == 1) return batteries.front().*amount;
    const bool alike = std::all_of(batteries.begin(), batteries.end(), [&](const Battery& b) {
        return b.countsEnergy == batteries.front().countsEnergy;
    });
    const bool asCharge = std::all_of(batteries.begin(), batteries.end(),
                                      [&](const Battery& b) { return b.charge(b.*amount).has_value(); });
    if (!asCharge && !alike) return std::nullopt;
    double sum = 0;
    for (const Battery& battery : batteries) {
        const auto value = asCharge ? battery.charge(battery.*amount) : battery.*amount;
        if (!value) return std::nullopt;
        sum += double(*value);
    }
    if (!(std::abs(sum) < 0x1p62)) return std::nullopt;
    return qint64(sum);
}

// The charge of all batteries together in mAh, only when every battery can say it.
std::optional<qint64> totalCharge(const std::vector<Battery>& batteries,
                                  std::optional<qint64> Battery::*amount) {
    double sum = 0;
    for (const Battery& battery : batteries) {
        const auto value = battery.charge(battery.*amount);
        if (!value) return std::nullopt;
        sum += double(*value);
    }
    return qint64(sum / 1000);
}

bool anyStatus(const std::vector<Battery>& batteries, std::initializer_list<const char*> statuses) {
    return std::any_of(batteries.begin(), batteries.end(), [&](const Battery& battery) {
        return std::any_of(statuses.begin(), statuses.end(),
                           [&](const char* status) { return battery.status == QLatin1String(status); });
    });
}

// One description for all internal batteries, as the system of a single battery gives it.
QVariantMap source(const std::vector<Battery>& batteries, bool onAC) {
    QVariantMap map;
    map.insert(QStringLiteral("Type"), QStringLiteral("InternalBattery"));
    const auto put = [&](const QString& key, const std::optional<qint64>& value) {
        if (value) map.insert(key, *value);
    };
    const auto now = total(batteries, &Battery::now);
    const auto full = total(batteries, &Battery::full);
    if (batteries.size() == 1 && batteries.front().percent) {
        map.insert(QStringLiteral("Current Capacity"), *batteries.front().percent);
        map.insert(QStringLiteral("Max Capacity"), qint64(100));
    } else {
        // The charge is what the batteries hold against what they hold when full.
        put(QStringLiteral("Current Capacity"), now);
        put(QStringLiteral("Max Capacity"), full);
    }
    map.insert(QStringLiteral("Is Charging"), anyStatus(batteries, {"Charging"}));
    map.insert(QStringLiteral("Power Source State"),
               onAC ? QStringLiteral("AC Power") : QStringLiteral("Battery Power"));
    if (anyStatus(batteries, {"Discharging"}) && !anyStatus(batteries, {"Charging"})) {
        const auto rate = total(batteries, &Battery::rate);
        if (now && rate && *rate != 0) {
            const double minutes = std::floor(double(*now) / double(*rate) * 60.0);
            // A figure beyond any battery's life is no estimate.
            if (std::abs(minutes) < 0x1p62) map.insert(QStringLiteral("Time to Empty"), qint64(minutes));
        }
    }
    for (const Battery& battery : batteries)
        if (battery.health) {
            map.insert(QStringLiteral("BatteryHealth"), *battery.health);
            break;
        }
    return map;
}

QVariantMap registry(const std::vector<Battery>& batteries) {
    QVariantMap map;
    const auto put = [&](const QString& key, const std::optional<qint64>& value) {
        if (value) map.insert(key, *value);
    };
    // The most worn and the warmest battery speak for the pair.
    std::optional<qint64> cycles, tenths;
    for (const Battery& battery : batteries) {
        if (battery.cycles) cycles = std::max(cycles.value_or(0), *battery.cycles);
        if (battery.tenthsOfADegree)
            tenths = std::max(tenths.value_or(std::numeric_limits<qint64>::min()), *battery.tenthsOfADegree);
    }
    put(QStringLiteral("CycleCount"), cycles);
    put(QStringLiteral("DesignCapacity"), totalCharge(batteries, &Battery::design));
    put(QStringLiteral("AppleRawMaxCapacity"), totalCharge(batteries, &Battery::full));
    constexpr qint64 tenthsLimit = std::numeric_limits<qint64>::max() / 10;
    if (tenths && *tenths <= tenthsLimit && *tenths >= -tenthsLimit)
        map.insert(QStringLiteral("Temperature"), *tenths * 10);
    return map;
}

} // namespace

Reading read(const QString& root) {
    std::vector<Battery> batteries;
    bool hasExternalSupply = false;
    bool externalOnline = false;
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        Supply supply(dir.filePath(name));
        if (supply.isInternalBattery() && supply.isPresent()) batteries.emplace_back(supply);
        if (supply.isExternalSupply()) {
            hasExternalSupply = true;
            externalOnline = externalOnline || supply.number("online") == 1;
        }
    }
    if (batteries.empty()) return {};
    // A machine that lists no adapter still tells from its batteries whether it is plugged in.
    const bool onAC =
        hasExternalSupply ? externalOnline : anyStatus(batteries, {"Charging", "Full", "Not charging"});
    return {{source(batteries, onAC)}, registry(batteries)};
}

} // namespace dormio::PowerSupplySysfs

#include "Dormio/Core/System/PowerSupplySysfs.h"

#include <QDir>
#include <QFile>
#include <cmath>
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

// Batteries count either energy (µWh, µW) or charge (µAh, µA); the two are never mixed in one figure.
struct Units {
    const char* now;
    const char* full;
    const char* design;
    const char* rate;
};

Units unitsOf(const Supply& battery) {
    if (battery.number("energy_full") || battery.number("energy_full_design") || battery.number("energy_now"))
        return {"energy_now", "energy_full", "energy_full_design", "power_now"};
    return {"charge_now", "charge_full", "charge_full_design", "current_now"};
}

void put(QVariantMap& map, const QString& key, const std::optional<qint64>& value) {
    if (value) map.insert(key, *value);
}

std::optional<qint64> milli(const std::optional<qint64>& micro) {
    if (!micro) return std::nullopt;
    return *micro / 1000;
}

QVariantMap source(const Supply& battery, const Units& units, bool onAC) {
    QVariantMap map;
    map.insert(QStringLiteral("Type"), QStringLiteral("InternalBattery"));
    if (const auto present = battery.number("present"))
        map.insert(QStringLiteral("Is Present"), *present != 0);
    if (const auto capacity = battery.number("capacity")) {
        map.insert(QStringLiteral("Current Capacity"), *capacity);
        map.insert(QStringLiteral("Max Capacity"), qint64(100));
    } else {
        // Without a percentage the charge is what the battery holds against what it holds when full.
        put(map, QStringLiteral("Current Capacity"), battery.number(units.now));
        put(map, QStringLiteral("Max Capacity"), battery.number(units.full));
    }
    const QString status = battery.text("status").value_or(QString());
    map.insert(QStringLiteral("Is Charging"), status == QStringLiteral("Charging"));
    map.insert(QStringLiteral("Power Source State"),
               onAC ? QStringLiteral("AC Power") : QStringLiteral("Battery Power"));
    if (status == QStringLiteral("Discharging")) {
        const auto left = battery.number(units.now);
        const auto rate = battery.number(units.rate);
        // Some drivers give the drain as a negative current.
        if (left && rate && *rate != 0) {
            const double minutes = std::floor(double(*left) / std::abs(double(*rate)) * 60.0);
            // A figure beyond any battery's life is no estimate.
            if (std::abs(minutes) < 0x1p62) map.insert(QStringLiteral("Time to Empty"), qint64(minutes));
        }
    }
    if (const auto health = battery.text("health")) map.insert(QStringLiteral("BatteryHealth"), *health);
    return map;
}

QVariantMap registry(const Supply& battery, const Units& units) {
    QVariantMap map;
    put(map, QStringLiteral("CycleCount"), battery.number("cycle_count"));
    put(map, QStringLiteral("DesignCapacity"), milli(battery.number(units.design)));
    put(map, QStringLiteral("AppleRawMaxCapacity"), milli(battery.number(units.full)));
    constexpr qint64 tenthsLimit = std::numeric_limits<qint64>::max() / 10;
    if (const auto tenths = battery.number("temp");
        tenths && *tenths <= tenthsLimit && *tenths >= -tenthsLimit)
        map.insert(QStringLiteral("Temperature"), *tenths * 10);
    return map;
}

} // namespace

Reading read(const QString& root) {
    std::vector<Supply> batteries;
    bool hasExternalSupply = false;
    bool externalOnline = false;
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        Supply supply(dir.filePath(name));
        if (supply.isInternalBattery()) batteries.push_back(supply);
        if (supply.isExternalSupply()) {
            hasExternalSupply = true;
            externalOnline = externalOnline || supply.number("online") == 1;
        }
    }
    Reading reading;
    for (const Supply& battery : batteries) {
        const Units units = unitsOf(battery);
        bool onAC = externalOnline;
        if (!hasExternalSupply) {
            // A machine that lists no adapter still tells from its battery whether it is plugged in.
            const QString status = battery.text("status").value_or(QString());
            onAC = status == QStringLiteral("Charging") || status == QStringLiteral("Full") ||
                   status == QStringLiteral("Not charging");
        }
        reading.sources.push_back(source(battery, units, onAC));
        if (battery.isPresent()) reading.registry = registry(battery, units);
    }
    return reading;
}

} // namespace dormio::PowerSupplySysfs

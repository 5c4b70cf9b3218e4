#pragma once

// One user setting, declared once: its key in the settings file, its default, and the values it may take
// (for a setting a menu sets, the menu's entries). Whatever is stored under the key that is not such a
// value (another type, a fraction, a number the menu does not offer, text with spaces around something
// else) reads as the default; a value assigned is kept the same way, so what is read back is what was kept.

#include <QSettings>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace dormio {

template <typename T> class Setting {
public:
    // Without choices, every value of the type is one.
    Setting(QString key, T defaultValue, std::vector<T> choices = {})
        : key_(std::move(key)), default_(defaultValue), choices_(std::move(choices)) {}

    const QString& key() const { return key_; }
    T defaultValue() const { return default_; }
    const std::vector<T>& choices() const { return choices_; }

    T read(const QSettings& settings) const {
        const QVariant stored = settings.value(key_);
        return stored.isValid() ? kept(parsed(stored)) : default_;
    }

    // Stores the value at once and gives the value kept.
    T write(QSettings& settings, T value) const {
        const T kept = this->kept(value);
        settings.setValue(key_, kept);
        settings.sync();
        return kept;
    }

private:
    T kept(std::optional<T> value) const {
        const bool offered = value && (choices_.empty() ||
                                       std::find(choices_.begin(), choices_.end(), *value) != choices_.end());
        return offered ? *value : default_;
    }

    // The settings file holds text, which another program may have written with spaces around it; a value
    // set in this run may still be of its own type.
    static std::optional<T> parsed(const QVariant& stored);

    QString key_;
    T default_;
    std::vector<T> choices_;
};

template <> inline std::optional<int> Setting<int>::parsed(const QVariant& stored) {
    if (stored.typeId() == QMetaType::Int) return stored.toInt();
    if (stored.typeId() != QMetaType::QString) return std::nullopt;
    bool whole = false;
    const int value = stored.toString().trimmed().toInt(&whole);
    return whole ? std::optional(value) : std::nullopt;
}

template <> inline std::optional<bool> Setting<bool>::parsed(const QVariant& stored) {
    if (stored.typeId() == QMetaType::Bool) return stored.toBool();
    if (stored.typeId() != QMetaType::QString) return std::nullopt;
    const QString text = stored.toString().trimmed();
    if (text == QStringLiteral("true")) return true;
    if (text == QStringLiteral("false")) return false;
    return std::nullopt;
}

} // namespace dormio

#pragma once

// One user setting, declared once: its key in the settings file, its default, and the values it may
// take. Whatever is stored under the key that is not such a value (another type, a fraction, a number
// out of range) reads as the default; a value assigned is kept the same way, so what is read back is
// what was kept.

#include <QSettings>
#include <QString>
#include <QVariant>
#include <optional>

namespace dormio {

template <typename T> class Setting {
public:
    using Allowed = bool (*)(T);

    constexpr Setting(const char* key, T fallback, Allowed allowed = nullptr)
        : key_(key), fallback_(fallback), allowed_(allowed) {}

    const char* key() const { return key_; }
    T fallback() const { return fallback_; }

    T read(const QSettings& settings) const {
        const QVariant stored = settings.value(key_);
        return stored.isValid() ? kept(parsed(stored)) : fallback_;
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
        return value && (!allowed_ || allowed_(*value)) ? *value : fallback_;
    }

    // The settings file holds text; a value set in this run may still be of its own type.
    static std::optional<T> parsed(const QVariant& stored);

    const char* key_;
    T fallback_;
    Allowed allowed_;
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

#pragma once

// The application's one transient message: a sentence with a symbol that hides itself a fixed time after it
// was last shown. A newer message replaces the shown one at once and gets its own full time.

#include "Dormio/Core/Clock.h"

#include <QObject>
#include <QString>
#include <QUuid>
#include <array>
#include <chrono>
#include <optional>

namespace dormio {

// The symbols toasts show, named by what the toast tells; kept together so a test can check each has a glyph.
namespace ToastSymbols {
inline constexpr QLatin1String done{"checkmark"};
inline constexpr QLatin1String failed{"exclamationmark.circle"};
inline constexpr QLatin1String appQuit{"moon.zzz"};
inline constexpr QLatin1String deleted{"trash"};
inline constexpr QLatin1String opensAtLogin{"power"};
inline constexpr std::array<QLatin1String, 5> all{done, failed, appQuit, deleted, opensAtLogin};
} // namespace ToastSymbols

class Toast final : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<dormio::Toast::Message> current READ current NOTIFY currentChanged)

public:
    struct Message {
        QUuid id;
        QString text;
        QString symbol; // a symbol name, drawn before the text

        // Each message shown is a new one, even with the same words, so that its view is made afresh.
        bool operator==(const Message& other) const { return id == other.id; }
    };

    static constexpr std::chrono::milliseconds defaultHideDelay{2600};

    static Toast& shared();

    explicit Toast(std::chrono::milliseconds hideDelay = defaultHideDelay, QObject* parent = nullptr);

    // An empty text changes nothing: the shown message and its pending hide stay.
    void show(const QString& text, const QString& symbol);
    // Removes the shown message at once, and its pending hide with it.
    void clear();

    const std::optional<Message>& current() const { return current_; }
    std::chrono::milliseconds hideDelay() const { return hideDelay_; }

signals:
    void currentChanged();

private:
    std::chrono::milliseconds hideDelay_;
    std::optional<Message> current_;
    ClockTimer hide_;
};

} // namespace dormio

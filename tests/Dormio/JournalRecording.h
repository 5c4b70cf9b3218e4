#pragma once

// A journal written in the test as its writers would fill their entries (the kernel, systemd-sleep and
// systemd-logind as root, the service manager as process 1, the journal's own warnings through the
// kernel's log), in the export format, and turned into a real journal file by systemd's own converter.

#include <QFile>
#include <QProcess>
#include <QString>
#include <cstdint>
#include <string>

namespace dormio {

class JournalRecording {
public:
    enum class Writer { kernel, sleep, login, manager, journald, other };

    // One boot: its wall-clock start, the time it has spent asleep so far and how far its clock is off.
    struct Boot {
        std::string id; // 32 hex digits
        int64_t start;  // seconds since 1970
        int64_t asleep = 0;
        int64_t clockError = 0; // seconds the wall clock is behind while the clock is unset
    };

    // An entry at `wall` (seconds since 1970, true time) of that boot; its stamp carries the boot's clock
    // error, its time since boot leaves out the time asleep.
    JournalRecording& add(const Boot& boot, double wall, Writer writer, const std::string& message,
                          const std::string& unit = {}) {
        return addWithFields(boot, wall, fields(writer, unit), message);
    }

    // The same with the writer's fields as given ("NAME=value" lines).
    JournalRecording& addWithFields(const Boot& boot, double wall, const std::string& writerFields,
                                    const std::string& message) {
        const auto micro = [](double seconds) { return std::to_string(int64_t(seconds * 1e6)); };
        text_ += "__REALTIME_TIMESTAMP=" + micro(wall - double(boot.clockError)) +
                 "\n__MONOTONIC_TIMESTAMP=" + micro(wall - double(boot.start + boot.asleep)) +
                 "\n_BOOT_ID=" + boot.id + "\n" + writerFields + "MESSAGE=" + message + "\n\n";
        return *this;
    }

    // A lid closed at `sleep`, a suspend to `wake` and the lid opened right after.
    JournalRecording& lidNight(Boot& boot, double sleep, double wake) {
        add(boot, sleep - 1, Writer::login, "Lid closed.");
        suspend(boot, sleep, wake);
        return add(boot, wake + 1, Writer::login, "Lid opened.");
    }

    JournalRecording& suspend(Boot& boot, double sleep, double wake) {
        add(boot, sleep, Writer::sleep, "Entering sleep state 'suspend'...");
        add(boot, sleep, Writer::kernel, "PM: suspend entry (deep)");
        boot.asleep += int64_t(wake - sleep);
        add(boot, wake, Writer::kernel, "PM: suspend exit");
        return add(boot, wake, Writer::sleep, "System returned from sleep state.");
    }

    JournalRecording& start(const Boot& boot) {
        return add(boot, double(boot.start) + 1, Writer::kernel, "Linux version 6.1.0-18-amd64");
    }

    const std::string& text() const { return text_; }

    // Writes the journal file `name` into `folder`; false when the converter is missing or fails.
    bool writeInto(const QString& folder, const QString& name = QStringLiteral("system.journal")) const {
        QProcess convert;
        convert.start(converter(),
                      {QStringLiteral("--output=") + folder + QLatin1Char('/') + name, QStringLiteral("-")});
        convert.write(text_.data(), qint64(text_.size()));
        convert.closeWriteChannel();
        return convert.waitForFinished(60000) && convert.exitStatus() == QProcess::NormalExit &&
               convert.exitCode() == 0;
    }

    static QString converter() { return QStringLiteral("/lib/systemd/systemd-journal-remote"); }
    static bool canConvert() { return QFile::exists(converter()); }

private:
    static std::string fields(Writer writer, const std::string& unit) {
        const auto root = [](const char* program, const char* pid) {
            return std::string("_TRANSPORT=journal\n_PID=") + pid + "\n_UID=0\nSYSLOG_IDENTIFIER=" + program +
                   "\n_COMM=" + program + "\n_EXE=/usr/lib/systemd/" + program + "\n";
        };
        switch (writer) {
        case Writer::kernel:
            return "_TRANSPORT=kernel\nSYSLOG_IDENTIFIER=kernel\n";
        case Writer::sleep:
            return root("systemd-sleep", "4100");
        case Writer::login:
            return root("systemd-logind", "612");
        case Writer::manager:
            return "_TRANSPORT=journal\n_PID=1\n_UID=0\nSYSLOG_IDENTIFIER=systemd\n_COMM=systemd\n"
                   "MESSAGE_ID=7d4958e842da4a758f6c1cdc7b36dcc5\nUNIT=" +
                   unit + "\n";
        case Writer::journald:
            return "_TRANSPORT=kernel\nSYSLOG_IDENTIFIER=systemd-journald\n";
        case Writer::other:
            break;
        }
        return "_TRANSPORT=syslog\n_PID=3000\n_UID=1000\nSYSLOG_IDENTIFIER=gnome-shell\n_COMM=gnome-shell\n";
    }

    std::string text_;
};

} // namespace dormio

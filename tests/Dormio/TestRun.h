#pragma once

// What every app test run shares: a fixed clock zone and language, and a home, settings and data folder
// of its own, so that nothing a test leaves unset touches the real home.

#include "Dormio/Core/ApplicationName.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace dormio::testing {

class TestRun {
public:
    // Before the application object is made: the variables it reads at start.
    TestRun() {
        // ctest sets these; running the binary by hand gets the same fixed clock and language.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TZ", "UTC", 0);
        setenv("LC_ALL", "C.UTF-8", 0);
        tzset();
        for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                               {"XDG_CONFIG_HOME", "config"},
                                               {"XDG_DATA_HOME", "data"},
                                               {"XDG_CACHE_HOME", "cache"},
                                               {"XDG_RUNTIME_DIR", "runtime"}}) {
            const QString path = home_.filePath(QString::fromLatin1(folder));
            QDir().mkpath(path);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            setenv(variable, path.toUtf8().constData(), 1);
        }
    }

    bool isValid() const { return home_.isValid(); }

    // After the application object is made: the settings file is named as the application's own.
    void nameSettings() const {
        nameApplication();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_.filePath("config"));
    }

private:
    QTemporaryDir home_;
};

} // namespace dormio::testing

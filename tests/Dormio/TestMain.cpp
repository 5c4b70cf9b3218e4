// The app's tests draw, so they need a QApplication; the offscreen platform keeps them headless.
#include "Dormio/DormioApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets these; running the binary by hand gets the same fixed clock and language.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TZ", "UTC", 0);
    setenv("LC_ALL", "C.UTF-8", 0);
    tzset();

    // Whatever a test leaves unset, the home, settings and data of the run live in a folder of its own.
    const QTemporaryDir home;
    if (!home.isValid()) return 1;
    for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_CACHE_HOME", "cache"},
                                           {"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = home.filePath(QString::fromLatin1(folder));
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setenv(variable, path.toUtf8().constData(), 1);
    }

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    dormio::DormioApp::nameApplication(); // the settings file is named as the application's own
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    return RUN_ALL_TESTS();
}

// The kit's tests draw windows and talk HTTP on the loopback address, so they need a QApplication; the
// offscreen platform keeps them headless, and every folder they touch lives in one temporary home.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets these; running the binary by hand gets the same clock, language and platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TZ", "UTC", 0);
    setenv("LC_ALL", "C.UTF-8", 0);
    tzset();

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
    // No proxy of the machine's may stand between the tests and their own server.
    for (const char* variable :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(variable);

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("OstrelTests");
    QCoreApplication::setApplicationName("OstrelTests");
    QCoreApplication::setApplicationVersion("2.0.0");
    return RUN_ALL_TESTS();
}

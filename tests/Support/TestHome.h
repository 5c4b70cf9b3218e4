#pragma once

// Where the tests live instead of the user's home: a temporary home with XDG folders of its own for a test
// or a whole run, and the fixed platform, clock zone and language every test program starts with.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

namespace dormio {

// Points HOME and the XDG folders at a fresh temporary folder for the life of the object, and puts every
// variable it changed back as it was afterwards.
class TemporaryHome {
public:
    TemporaryHome() {
        for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                               {"XDG_CONFIG_HOME", "config"},
                                               {"XDG_DATA_HOME", "data"},
                                               {"XDG_CACHE_HOME", "cache"},
                                               {"XDG_RUNTIME_DIR", "runtime"}})
            set(variable, path(QString::fromLatin1(folder)));
        // Qt refuses a runtime folder that others may enter.
        QFile::setPermissions(path(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    ~TemporaryHome() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    bool isValid() const { return dir_.isValid(); }

    // A folder inside the home, made on first use.
    QString path(const QString& relative) const {
        const QString full = dir_.filePath(relative);
        QDir().mkpath(full);
        return full;
    }

    // A name inside the home; nothing is made.
    QString filePath(const QString& relative) const { return dir_.filePath(relative); }

    QString write(const QString& relative, const QByteArray& text) const {
        const QString file = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) out.write(text);
        return file;
    }

    // Sets or removes a variable for the life of the home.
    void set(const char* name, const QString& value) {
        save(name);
        qputenv(name, value.toUtf8());
    }
    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }

    // QSettings read and write the home's config folder from now on; Qt caches the XDG folder it saw first,
    // so the variable alone does not move them.
    void holdSettings() const {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path(QStringLiteral("config")));
    }

private:
    void save(const char* name) {
        saved_.emplace_back(name,
                            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }

    QTemporaryDir dir_;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

// What a whole test program pins before its application object is made: the offscreen platform, the UTC
// clock zone and the C.UTF-8 language (ctest sets them; a run by hand gets the same), no proxy between the
// tests and their own loopback servers, and a temporary home.
class TestRun {
public:
    TestRun() {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TZ", "UTC", 0);
        setenv("LC_ALL", "C.UTF-8", 0);
        tzset();
        for (const char* variable :
             {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
            home_.unset(variable);
    }

    bool isValid() const { return home_.isValid(); }

    // After the application object is made.
    void holdSettings() const { home_.holdSettings(); }

private:
    TemporaryHome home_;
};

} // namespace dormio

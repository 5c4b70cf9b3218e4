#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <utility>
#include <vector>

namespace dormio {

// Points HOME and the XDG data and config folders at a fresh temporary folder for the life of a test,
// so that nothing reads or writes the real home, and puts the old values back afterwards.
class TemporaryHome {
public:
    TemporaryHome() {
        set("HOME", path(QStringLiteral("home")));
        set("XDG_DATA_HOME", path(QStringLiteral("data")));
        set("XDG_DATA_DIRS", path(QStringLiteral("system-data")));
        set("XDG_CONFIG_HOME", path(QStringLiteral("config")));
    }

    ~TemporaryHome() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    // A folder inside the temporary home, made on first use.
    QString path(const QString& relative) const {
        const QString full = dir.filePath(relative);
        QDir().mkpath(full);
        return full;
    }

    // Sets a variable for this test only.
    void set(const char* name, const QString& value) {
        saved.emplace_back(name,
                           qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, value.toUtf8());
    }

    QString write(const QString& relative, const QByteArray& text) const {
        const QString file = dir.filePath(relative);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) out.write(text);
        return file;
    }

    QString applicationEntry(const QString& fileName, const QByteArray& text) const {
        return write(QStringLiteral("data/applications/") + fileName, text);
    }

    // An application entry of the user's that launches exec.
    QString applicationEntry(const QString& fileName, const QString& name, const QString& exec,
                             const QByteArray& extraKeys = {}) const {
        return applicationEntry(fileName, "[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                                              "\nExec=" + exec.toUtf8() + "\n" + extraKeys);
    }

    // A copy of a system program under a name of its own (relative to the home), by its canonical path.
    QString install(const QString& program, const QString& relative) const {
        const QString copy = dir.filePath(relative);
        QDir().mkpath(QFileInfo(copy).path());
        QFile::copy(program, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFileInfo(copy).canonicalFilePath();
    }

    // A process in a fake /proc under root: its stat line, its comm and, when given, its exe link.
    QString fakeProcess(const QString& root, int pid, const QByteArray& stat, const QByteArray& comm,
                        const std::optional<QString>& exe = std::nullopt) const {
        const QString folder = path(root + QLatin1Char('/') + QString::number(pid));
        write(root + QLatin1Char('/') + QString::number(pid) + QStringLiteral("/stat"), stat);
        write(root + QLatin1Char('/') + QString::number(pid) + QStringLiteral("/comm"), comm + '\n');
        if (exe) QFile::link(*exe, folder + QStringLiteral("/exe"));
        return dir.filePath(root);
    }

private:
    QTemporaryDir dir;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> saved;
};

// A child process that is killed and reaped when the test ends.
class Child {
public:
    Child(const QString& program, const QStringList& arguments) {
        process.start(program, arguments);
        started = process.waitForStarted();
    }

    ~Child() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished();
    }

    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    int32_t pid() const { return int32_t(process.processId()); }

    QProcess process;
    bool started = false;
};

} // namespace dormio

#pragma once

// What the Linux layer's tests fill and start: a home of desktop entries, programs and a fake /proc, and
// child processes that end with the test.

#include "TestHome.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <optional>

namespace dormio {

// A temporary home whose applications are only those a test writes into it: the system's application
// folders (XDG_DATA_DIRS) are hidden too.
class SystemHome : public TemporaryHome {
public:
    SystemHome() { set("XDG_DATA_DIRS", path(QStringLiteral("system-data"))); }

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
        const QString copy = filePath(relative);
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
        return filePath(root);
    }
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

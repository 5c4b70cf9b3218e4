#pragma once

// One running copy of Dormio per user: a later launch asks the running copy to show its main window and
// then ends.

#include <QObject>
#include <QString>

class QLocalServer;

namespace dormio {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `socketPath` is the local socket the copies meet at; the default is per user.
    explicit SingleInstance(QString socketPath = defaultSocketPath(), QObject* parent = nullptr);

    // In $XDG_RUNTIME_DIR, else in the temporary folder with the user id in its name.
    static QString defaultSocketPath();

    // True when this process is now the running copy; false when another copy answered and was asked to
    // show itself.
    bool claim();

signals:
    // A later launch asked this copy to show itself.
    void activationRequested();

private:
    bool askRunningCopy();
    bool listen();

    QString path_;
    QLocalServer* server_ = nullptr;
};

} // namespace dormio

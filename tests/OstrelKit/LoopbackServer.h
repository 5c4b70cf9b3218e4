#pragma once

// A small HTTP server on 127.0.0.1 for the updater's tests: each path answers with a fixed response that
// can announce another length than it sends, stop sending and hold the connection open (a stalled
// server), redirect, come in paced slices so that download progress shows, or trickle in a byte at a time.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <optional>

class QTcpSocket;

namespace dormio::test {

struct Response {
    int status = 200;
    QByteArray body;
    std::optional<qint64> announcedLength; // the Content-Length sent; the body's size when none
    std::optional<qint64> stallAfter;      // send only this many bytes of the body, then nothing more
    QByteArray location;                   // a redirect's target
    bool paced = false;                    // send the body in 64 KiB slices, one per event-loop turn
    int trickleMs = 0;                     // send the body one byte every this many milliseconds
};

class LoopbackServer : public QObject {
    Q_OBJECT
public:
    LoopbackServer();
    ~LoopbackServer() override;

    QString url(const QString& path) const;
    void serve(const QString& path, const Response& response);
    // How many requests a path has had, and the header lines of the last one (lower-case names).
    int requests(const QString& path) const { return requests_.value(path); }
    QHash<QByteArray, QByteArray> lastHeaders(const QString& path) const { return headers_.value(path); }

private:
    void readRequest(QTcpSocket* socket);
    void sendSlices(QTcpSocket* socket, QByteArray rest, qsizetype sliceBytes, int intervalMs);

    QTcpServer server_;
    QHash<QString, Response> responses_;
    QHash<QString, int> requests_;
    QHash<QString, QHash<QByteArray, QByteArray>> headers_;
    QList<QTcpSocket*> sockets_;
};

} // namespace dormio::test

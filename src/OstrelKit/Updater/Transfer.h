#pragma once

// One GET of the feed or an archive, bounded in what it accepts: the address and every redirect must be
// allowed (https, or http on the loopback address), the body stops at a limit, a transfer that stalls or
// outlasts its deadline ends by itself, and nothing is read from or written to a cache. The body is kept
// in memory, or written to a file as it arrives.

#include <QByteArray>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>

class QNetworkReply;

namespace dormio {

class Transfer : public QObject {
    Q_OBJECT
public:
    enum class Outcome { ok, badStatus, tooLarge, timedOut, failed };
    struct Result {
        Outcome outcome = Outcome::failed;
        QByteArray body; // empty when it went to the sink
        qint64 size = 0; // bytes received
        QString error;   // the failure's description, for `failed`
    };
    struct Options {
        qint64 maxBytes = 0;                   // more than this many bytes ends the transfer as too large
        std::chrono::milliseconds stall{0};    // no byte for this long ends it as timed out
        std::chrono::milliseconds deadline{0}; // so does not being done this long after the start
        QByteArray userAgent;
        QIODevice* sink = nullptr; // where the body goes instead of memory; not owned
    };

    // Starts the transfer. `received` hears the byte count after each arrival; `done` hears the result once,
    // after which the transfer deletes itself. Deleting `parent` ends it silently.
    static Transfer* get(QNetworkAccessManager& network, const QUrl& url, const Options& options,
                         QObject* parent, std::function<void(qint64)> received,
                         std::function<void(const Result&)> done);

private:
    Transfer(QObject* parent, const Options& options, std::function<void(qint64)> received,
             std::function<void(const Result&)> done);
    void start(QNetworkAccessManager& network, const QUrl& url);
    void readBody();
    void finishWith(Outcome outcome, const QString& error = {});
    bool statusIsOk() const;

    Options options_;
    std::function<void(qint64)> received_;
    std::function<void(const Result&)> done_;
    QPointer<QNetworkReply> reply_;
    QTimer stall_;
    QTimer deadline_;
    QByteArray body_;
    qint64 size_ = 0;
    bool finished_ = false;
};

} // namespace dormio

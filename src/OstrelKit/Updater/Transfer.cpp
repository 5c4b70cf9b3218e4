#include "OstrelKit/Updater/Transfer.h"

#include "OstrelKit/Updater/UpdateError.h"
#include "OstrelKit/Updater/UpdateUrl.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace dormio {

namespace {

constexpr int maxRedirects = 5;
// Qt buffers at most this much that we have not read yet, so a flood costs no more than the limit.
constexpr qint64 readBufferBytes = 1 << 20;

} // namespace

Transfer::Transfer(QObject* parent, const Options& options, std::function<void(qint64)> received,
                   std::function<void(const Result&)> done)
    : QObject(parent), options_(options), received_(std::move(received)), done_(std::move(done)) {}

Transfer* Transfer::get(QNetworkAccessManager& network, const QUrl& url, const Options& options,
                        QObject* parent, std::function<void(qint64)> received,
                        std::function<void(const Result&)> done) {
    auto* transfer = new Transfer(parent, options, std::move(received), std::move(done));
    transfer->start(network, url);
    return transfer;
}

void Transfer::start(QNetworkAccessManager& network, const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, options_.userAgent);

    reply_ = network.get(request);
    reply_->setParent(this);
    reply_->setReadBufferSize(readBufferBytes);
    // Our own timer rather than the reply's: it dies with this transfer, so no late time-out reaches a
    // reply that is gone.
    stall_.setSingleShot(true);
    stall_.setInterval(options_.stall);
    connect(&stall_, &QTimer::timeout, this, [this] { finishWith(Outcome::timedOut); });
    connect(reply_, &QNetworkReply::downloadProgress, &stall_, qOverload<>(&QTimer::start));
    connect(reply_, &QNetworkReply::metaDataChanged, &stall_, qOverload<>(&QTimer::start));
    stall_.start();
    // A server that sends a byte now and then keeps the stall timer quiet for ever; this one it cannot.
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { finishWith(Outcome::timedOut); });
    deadline_.start(options_.deadline);
    connect(reply_, &QNetworkReply::redirected, this, [this](const QUrl& next) {
        if (UpdateUrl::isAllowed(next))
            emit reply_->redirectAllowed();
        else
            finishWith(Outcome::failed,
                       QStringLiteral("The server sent the request to an address that isn’t secure."));
    });
    connect(reply_, &QNetworkReply::readyRead, this, &Transfer::readBody);
    connect(reply_, &QNetworkReply::finished, this, [this] {
        if (finished_) return;
        const QNetworkReply::NetworkError error = reply_->error();
        if (error == QNetworkReply::TimeoutError) return finishWith(Outcome::timedOut);
        readBody();
        if (finished_) return;
        if (error != QNetworkReply::NoError || !statusIsOk())
            return finishWith(Outcome::failed, reply_->errorString());
        finishWith(Outcome::ok);
    });
}

bool Transfer::statusIsOk() const {
    return reply_ && reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
}

void Transfer::readBody() {
    if (finished_ || !reply_) return;
    // Until the headers are in, and while a redirect is followed, there is no body of ours to read.
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || (status.toInt() >= 300 && status.toInt() < 400)) return;
    if (status.toInt() != 200) return finishWith(Outcome::badStatus);
    const qint64 announced = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > options_.maxBytes) return finishWith(Outcome::tooLarge);
    // Read no more than one byte past the limit: that byte is enough to refuse.
    const QByteArray chunk = reply_->read(options_.maxBytes + 1 - size_);
    size_ += chunk.size();
    if (size_ > options_.maxBytes) return finishWith(Outcome::tooLarge);
    if (!options_.sink)
        body_.append(chunk);
    else if (options_.sink->write(chunk) != chunk.size())
        return finishWith(Outcome::failed, options_.sink->errorString());
    if (!chunk.isEmpty() && received_) received_(size_);
}

void Transfer::finishWith(Outcome outcome, const QString& error) {
    if (finished_) return;
    finished_ = true;
    stall_.stop();
    deadline_.stop();
    if (reply_) {
        reply_->disconnect(this);
        if (!reply_->isFinished()) reply_->abort();
    }
    Result result{outcome, outcome == Outcome::ok ? std::move(body_) : QByteArray(), size_, error};
    if (outcome == Outcome::timedOut) result.error = UpdateMessage::timedOut;
    deleteLater();
    done_(result);
}

} // namespace dormio

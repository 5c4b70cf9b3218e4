// The download half of the updater: fetch the archive within its announced length, test its signature,
// unpack it off the main thread and accept the result only if it is this app, at that version, intact.

#include "OstrelKit/Updater/Manifest.h"
#include "OstrelKit/Updater/UpdateUrl.h"
#include "OstrelKit/Updater/Updater.h"

#include <QDir>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

namespace dormio {

namespace {

constexpr qint64 lengthSlack = 1024;
constexpr qint64 progressStep = 262144;
// The announced length is the feed's word, so memory is reserved only up to this much in advance.
constexpr qint64 maxReserve = 16 << 20;

using StageResult = std::variant<QString, UpdateError>;

} // namespace

void Updater::download(const UpdateFeed& feed) {
    if (phase_.kind == Phase::Kind::downloading || phase_.kind == Phase::Kind::ready) return;
    const auto url = feed.download ? UpdateUrl::parse(feed.download->url) : std::nullopt;
    if (!url || !publicKey_) return setPhase(Phase::available(feed));
    if (!UpdateUrl::isAllowed(*url)) return fail(UpdateMessage::insecureAddress);
    const qint64 length = feed.download->length;
    if (length < 0 || length > maxArchiveBytes) return fail(UpdateMessage::badLength);

    setPhase(Phase::downloading(feed, 0));
    const double divisor = double(std::max<qint64>(length, 1));
    auto lastReported = std::make_shared<qint64>(0);
    const Transfer::Options options{length + lengthSlack, std::min(length, maxReserve),
                                    environment_.archiveStall, userAgent()};
    Transfer::get(
        network_, *url, options, this,
        [this, feed, divisor, lastReported](qint64 count) {
            if (count - *lastReported <= progressStep) return;
            *lastReported = count;
            reportProgress(feed, std::min(double(count) / divisor, 1.0));
        },
        [this, feed](const Transfer::Result& result) { finishDownload(feed, result); });
}

void Updater::reportProgress(const UpdateFeed& feed, double fraction) {
    // A report that arrives after the download moved on is dropped.
    if (phase_.kind == Phase::Kind::downloading) setPhase(Phase::downloading(feed, fraction));
}

void Updater::finishDownload(const UpdateFeed& feed, const Transfer::Result& result) {
    switch (result.outcome) {
    case Transfer::Outcome::badStatus:
        return fail(UpdateMessage::fileNotDownloaded);
    case Transfer::Outcome::tooLarge:
        return fail(UpdateMessage::largerThanExpected);
    case Transfer::Outcome::timedOut:
    case Transfer::Outcome::failed: {
        QString description = result.error;
        if (!description.endsWith(u'.')) description += u'.';
        return fail(UpdateMessage::downloadFailedPrefix + description);
    }
    case Transfer::Outcome::ok:
        break;
    }
    reportProgress(feed, 1.0);
    if (result.body.size() != feed.download->length) return fail(UpdateMessage::incomplete);
    if (!UpdateLogic::verify(result.body, feed.download->edSignature, *publicKey_))
        return fail(UpdateMessage::badSignature);
    stageAndValidate(feed, result.body);
}

void Updater::stageAndValidate(const UpdateFeed& feed, const QByteArray& archive) {
    const QString root = stagingRoot();
    const std::optional<QString> identifier = bundle_.identifier();
    const Staging::Limits limits = environment_.staging;
    auto* watcher = new QFutureWatcher<StageResult>(this);
    connect(watcher, &QFutureWatcher<StageResult>::finished, this, [this, watcher, feed] {
        watcher->deleteLater();
        const StageResult result = watcher->result();
        if (const auto* error = std::get_if<UpdateError>(&result)) return fail(error->message);
        stagedApp_ = std::get<QString>(result);
        setPhase(Phase::ready(feed));
        if (shouldAnnounce(feed)) emit windowRequested();
    });
    watcher->setFuture(
        QtConcurrent::run([archive, version = feed.version, root, identifier, limits]() -> StageResult {
            StageResult staged = Staging::stage(archive, version, root, limits);
            if (const auto* app = std::get_if<QString>(&staged))
                if (auto refused = validate(*app, version, identifier)) staged = *refused;
            // A refused update is never left lying in the caches.
            if (std::holds_alternative<UpdateError>(staged))
                QDir(QDir(root).filePath(version)).removeRecursively();
            return staged;
        }));
}

std::optional<UpdateError> Updater::validate(const QString& staged, const QString& expectedVersion,
                                             const std::optional<QString>& identifier) {
    const auto bundle = AppBundle::open(staged);
    if (!bundle || bundle->identifier() != identifier || bundle->shortVersion() != expectedVersion)
        return UpdateError{UpdateMessage::otherApp};
    if (!Manifest::matches(staged)) return UpdateError{UpdateMessage::damaged};
    return std::nullopt;
}

} // namespace dormio

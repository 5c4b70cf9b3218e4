// The download half of the updater: stream the archive within its announced length into the staging
// folder, then, off the main thread, test its signature, unpack it and accept the result only if it is
// this app, at that version, intact. Whatever is refused leaves nothing in the staging folder.

#include "OstrelKit/Updater/Manifest.h"
#include "OstrelKit/Updater/UpdateUrl.h"
#include "OstrelKit/Updater/Updater.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <memory>

namespace dormio {

namespace {

constexpr qint64 lengthSlack = 1024;
constexpr qint64 progressStep = 262144;

using StageResult = std::variant<QString, UpdateError>;

// Tests the downloaded archive's signature, unpacks it and validates the bundle it holds. The archive is
// mapped rather than read, so that memory holds no copy of it, and the bytes tested are the bytes unpacked.
StageResult verifyAndUnpack(const StagingFolder& folder, const UpdateFeed& feed, const QString& publicKey,
                            const std::optional<QString>& identifier, const Staging::Limits& limits) {
    QFile file;
    const qint64 size = folder.openArchive(file) ? file.size() : -1;
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (size < 0 || (size > 0 && !mapped))
        return UpdateError{QString(UpdateMessage::downloadFailedPrefix) +
                           "The downloaded file couldn’t be read."};
    const QByteArray archive = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
    if (!UpdateLogic::verify(archive, feed.download->edSignature, publicKey))
        return UpdateError{UpdateMessage::badSignature};
    StageResult staged = Staging::unpack(archive, folder, limits);
    folder.removeArchive();
    if (const auto* app = std::get_if<QString>(&staged))
        if (auto refused = Updater::validate(*app, feed.version, identifier)) staged = *refused;
    return staged;
}

} // namespace

std::chrono::milliseconds Updater::archiveDeadline(qint64 length, std::chrono::milliseconds floor) {
    const auto atSlowestRate =
        std::chrono::milliseconds(std::max<qint64>(length, 0) / slowestArchiveRate * 1000);
    return std::max(floor, atSlowestRate);
}

void Updater::download(const UpdateFeed& feed) {
    if (phase_.kind == Phase::Kind::downloading || phase_.kind == Phase::Kind::ready) return;
    const auto url = feed.download ? UpdateUrl::parse(feed.download->url) : std::nullopt;
    if (!url || !publicKey_) return setPhase(Phase::available(feed));
    if (!UpdateUrl::isAllowed(*url)) return fail(UpdateMessage::insecureAddress);
    const qint64 length = feed.download->length;
    if (length < 0 || length > maxArchiveBytes) return fail(UpdateMessage::badLength);

    setPhase(Phase::downloading(feed, 0));
    auto made = StagingFolder::make(stagingRoot(), feed.version);
    if (const auto* error = std::get_if<UpdateError>(&made)) return fail(error->message);
    const auto folder = std::get<std::shared_ptr<StagingFolder>>(std::move(made));
    const auto archive = std::make_shared<QFile>();
    if (!folder->createArchive(*archive)) return refuse(*folder, UpdateMessage::stagingNotMade);

    const double divisor = double(std::max<qint64>(length, 1));
    auto lastReported = std::make_shared<qint64>(0);
    const Transfer::Options options{length + lengthSlack, environment_.archiveStall,
                                    archiveDeadline(length, environment_.archiveDeadlineFloor), userAgent(),
                                    archive.get()};
    Transfer::get(
        network_, *url, options, this,
        [this, feed, divisor, lastReported](qint64 count) {
            if (count - *lastReported <= progressStep) return;
            *lastReported = count;
            reportProgress(feed, std::min(double(count) / divisor, 1.0));
        },
        [this, feed, folder, archive](const Transfer::Result& result) {
            archive->close();
            finishDownload(feed, folder, result);
        });
}

void Updater::reportProgress(const UpdateFeed& feed, double fraction) {
    // A report that arrives after the download moved on is dropped.
    if (phase_.kind == Phase::Kind::downloading) setPhase(Phase::downloading(feed, fraction));
}

void Updater::refuse(const StagingFolder& folder, const QString& message) {
    folder.discard();
    fail(message);
}

void Updater::finishDownload(const UpdateFeed& feed, const std::shared_ptr<StagingFolder>& folder,
                             const Transfer::Result& result) {
    switch (result.outcome) {
    case Transfer::Outcome::badStatus:
        return refuse(*folder, UpdateMessage::fileNotDownloaded);
    case Transfer::Outcome::tooLarge:
        return refuse(*folder, UpdateMessage::largerThanExpected);
    case Transfer::Outcome::timedOut:
    case Transfer::Outcome::failed: {
        QString description = result.error;
        if (!description.endsWith(u'.')) description += u'.';
        return refuse(*folder, UpdateMessage::downloadFailedPrefix + description);
    }
    case Transfer::Outcome::ok:
        break;
    }
    reportProgress(feed, 1.0);
    if (result.size != feed.download->length) return refuse(*folder, UpdateMessage::incomplete);
    stageAndValidate(feed, folder);
}

void Updater::stageAndValidate(const UpdateFeed& feed, const std::shared_ptr<StagingFolder>& folder) {
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
        QtConcurrent::run([folder, feed, key = *publicKey_, identifier, limits]() -> StageResult {
            StageResult staged = verifyAndUnpack(*folder, feed, key, identifier, limits);
            // A refused update is never left lying in the caches.
            if (std::holds_alternative<UpdateError>(staged)) folder->discard();
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

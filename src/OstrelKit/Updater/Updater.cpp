#include "OstrelKit/Updater/Updater.h"

#include "OstrelKit/KitClock.h"
#include "OstrelKit/Setting.h"
#include "OstrelKit/TerminateAsQuit.h"
#include "OstrelKit/Updater/InstallScript.h"
#include "OstrelKit/Updater/UpdateUrl.h"

#include <QCoreApplication>
#include <QSettings>

namespace dormio {

namespace {

const Setting<bool> autoUpdate{QStringLiteral("OstrelAutoUpdate"), true};

// Whether the window has opened by itself for the version.
Setting<bool> announced(const QString& version) {
    return {QStringLiteral("OstrelAnnounced-") + version, false};
}

std::optional<QUrl> feedAddress(const AppBundle& bundle) {
    const auto text = bundle.string("OstrelUpdateFeedURL");
    const auto url = text ? UpdateUrl::parse(*text) : std::nullopt;
    if (!url || !UpdateUrl::isAllowed(*url)) return std::nullopt;
    return url;
}

} // namespace

Updater::Updater(const AppBundle& bundle, UpdaterEnvironment environment, QObject* parent)
    : QObject(parent), bundle_(bundle), environment_(std::move(environment)),
      clock_(environment_.clock ? *environment_.clock : KitClock::shared()), network_(this),
      automaticallyDownloads_(autoUpdate.read(QSettings())), feedURL_(feedAddress(bundle)),
      publicKey_(bundle.string("OstrelUpdatePublicKey")),
      currentVersion_(bundle.shortVersion().value_or("1.0")), appName_(bundle.name().value_or("App")) {
    if (!environment_.launchInstall) environment_.launchInstall = &InstallScript::launch;
    if (!environment_.quit) environment_.quit = &QCoreApplication::quit;
    if (environment_.executable.isEmpty()) environment_.executable = QCoreApplication::applicationFilePath();
}

void Updater::start() {
    if (started_ || !feedURL_) return;
    started_ = true;
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &Updater::installOnQuit);
    TerminateAsQuit::install();
    clock_.after(firstCheckDelay, this, [this] { check(false); });
    clock_.every(checkInterval, this, [this] { check(false); });
}

void Updater::setAutomaticallyDownloads(bool on) {
    QSettings settings;
    autoUpdate.write(settings, on);
    if (automaticallyDownloads_ == on) return;
    automaticallyDownloads_ = on;
    emit automaticallyDownloadsChanged();
}

QString Updater::stagingRoot() const {
    return Staging::root(bundle_.identifier());
}

void Updater::setPhase(const Phase& phase) {
    if (phase_ == phase) return;
    phase_ = phase;
    emit phaseChanged();
}

void Updater::fail(const QString& message) {
    setPhase(Phase::failed(message));
}

QByteArray Updater::userAgent() const {
    QString agent = appName_ + u'/' + currentVersion_;
    // A header value must stay on one line, whatever the bundle's name holds.
    for (QChar& c : agent)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u' ';
    return agent.toUtf8();
}

void Updater::check(bool userInitiated) {
    if (!feedURL_) {
        if (userInitiated) emit windowRequested();
        return;
    }
    if (phase_.kind == Phase::Kind::downloading) return;
    if (phase_.kind == Phase::Kind::ready) {
        if (userInitiated) emit windowRequested();
        return;
    }
    setPhase(Phase::checking());
    if (userInitiated) emit windowRequested();
    const Transfer::Options options{maxFeedBytes, environment_.feedStall, environment_.feedDeadline,
                                    userAgent()};
    Transfer::get(
        network_, *feedURL_, options, this, {},
        [this, userInitiated](const Transfer::Result& result) { finishCheck(result, userInitiated); });
}

void Updater::finishCheck(const Transfer::Result& result, bool userInitiated) {
    const auto feed =
        result.outcome == Transfer::Outcome::ok ? UpdateFeed::decode(result.body) : std::nullopt;
    if (feed) {
        lastChecked_ = clock_.now();
        emit lastCheckedChanged();
    }
    // Another check may have started a download meanwhile; it goes on undisturbed.
    if (phase_.kind == Phase::Kind::downloading || phase_.kind == Phase::Kind::ready) return;
    if (!feed) return setPhase(userInitiated ? Phase::failed(UpdateMessage::checkFailed) : Phase::idle());

    const bool offered =
        UpdateLogic::isNewer(feed->version, currentVersion_) &&
        UpdateLogic::systemSupports(feed->minimumSystemVersion, environment_.systemVersion());
    if (!offered) return setPhase(Phase::upToDate());
    if (automaticallyDownloads_ && feed->download && publicKey_ && canInstallInPlace())
        return download(*feed);
    setPhase(Phase::available(*feed));
    if (!userInitiated && shouldAnnounce(*feed)) emit windowRequested();
}

bool Updater::shouldAnnounce(const UpdateFeed& feed) {
    QSettings settings;
    const Setting<bool> shown = announced(feed.version);
    if (shown.read(settings)) return false;
    shown.write(settings, true);
    return true;
}

} // namespace dormio

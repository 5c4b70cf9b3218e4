#pragma once

// The self-updater: reads its configuration from the running bundle and the settings, checks the feed
// 8 s after start and every 6 hours, and keeps the whole update state in one phase that the update window
// and the settings rows show. It lives on the main thread; only the unpacking runs elsewhere.

#include "OstrelKit/Updater/AppBundle.h"
#include "OstrelKit/Updater/InstallPlace.h"
#include "OstrelKit/Updater/Staging.h"
#include "OstrelKit/Updater/Transfer.h"
#include "OstrelKit/Updater/UpdateFeed.h"
#include "OstrelKit/Updater/UpdateLogic.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace dormio {

class KitClock;

// What the updater uses besides its bundle; a test hands in its own clock, system and time-outs.
struct UpdaterEnvironment {
    KitClock* clock = nullptr; // the kit's shared clock when none
    std::function<SystemVersion()> systemVersion = &SystemVersion::running;
    std::chrono::milliseconds feedStall{20000};
    std::chrono::milliseconds archiveStall{60000};
    // Whole transfers end by these deadlines, however steadily the bytes trickle in; the archive's grows
    // with its length (`archiveDeadline`).
    std::chrono::milliseconds feedDeadline{60000};
    std::chrono::milliseconds archiveDeadlineFloor{600000};
    Staging::Limits staging;
    InstallRules installRules;
    // Starts the install script with its arguments; false when it could not be started.
    std::function<bool(const QStringList&)> launchInstall;
    // Asks the application to quit.
    std::function<void()> quit;
    // The running program, started again after an install from the same place inside the new bundle;
    // the Qt application's own when empty.
    QString executable;
};

class Updater : public QObject {
    Q_OBJECT
public:
    struct Phase {
        enum class Kind { idle, checking, upToDate, available, downloading, ready, failed };
        Kind kind = Kind::idle;
        std::optional<UpdateFeed> feed; // available, downloading, ready
        double progress = 0;            // downloading, 0 to 1
        QString message;                // failed

        static Phase idle() { return {}; }
        static Phase checking() { return {Kind::checking}; }
        static Phase upToDate() { return {Kind::upToDate}; }
        static Phase available(const UpdateFeed& feed) { return {Kind::available, feed}; }
        static Phase downloading(const UpdateFeed& feed, double progress) {
            return {Kind::downloading, feed, progress};
        }
        static Phase ready(const UpdateFeed& feed) { return {Kind::ready, feed}; }
        static Phase failed(const QString& message) { return {Kind::failed, std::nullopt, 0, message}; }
        bool operator==(const Phase&) const = default;
    };

    static constexpr double firstCheckDelay = 8;
    static constexpr double checkInterval = 21600;
    static constexpr qint64 maxFeedBytes = 1 << 20;
    static constexpr qint64 maxArchiveBytes = qint64(1) << 30;
    // The slowest mean rate at which an archive still arrives in time.
    static constexpr qint64 slowestArchiveRate = 512 << 10;

    // How long the download of an archive of `length` bytes may take in all: `floor`, or longer when the
    // archive needs more time at the slowest rate (about 34 minutes for the largest).
    static std::chrono::milliseconds archiveDeadline(qint64 length, std::chrono::milliseconds floor);

    explicit Updater(const AppBundle& bundle, UpdaterEnvironment environment = {}, QObject* parent = nullptr);

    // Installs the ready update at every quit (a SIGTERM included), starts the first check and the
    // repeating one; nothing at all for a copy that cannot update.
    void start();
    // Checks the feed. A user-initiated check brings up the update window; so does one of a copy that
    // cannot update, whose window then says so.
    void check(bool userInitiated);
    // Downloads, verifies, unpacks and validates the feed's archive, ending in `ready` or `failed`. Never
    // starts while a download runs or an update is ready.
    void download(const UpdateFeed& feed);

    const Phase& phase() const { return phase_; }
    bool automaticallyDownloads() const { return automaticallyDownloads_; }
    void setAutomaticallyDownloads(bool on);
    std::optional<QDateTime> lastChecked() const { return lastChecked_; }
    // The clock the updater's times are read from and its checks run on.
    KitClock& clock() const { return clock_; }
    std::optional<QUrl> feedURL() const { return feedURL_; }
    std::optional<QString> publicKey() const { return publicKey_; }
    QString currentVersion() const { return currentVersion_; }
    QString appName() const { return appName_; }
    std::optional<QString> stagedApp() const { return stagedApp_; }
    bool relaunchAfterInstall() const { return relaunchAfterInstall_; }
    // Whether the running bundle can be swapped for an update where it is.
    bool canInstallInPlace() const { return InstallPlace::canReplace(bundle_, environment_.installRules); }
    // At quit: starts the install script when an update is ready, still intact and can go in place, or,
    // after "Restart Now" with a staged copy no longer intact, to start this copy again.
    void installOnQuit();
    // "Restart Now": quits, installs the ready update and starts the new copy.
    void installAndRelaunch();
    // Whether this copy updates at all: its bundle names a feed at an address the updater may use.
    bool isUpdatable() const { return feedURL_.has_value(); }
    // Where updates are unpacked: the user's caches / the bundle's identifier / "OstrelUpdate".
    QString stagingRoot() const;

    // Whether the unpacked bundle at `staged` is this application at `expectedVersion` and intact: the
    // same identifier (two absent ones agree), that short version exactly, and matching its manifest.
    static std::optional<UpdateError> validate(const QString& staged, const QString& expectedVersion,
                                               const std::optional<QString>& identifier);

signals:
    void phaseChanged();
    void automaticallyDownloadsChanged();
    void lastCheckedChanged();
    // The update window should open, or come forward.
    void windowRequested();

private:
    void setPhase(const Phase& phase);
    void fail(const QString& message);
    void finishCheck(const Transfer::Result& result, bool userInitiated);
    void reportProgress(const UpdateFeed& feed, double fraction);
    void finishDownload(const UpdateFeed& feed, const std::shared_ptr<StagingFolder>& folder,
                        const Transfer::Result& result);
    void stageAndValidate(const UpdateFeed& feed, const std::shared_ptr<StagingFolder>& folder);
    // Fails with `message`, leaving nothing in the staging folder.
    void refuse(const StagingFolder& folder, const QString& message);
    bool shouldAnnounce(const UpdateFeed& feed);
    QByteArray userAgent() const;

    AppBundle bundle_;
    UpdaterEnvironment environment_;
    KitClock& clock_;
    QNetworkAccessManager network_;

    Phase phase_;
    bool automaticallyDownloads_ = true;
    std::optional<QDateTime> lastChecked_;
    std::optional<QUrl> feedURL_;
    std::optional<QString> publicKey_;
    QString currentVersion_;
    QString appName_;
    std::optional<QString> stagedApp_;
    bool relaunchAfterInstall_ = false;
    bool started_ = false;
};

} // namespace dormio

#pragma once

// An updater over a bundle installed in a temporary folder, whose feed and archives a loopback server
// serves, with the kit's clock in step mode and the running system pinned.

#include "LoopbackServer.h"
#include "OstrelKit/KitClock.h"
#include "OstrelKit/Updater/Updater.h"
#include "ReleaseFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <memory>

namespace dormio::test {

using Kind = Updater::Phase::Kind;

class UpdaterTest : public testing::Test {
protected:
    LoopbackServer server;
    ReleaseFixture release;
    KitClock clock{KitClock::Mode::step};
    std::unique_ptr<Updater> updater;
    std::unique_ptr<QSignalSpy> windows;
    QList<Updater::Phase> phases;
    // What the updater started at quit, and how often it asked the application to quit.
    QList<QStringList> launches;
    int quits = 0;

    void SetUp() override {
        QSettings().clear();
        QDir(stagingRoot()).removeRecursively();
    }

    void TearDown() override {
        // An unpacking still running must not outlive the test's folders.
        updater.reset();
        QThreadPool::globalInstance()->waitForDone();
    }

    static QString stagingRoot() { return Staging::root(QString(appIdentifier)); }
    bool nothingStaged() const { return !QFileInfo::exists(stagingRoot()); }

    // The installed copy: version 2.0.0 with this test's feed and key.
    QJsonObject installedInfo() const {
        QJsonObject info = ReleaseFixture::info("2.0.0");
        info.insert("OstrelUpdateFeedURL", server.url("/feed.json"));
        info.insert("OstrelUpdatePublicKey", release.publicKey());
        return info;
    }

    UpdaterEnvironment environment() {
        UpdaterEnvironment environment;
        environment.clock = &clock;
        environment.systemVersion = [] { return SystemVersion{2, 36, 0}; };
        environment.feedStall = std::chrono::milliseconds(5000);
        environment.archiveStall = std::chrono::milliseconds(5000);
        environment.launchInstall = [this](const QStringList& arguments) {
            launches.append(arguments);
            return true;
        };
        environment.quit = [this] { ++quits; };
        return environment;
    }

    Updater& make(const QJsonObject& info, UpdaterEnvironment environment) {
        const QString folder = release.bundle("Installed/Dormio.app", info);
        updater = std::make_unique<Updater>(*AppBundle::open(folder), std::move(environment));
        windows = std::make_unique<QSignalSpy>(updater.get(), &Updater::windowRequested);
        phases.clear();
        QObject::connect(updater.get(), &Updater::phaseChanged, updater.get(),
                         [this] { phases.append(updater->phase()); });
        return *updater;
    }
    Updater& make(const QJsonObject& info) { return make(info, environment()); }
    Updater& make() { return make(installedInfo()); }

    void serveFeed(const UpdateFeed& feed) { server.serve("/feed.json", {200, feed.encode()}); }

    // A release of `version` made by the release tool and served with its feed. `change` may alter the
    // bundle after its manifest was written, before it is packed.
    UpdateFeed publish(const QString& version, const QJsonObject& info,
                       const QMap<QString, QByteArray>& files = {}) {
        const QString bundle = release.bundle("Releases/" + version + "/Dormio.app", info, files);
        return serveArchive(release.release(bundle), version);
    }
    UpdateFeed publish(const QString& version) { return publish(version, ReleaseFixture::info(version)); }

    // Serves `archive` with the feed entry the release tool writes for it.
    UpdateFeed serveArchive(const QString& archive, const QString& version, bool paced = false) {
        const QString path = "/Dormio-" + version + ".zip";
        server.serve(path, {200, ReleaseFixture::read(archive), std::nullopt, std::nullopt, {}, paced});
        const UpdateFeed feed = release.feed(archive, version, server.url(path));
        serveFeed(feed);
        return feed;
    }

    bool waitFor(Kind kind) {
        return QTest::qWaitFor([&] { return updater->phase().kind == kind; }, 10000);
    }
    bool waitUntilSettled() {
        return QTest::qWaitFor(
            [&] {
                const Kind kind = updater->phase().kind;
                return kind != Kind::checking && kind != Kind::downloading;
            },
            10000);
    }
};

} // namespace dormio::test

#include "UpdaterFixture.h"

#include <QSettings>

namespace dormio {
namespace {

using namespace test;

TEST_F(UpdaterTest, ReadsItsConfigurationFromTheBundle) {
    Updater& u = make();
    EXPECT_TRUE(u.isUpdatable());
    EXPECT_EQ(u.feedURL(), QUrl(server.url("/feed.json")));
    EXPECT_EQ(u.publicKey(), release.publicKey());
    EXPECT_EQ(u.currentVersion(), "2.0.0");
    EXPECT_EQ(u.appName(), "Dormio");
    EXPECT_EQ(u.phase(), Updater::Phase::idle());
    EXPECT_EQ(u.lastChecked(), std::nullopt);
    EXPECT_EQ(u.stagedApp(), std::nullopt);
    EXPECT_FALSE(u.relaunchAfterInstall());
    EXPECT_TRUE(u.automaticallyDownloads());
    EXPECT_TRUE(u.canInstallInPlace());

    QJsonObject bare = installedInfo();
    bare.remove("CFBundleShortVersionString");
    bare.remove("CFBundleName");
    Updater& defaults = make(bare);
    EXPECT_EQ(defaults.currentVersion(), "1.0");
    EXPECT_EQ(defaults.appName(), "App");
}

// A copy that cannot update never asks anything of the network; asked by the user, its window says so.
TEST_F(UpdaterTest, ACopyWithoutAUsableFeedStaysInert) {
    const std::pair<const char*, QJsonValue> feeds[] = {
        {"no feed key", QJsonValue::Undefined},
        {"a number", 42},
        {"another scheme", "ftp://127.0.0.1/feed.json"},
        {"no address at all", "feed.json"},
        {"plain http to another machine", "http://dormio.example/feed.json"},
    };
    for (const auto& [what, feed] : feeds) {
        QJsonObject info = installedInfo();
        info.remove("OstrelUpdateFeedURL");
        if (!feed.isUndefined()) info.insert("OstrelUpdateFeedURL", feed);
        Updater& u = make(info);
        EXPECT_FALSE(u.isUpdatable()) << what;
        u.start();
        clock.advance(3 * Updater::checkInterval);
        u.check(false);
        EXPECT_EQ(windows->count(), 0) << what;
        u.check(true);
        EXPECT_EQ(windows->count(), 1) << what;
        EXPECT_EQ(u.phase(), Updater::Phase::idle()) << what;
    }
    EXPECT_EQ(server.requests("/feed.json"), 0);
}

TEST_F(UpdaterTest, ChecksEightSecondsAfterStartThenEverySixHours) {
    serveFeed({"2.0.0", "https://dormio.example/"});
    Updater& u = make();
    u.start();
    u.start(); // a second start sets no second pair of timers
    clock.advance(7.9);
    EXPECT_EQ(u.phase().kind, Kind::idle);
    clock.advance(0.1);
    EXPECT_EQ(u.phase().kind, Kind::checking);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(server.requests("/feed.json"), 1);
    EXPECT_EQ(u.lastChecked(), clock.now());

    clock.advance(Updater::checkInterval - 8 - 1);
    EXPECT_EQ(server.requests("/feed.json"), 1);
    clock.advance(1);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(server.requests("/feed.json"), 2);
    clock.advance(Updater::checkInterval);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(server.requests("/feed.json"), 3);
    EXPECT_EQ(windows->count(), 0); // background checks that find nothing show nothing
}

TEST_F(UpdaterTest, AsksTheServerEveryTimeUnderItsOwnName) {
    serveFeed({"2.0.0", "https://dormio.example/"});
    Updater& u = make();
    for (int i = 0; i < 2; ++i) {
        u.check(true);
        ASSERT_TRUE(waitFor(Kind::upToDate));
    }
    EXPECT_EQ(server.requests("/feed.json"), 2);
    const auto headers = server.lastHeaders("/feed.json");
    EXPECT_EQ(headers.value("user-agent"), "Dormio/2.0.0");
    EXPECT_FALSE(headers.contains("if-none-match"));
    EXPECT_FALSE(headers.contains("if-modified-since"));
}

TEST_F(UpdaterTest, AFailedCheckIsShownOnlyWhenTheUserAsked) {
    QByteArray tooLong =
        R"({"version": "2.0.0", "url": "u", "notes": ")" + QByteArray(Updater::maxFeedBytes, 'n') + "\"}";
    const std::pair<const char*, Response> responses[] = {
        {"404", {404, "missing"}},
        {"not JSON", {200, "<html>"}},
        {"a version that is no plain text", {200, R"({"version": "../2.1", "url": "u"})"}},
        {"a body over the cap", {200, tooLong}},
        {"a feed that stalls", {200, R"({"version": "2.1.0", "url": "u"})", std::nullopt, 10}},
        {"a redirect to plain http elsewhere",
         {302, "", std::nullopt, std::nullopt, "http://dormio.example/feed.json"}},
    };
    UpdaterEnvironment quick = environment();
    quick.feedStall = std::chrono::milliseconds(300);
    for (const auto& [what, response] : responses) {
        server.serve("/feed.json", response);
        Updater& u = make(installedInfo(), quick);
        u.check(true);
        ASSERT_TRUE(waitFor(Kind::failed)) << what;
        EXPECT_EQ(u.phase(), Updater::Phase::failed(UpdateMessage::checkFailed)) << what;
        EXPECT_EQ(windows->count(), 1) << what;

        u.check(false);
        ASSERT_TRUE(waitFor(Kind::idle)) << what;
        EXPECT_EQ(windows->count(), 1) << what;
        EXPECT_EQ(u.lastChecked(), std::nullopt) << what;
        EXPECT_TRUE(nothingStaged()) << what;
    }
}

TEST_F(UpdaterTest, ABackgroundFailureAfterAFetchKeepsTheLastCheck) {
    serveFeed({"2.0.0", "u"});
    Updater& u = make();
    u.check(false);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    const QDateTime fetched = *u.lastChecked();
    clock.advance(60);
    server.serve("/feed.json", {404});
    u.check(false);
    ASSERT_TRUE(waitFor(Kind::idle));
    EXPECT_EQ(u.lastChecked(), fetched);
}

TEST_F(UpdaterTest, NothingNewerThatThisSystemRunsIsUpToDate) {
    const UpdateFeed feeds[] = {
        {"2.0.0", "u"},                       // the same version
        {"1.9.9", "u"},                       // a downgrade
        {"2.0", "u"},                         // shorter, so older
        {"2.1.0", "u", std::nullopt, "2.37"}, // needs a newer C library
    };
    for (const UpdateFeed& feed : feeds) {
        serveFeed(feed);
        Updater& u = make();
        u.check(true);
        ASSERT_TRUE(waitFor(Kind::upToDate)) << feed.version.toStdString();
        EXPECT_TRUE(u.lastChecked().has_value());
        EXPECT_EQ(phases, (QList{Updater::Phase::checking(), Updater::Phase::upToDate()}));
        EXPECT_EQ(server.requests("/Dormio-" + feed.version + ".zip"), 0);
    }
    EXPECT_TRUE(nothingStaged());
}

// Without everything an automatic download needs, a newer version is offered; a background check opens
// the window for it once per version, across launches.
TEST_F(UpdaterTest, ANewerVersionIsOfferedAndAnnouncedOnce) {
    const UpdateFeed published = publish("2.1.0");
    UpdateFeed noDownload = published;
    noDownload.download.reset();
    QJsonObject noKey = installedInfo();
    noKey.remove("OstrelUpdatePublicKey");

    const std::tuple<const char*, UpdateFeed, QJsonObject, bool> cases[] = {
        {"automatic downloads off", published, installedInfo(), false},
        {"no download record", noDownload, installedInfo(), true},
        {"no public key", published, noKey, true},
    };
    for (const auto& [what, feed, info, automatic] : cases) {
        QSettings().remove("OstrelAnnounced-2.1.0");
        QSettings().setValue("OstrelAutoUpdate", automatic);
        serveFeed(feed);
        make(info).check(false);
        ASSERT_TRUE(waitFor(Kind::available)) << what;
        EXPECT_EQ(updater->phase(), Updater::Phase::available(feed)) << what;
        EXPECT_EQ(windows->count(), 1) << what;

        make(info).check(false); // a later launch
        ASSERT_TRUE(waitFor(Kind::available)) << what;
        EXPECT_EQ(windows->count(), 0) << what;
    }
    EXPECT_EQ(server.requests("/Dormio-2.1.0.zip"), 0);
    EXPECT_TRUE(nothingStaged());
}

TEST_F(UpdaterTest, AUserCheckOpensTheWindowAtItsStartOnly) {
    QSettings().setValue("OstrelAutoUpdate", false);
    publish("2.1.0");
    Updater& u = make();
    u.check(true);
    EXPECT_EQ(windows->count(), 1);
    ASSERT_TRUE(waitFor(Kind::available));
    EXPECT_EQ(windows->count(), 1);
    EXPECT_FALSE(QSettings().contains("OstrelAnnounced-2.1.0"));
}

// The settings file keeps a bool as the text "true" or "false"; both must read back as bools, also with the
// spaces another program may have left around them. Any other text is no choice and reads as on.
TEST_F(UpdaterTest, TheAutomaticUpdateChoiceSurvivesALaunch) {
    EXPECT_TRUE(make().automaticallyDownloads());
    QSignalSpy changed(updater.get(), &Updater::automaticallyDownloadsChanged);
    updater->setAutomaticallyDownloads(false);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(make().automaticallyDownloads());
    updater->setAutomaticallyDownloads(true);
    EXPECT_TRUE(make().automaticallyDownloads());

    const std::pair<QVariant, bool> stored[] = {
        {false, false},
        {QString("false"), false},
        {QString(" false "), false},
        {QString("\tfalse"), false},
        {QString("true"), true},
        {QString(" true "), true},
        {QString("False"), true},
        {QString("0"), true},
        {QString("no"), true},
        {0, true},
    };
    for (const auto& [value, expected] : stored) {
        QSettings().setValue("OstrelAutoUpdate", value);
        EXPECT_EQ(make().automaticallyDownloads(), expected) << value.toString().toStdString();
    }
}

TEST_F(UpdaterTest, ARedirectOnThisMachineIsFollowed) {
    const UpdateFeed feed{"2.0.0", "u"};
    server.serve("/moved.json", {200, feed.encode()});
    server.serve("/feed.json", {302, "", std::nullopt, std::nullopt, server.url("/moved.json").toLatin1()});
    make().check(true);
    ASSERT_TRUE(waitFor(Kind::upToDate));
    EXPECT_EQ(server.requests("/moved.json"), 1);
}

} // namespace
} // namespace dormio

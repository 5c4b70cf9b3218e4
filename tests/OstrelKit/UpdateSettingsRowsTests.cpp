#include "Gallery.h"
#include "OstrelKit/Windows/UpdateSettingsRows.h"
#include "UpdaterFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace dormio {
namespace {

using namespace test;

class UpdateSettingsRowsTest : public UpdaterTest {
protected:
    static constexpr int width = 528; // the settings window's 560 less its margins

    QString status() const { return UpdateSettingsRows::updateStatus(*updater); }
    void picture(const QString& name) {
        EXPECT_TRUE(writeGallery("update-settings", name, width,
                                 [this] { return new UpdateSettingsRows(*updater); }));
    }
};

TEST_F(UpdateSettingsRowsTest, ShowsTheVersionTheSwitchAndWhatItDoes) {
    make();
    UpdateSettingsRows rows(*updater);
    EXPECT_EQ(rows.version()->text(), "2.0.0");
    EXPECT_EQ(rows.automatic()->text(), "Download and install updates automatically");
    EXPECT_TRUE(rows.automatic()->isChecked());
    EXPECT_EQ(rows.checkNow()->text(), "Check Now");
    const QStringList texts = [&] {
        QStringList all;
        for (auto* label : rows.findChildren<QLabel*>())
            all << label->text();
        return all;
    }();
    EXPECT_TRUE(texts.contains("Updates"));
    EXPECT_TRUE(texts.contains("Version"));
    EXPECT_TRUE(texts.contains("New versions download in the background and install when you quit Dormio."));
    EXPECT_EQ(rows.status()->text(), ""); // nothing checked yet
    picture("idle");
}

TEST_F(UpdateSettingsRowsTest, TheSwitchIsKeptAcrossLaunches) {
    make();
    {
        UpdateSettingsRows rows(*updater);
        rows.automatic()->click();
        EXPECT_FALSE(updater->automaticallyDownloads());
        EXPECT_EQ(QSettings().value("OstrelAutoUpdate").toBool(), false);
    }
    make();
    UpdateSettingsRows rows(*updater);
    EXPECT_FALSE(rows.automatic()->isChecked());
    rows.automatic()->click();
    EXPECT_TRUE(updater->automaticallyDownloads());
    // A change made elsewhere (another window) shows here too.
    updater->setAutomaticallyDownloads(false);
    EXPECT_FALSE(rows.automatic()->isChecked());
    make();
    EXPECT_FALSE(updater->automaticallyDownloads());
}

TEST_F(UpdateSettingsRowsTest, TheStatusLineFollowsEveryPhase) {
    QSettings().setValue("OstrelAutoUpdate", false);
    make();
    UpdateSettingsRows* rows = new UpdateSettingsRows(*updater);
    const auto shows = [&](const QString& line) {
        EXPECT_EQ(status(), line);
        EXPECT_EQ(rows->status()->text(), line);
    };
    shows("");

    serveFeed({"2.0.0", "u"});
    updater->check(false);
    shows("Checking…");
    ASSERT_TRUE(waitFor(Kind::upToDate));
    shows("You’re up to date.");
    picture("up-to-date");

    // A background check that fails goes back to idle and keeps the time of the last good one.
    server.serve("/feed.json", {404});
    clock.advance(5 * 60);
    updater->check(false);
    ASSERT_TRUE(waitFor(Kind::idle));
    shows("Last checked 5 minutes ago.");
    clock.advance(86400);
    shows("Last checked yesterday."); // the line keeps up with the clock while it is shown
    picture("last-checked");

    updater->check(true);
    ASSERT_TRUE(waitFor(Kind::failed));
    shows(UpdateMessage::checkFailed);
    picture("failed");

    const UpdateFeed feed = publish("2.1.0");
    rows->checkNow()->click(); // replaces the failure, once the click has been handled
    EXPECT_EQ(updater->phase().kind, Kind::failed);
    ASSERT_TRUE(waitFor(Kind::available));
    shows("Version 2.1.0 is available.");
    EXPECT_EQ(windows->count(), 2); // both checks the user asked for brought up the window
    picture("available");
    delete rows;

    server.serve("/Dormio-2.1.0.zip", {200, "PK", 5000, 2});
    make();
    rows = new UpdateSettingsRows(*updater);
    updater->download(feed);
    shows("Downloading 2.1.0… 0%");
    picture("downloading");
    delete rows;

    publish("2.1.0");
    make();
    rows = new UpdateSettingsRows(*updater);
    updater->download(feed);
    ASSERT_TRUE(waitFor(Kind::ready));
    shows("Version 2.1.0 installs when you quit.");
    picture("ready");
    delete rows;
}

} // namespace
} // namespace dormio

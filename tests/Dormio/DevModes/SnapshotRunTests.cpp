// The snapshot mode run as the application itself, on the offscreen platform, into a temporary folder:
// the files it writes, their sizes, that none is blank and that every dark picture is darker than its
// light twin.

#include "Dormio/DevModes/Snapshotter.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace dormio {
namespace {

struct AppRun {
    int exitCode = -1;
    QString output;
};

// Runs Dormio in the snapshot mode with its own home, runtime and support folders; `extra` adds variables.
AppRun runSnapshots(const QTemporaryDir& work, const std::map<QString, QString>& extra) {
    QProcessEnvironment env;
    for (const char* name : {"PATH", "LC_ALL", "TZ"})
        env.insert(name, qEnvironmentVariable(name));
    env.insert("HOME", work.filePath("home"));
    env.insert("XDG_CONFIG_HOME", work.filePath("home/config"));
    env.insert("XDG_RUNTIME_DIR", work.filePath("runtime"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : extra)
        env.insert(name, value);
    QDir(work.path()).mkpath("home/config");
    QDir(work.path()).mkpath("runtime");
    QFile::setPermissions(work.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess app;
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::SeparateChannels);
    app.start(DORMIO_APP, {});
    AppRun run;
    if (!app.waitForFinished(240'000)) {
        app.kill();
        app.waitForFinished();
        return run;
    }
    run.exitCode = app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1;
    run.output = QString::fromUtf8(app.readAllStandardOutput());
    return run;
}

QStringList pictures(const QString& folder) {
    return QDir(folder).entryList({"*.png"}, QDir::Files, QDir::Name);
}

double meanLightness(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            sum += QColor(image.pixel(x, y)).lightnessF();
    return sum / ((image.height() + 3) / 4 * ((image.width() + 3) / 4));
}

bool blank(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixel(x, y) != first) return false;
    return true;
}

// The names of the staged set in the order they are taken; the window shots and then the views.
const QStringList stagedNames{"01-loading",
                              "02-no-nights",
                              "03-history-empty",
                              "04-night",
                              "05-night-kept",
                              "05-night-bottom",
                              "06-night-previous",
                              "07-history",
                              "08-history-30",
                              "09-now",
                              "10-now-clear",
                              "11-battery",
                              "12-battery-desktop",
                              "13-settings",
                              "14-toast",
                              "15-night-min-size",
                              "16-now-min-size",
                              "17-history-min-size",
                              "18-battery-min-size",
                              "20-welcome-1",
                              "20-welcome-2",
                              "20-welcome-3",
                              "20-welcome-4",
                              "21-menubar",
                              "21-menubar-empty",
                              "22-menubar-clear",
                              "23-raw-popover",
                              "24-settings-window"};

TEST(SnapshotRun, WritesEveryStagedNameInBothAppearancesIntoAFolderItMakes) {
    QTemporaryDir work;
    const QString out = work.filePath("out/nested/snapshots");
    const AppRun run = runSnapshots(work, {{"DORMIO_SNAPSHOT_DIR", out}, {"DORMIO_SELFTEST", "1"}});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");

    QStringList expected;
    for (const char* suffix : {"light", "dark"})
        for (const QString& name : stagedNames)
            expected << name + "-" + QString(suffix) + ".png";
    expected.sort();
    ASSERT_EQ(pictures(out), expected);

    const QDir folder(out);
    for (const QString& name : stagedNames) {
        SCOPED_TRACE(name.toStdString());
        const QImage light(folder.filePath(name + "-light.png"));
        const QImage dark(folder.filePath(name + "-dark.png"));
        ASSERT_FALSE(light.isNull());
        EXPECT_EQ(light.size(), dark.size());
        // Every picture is drawn at twice its logical size: even on both sides.
        EXPECT_EQ(light.width() % 2, 0);
        EXPECT_EQ(light.height() % 2, 0);
        EXPECT_FALSE(blank(light));
        EXPECT_FALSE(blank(dark));
        EXPECT_LT(meanLightness(dark), meanLightness(light));
    }
    // The large and the smallest window shots, the tour at its fixed size.
    EXPECT_EQ(QImage(folder.filePath("04-night-light.png")).size(), QSize(2360, 1720));
    EXPECT_EQ(QImage(folder.filePath("15-night-min-size-light.png")).size(), QSize(2040, 1360));
    EXPECT_EQ(QImage(folder.filePath("20-welcome-1-light.png")).size(), QSize(1160, 1000));
}

TEST(SnapshotRun, TheNameFilterWritesOnlyTheMatchingPictures) {
    const struct {
        const char* only;
        int files;
    } cases[] = {{"min-size", 8}, {"menubar", 6}, {",", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.only);
        QTemporaryDir work;
        const QString out = work.filePath("out");
        const AppRun run =
            runSnapshots(work, {{"DORMIO_SNAPSHOT_DIR", out}, {"DORMIO_SNAPSHOT_ONLY", c.only}});
        ASSERT_EQ(run.exitCode, 0);
        const QStringList written = pictures(out);
        EXPECT_EQ(written.size(), c.files) << written.join(' ').toStdString();
        for (const QString& file : written)
            EXPECT_TRUE(file.contains(QString(c.only))) << file.toStdString();
    }
}

TEST(SnapshotRun, TheRealSetPhotographsTheUsersOwnHistoryAndSaysWhatItSaw) {
    // The page shots are taken whatever the filter; only the menu bar views answer to it.
    const struct {
        const char* only;
        int files;
    } cases[] = {{"", 10}, {"matches-nothing", 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.only);
        QTemporaryDir work;
        const QString out = work.filePath("out");
        QDir(work.path()).mkpath("support");
        for (const char* empty : {"power.log", "assertions.txt"}) {
            QFile file(work.filePath(empty));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const AppRun run =
            runSnapshots(work, {{"DORMIO_SNAPSHOT_DIR", out},
                                {"DORMIO_SNAPSHOT_REAL", ""},
                                {"DORMIO_SNAPSHOT_ONLY", c.only},
                                {"DORMIO_SUPPORT_DIR", work.filePath("support")},
                                {"DORMIO_LOG_FIXTURE", work.filePath("power.log")},
                                {"DORMIO_ASSERTIONS_FIXTURE", work.filePath("assertions.txt")}});
        ASSERT_EQ(run.exitCode, 0);
        EXPECT_TRUE(QRegularExpression("^real: 0 nights, \\d+ assertions, battery (none|present)\n$")
                        .match(run.output)
                        .hasMatch())
            << run.output.toStdString();
        const QStringList written = pictures(out);
        EXPECT_EQ(written.size(), c.files) << written.join(' ').toStdString();
        for (const char* name : {"R1-night-light.png", "R4-battery-dark.png"})
            EXPECT_TRUE(written.contains(name));
        EXPECT_EQ(QImage(QDir(out).filePath("R2-history-light.png")).size(), QSize(2360, 1720));
    }
}

TEST(SnapshotRun, TheRealSetWithoutASupportFolderSaysSoAndWritesNothing) {
    QTemporaryDir work;
    const QString out = work.filePath("out");
    const AppRun run = runSnapshots(work, {{"DORMIO_SNAPSHOT_DIR", out}, {"DORMIO_SNAPSHOT_REAL", ""}});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "needs DORMIO_SUPPORT_DIR\n");
    EXPECT_TRUE(QDir(out).exists());
    EXPECT_TRUE(pictures(out).isEmpty());
}

TEST(SnapshotFilter, TakesNamesContainingOneOfItsPieces) {
    const struct {
        const char* only;
        const char* name;
        bool wanted;
    } cases[] = {
        {nullptr, "04-night", true},
        {"", "04-night", true},
        {"night", "04-night", true},
        {"Night", "04-night", false},
        {"now,night", "04-night", true},
        {",,", "04-night", false},
        {" night", "04-night", false},
        {"min-size", "21-menubar-light.png", false},
        {"light.png", "21-menubar-light.png", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.only ? c.only : "(unset)") + " " + c.name);
        if (c.only)
            qputenv("DORMIO_SNAPSHOT_ONLY", c.only);
        else
            qunsetenv("DORMIO_SNAPSHOT_ONLY");
        EXPECT_EQ(Snapshotter::wanted(c.name), c.wanted);
    }
    qunsetenv("DORMIO_SNAPSHOT_ONLY");
}

} // namespace
} // namespace dormio

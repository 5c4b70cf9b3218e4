// The install script run for real on bundles in a temporary folder. Failures of the file tools are made
// by stubs placed first on PATH, each failing one step of the swap.

#include "OstrelKit/Updater/InstallScript.h"
#include "ReleaseFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using test::ReleaseFixture;

// Larger than any process id the kernel hands out, so the script never waits for it.
constexpr qint64 endedPid = 2147483647;

class InstallScriptTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString at(const QString& relative) const { return dir.filePath(relative); }
    QString installed() const { return at("My Apps/Dormio.app"); }
    QString staged() const { return at("cache/OstrelUpdate/2.1.0/Dormio.app"); }
    QString marker() const { return at("started"); }

    void SetUp() override {
        makeBundle(installed(), "2.0.0");
        makeBundle(staged(), "2.1.0");
        QDir().mkpath(at("stubs"));
    }

    // A bundle whose program, when started, writes its version into the marker file, whole: the tests read
    // the file as soon as it appears. The move is the system's own, never a stub's.
    void makeBundle(const QString& path, const QString& version) {
        ReleaseFixture::write(path + "/Info.json",
                              QJsonDocument(QJsonObject{{"CFBundleShortVersionString", version}}).toJson());
        const QByteArray target = "'" + marker().toUtf8() + "'", part = "'" + marker().toUtf8() + ".part'";
        ReleaseFixture::write(path + "/bin/dormio", "#!/bin/sh\necho " + version.toUtf8() + " > " + part +
                                                        " && /bin/mv " + part + " " + target + "\n");
        QFile::setPermissions(path + "/bin/dormio", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void stub(const QString& tool, const QByteArray& body) {
        const QString path = at("stubs/" + tool);
        ReleaseFixture::write(path, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    static QString version(const QString& bundle) {
        return QJsonDocument::fromJson(ReleaseFixture::read(bundle + "/Info.json"))
            .object()
            .value("CFBundleShortVersionString")
            .toString();
    }

    // Starts the script, the stubs first on PATH.
    void start(QProcess& script, bool relaunch = false, qint64 pid = endedPid,
               const QString& destination = {}, const QString& source = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", at("stubs") + ":" + environment.value("PATH"));
        script.setProcessEnvironment(environment);
        script.start("/bin/sh", InstallScript::arguments({pid, source.isNull() ? staged() : source,
                                                          destination.isEmpty() ? installed() : destination,
                                                          relaunch, "bin/dormio"}));
    }

    // Waits for a started script; its exit status.
    static int finish(QProcess& script) {
        if (!script.waitForFinished(10000)) {
            script.kill();
            script.waitForFinished();
            ADD_FAILURE() << "the script did not end";
        }
        return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1;
    }

    // Runs the script to its end; its exit status.
    int run(bool relaunch = false, qint64 pid = endedPid, const QString& destination = {},
            const QString& source = {}) {
        QProcess script;
        start(script, relaunch, pid, destination, source);
        return finish(script);
    }

    // What the install place holds, by name.
    QStringList beside() const {
        return QDir(at("My Apps")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }

    bool nothingBeside() const {
        return !QFileInfo::exists(installed() + InstallScript::newSuffix) &&
               !QFileInfo::exists(installed() + InstallScript::oldSuffix);
    }
};

TEST_F(InstallScriptTest, SwapsTheBundlesAndClearsTheStagingFolder) {
    ReleaseFixture::write(installed() + InstallScript::oldSuffix + "/left-over",
                          "from an interrupted install");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(version(installed()), "2.1.0");
    EXPECT_TRUE(QFileInfo(installed() + "/bin/dormio").isExecutable());
    EXPECT_TRUE(nothingBeside());
    EXPECT_FALSE(QFileInfo::exists(at("cache/OstrelUpdate")));
    EXPECT_FALSE(QFileInfo::exists(marker())); // a plain quit leaves the application closed
}

// Whatever step fails, the user keeps the application they had, under its own name, and the staged copy
// stays for the next staging to clear.
TEST_F(InstallScriptTest, AFailedStepLeavesTheInstalledAppAsItWas) {
    const std::pair<const char*, QByteArray> failures[] = {
        {"the copy fails half way", "mkdir -p \"$3/bin\"; echo half > \"$3/bin/dormio\"; exit 1"},
        {"the copy fails at once", "exit 1"},
    };
    const std::pair<const char*, QByteArray> moves[] = {
        {"moving the installed app aside fails",
         "case \"$3\" in *.ostrel-old) exit 1 ;; esac; exec /bin/mv \"$@\""},
        {"moving the new copy in fails", "case \"$2\" in *.ostrel-new) exit 1 ;; esac; exec /bin/mv \"$@\""},
    };
    const auto check = [&](const char* what) {
        EXPECT_EQ(version(installed()), "2.0.0") << what;
        EXPECT_TRUE(QFileInfo(installed() + "/bin/dormio").isExecutable()) << what;
        EXPECT_TRUE(nothingBeside()) << what;
        EXPECT_EQ(version(staged()), "2.1.0") << what;
    };
    for (const auto& [what, body] : failures) {
        stub("cp", body);
        EXPECT_EQ(run(), 0) << what;
        check(what);
    }
    QFile::remove(at("stubs/cp"));
    for (const auto& [what, body] : moves) {
        stub("mv", body);
        EXPECT_EQ(run(), 0) << what;
        check(what);
    }
}

// When the swap has begun and its next step fails too, the install place still ends with a bundle: the
// old one by a rename or else by a copy, or the new one; only a folder that appeared there with something
// in it stops that, and then a note beside it says where the old one is.
TEST_F(InstallScriptTest, EachDoubleFailureLeavesAWorkingBundleInPlace) {
    const QByteArray intoPlace = "case \"$3\" in */Dormio.app) exit 1 ;; esac; ";
    struct Case {
        const char* what;
        QByteArray mv;
        QByteArray cp;
        const char* version; // at the install place; none when the old copy waits beside it
    };
    const Case cases[] = {
        {"neither the new copy nor the old one can be moved in", intoPlace + "exec /bin/mv \"$@\"",
         "exec /bin/cp \"$@\"", "2.0.0"},
        {"an empty folder appears in the place between the renames",
         "case \"$2\" in *.ostrel-new) mkdir \"$3\" ;; esac; exec /bin/mv \"$@\"", "exec /bin/cp \"$@\"",
         "2.1.0"},
        {"a folder with something in it appears in the place between the renames",
         "case \"$2\" in *.ostrel-new) mkdir \"$3\"; echo x > \"$3/x\" ;; esac; exec /bin/mv \"$@\"",
         "exec /bin/cp \"$@\"", nullptr},
        {"neither bundle can be moved in nor copied back", intoPlace + "exec /bin/mv \"$@\"",
         intoPlace + "exec /bin/cp \"$@\"", nullptr},
    };
    for (const Case& c : cases) {
        QDir(at("My Apps")).removeRecursively();
        makeBundle(installed(), "2.0.0");
        makeBundle(staged(), "2.1.0");
        stub("mv", c.mv);
        stub("cp", c.cp);
        EXPECT_EQ(run(), 0) << c.what;
        const QString old = installed() + InstallScript::oldSuffix;
        if (c.version) {
            EXPECT_EQ(version(installed()), c.version) << c.what;
            EXPECT_TRUE(QFileInfo(installed() + "/bin/dormio").isExecutable()) << c.what;
            EXPECT_FALSE(QFileInfo::exists(installed() + "/Dormio.app.ostrel-new"))
                << c.what; // nothing nested
            EXPECT_FALSE(QFileInfo::exists(installed() + InstallScript::newSuffix)) << c.what;
            EXPECT_FALSE(QFileInfo::exists(installed() + InstallScript::noteSuffix)) << c.what;
        } else {
            EXPECT_EQ(version(old), "2.0.0") << c.what;
            EXPECT_TRUE(QFileInfo(old + "/bin/dormio").isExecutable()) << c.what;
            EXPECT_EQ(ReleaseFixture::read(installed() + InstallScript::noteSuffix),
                      "The update couldn’t put the app back in its place; the copy you had is " +
                          QFile::encodeName(old) + "\n")
                << c.what;
        }
    }
}

// Two copies of one app quitting together start two scripts for one install place; they take turns, and
// the second finds the work done.
TEST_F(InstallScriptTest, TwoScriptsAtOnceLeaveExactlyOneWorkingBundle) {
    for (int trial = 0; trial < 20; ++trial) {
        QDir(at("My Apps")).removeRecursively();
        makeBundle(installed(), "2.0.0");
        makeBundle(staged(), "2.1.0");
        QProcess first;
        QProcess second;
        start(first);
        start(second);
        EXPECT_EQ(finish(first), 0) << trial;
        EXPECT_EQ(finish(second), 0) << trial;
        EXPECT_EQ(version(installed()), "2.1.0") << trial;
        EXPECT_TRUE(QFileInfo(installed() + "/bin/dormio").isExecutable()) << trial;
        EXPECT_EQ(
            QDir(installed()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
            (QStringList{"Info.json", "bin"}))
            << trial;
        EXPECT_EQ(beside(), QStringList{"Dormio.app"}) << trial;
    }
}

TEST_F(InstallScriptTest, AScriptThatFindsTheWorkDoneLeavesQuietly) {
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(version(installed()), "2.1.0");
    const QString before = QFileInfo(installed() + "/bin/dormio").lastModified().toString(Qt::ISODateWithMs);
    // The staged copy gone, or the one installed already.
    EXPECT_EQ(run(), 0);
    makeBundle(staged(), "2.1.0");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(version(installed()), "2.1.0");
    EXPECT_EQ(QFileInfo(installed() + "/bin/dormio").lastModified().toString(Qt::ISODateWithMs), before);
    EXPECT_EQ(beside(), QStringList{"Dormio.app"});

    // Nor is anything touched while the lock cannot be had.
    makeBundle(staged(), "2.2.0");
    stub("flock", "exit 1");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(version(installed()), "2.1.0");
    EXPECT_EQ(version(staged()), "2.2.0");
}

TEST_F(InstallScriptTest, LeftoversThatCannotBeClearedStopTheInstall) {
    // A rename onto an existing folder would move into it, so nothing is tried past one that stays.
    ReleaseFixture::write(installed() + InstallScript::oldSuffix + "/left-over", "stuck");
    stub("rm", "exit 1");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(version(installed()), "2.0.0");
    EXPECT_EQ(version(staged()), "2.1.0");
    EXPECT_FALSE(QFileInfo::exists(installed() + InstallScript::newSuffix));
}

TEST_F(InstallScriptTest, OnlyABundleFolderIsEverReplaced) {
    ReleaseFixture::write(at("Documents/notes.txt"), "keep me");
    EXPECT_EQ(run(false, endedPid, at("Documents")), 0);
    EXPECT_EQ(ReleaseFixture::read(at("Documents/notes.txt")), "keep me");

    QFile::link(installed(), at("Linked.app"));
    EXPECT_EQ(run(false, endedPid, at("Linked.app")), 0);
    EXPECT_TRUE(QFileInfo(at("Linked.app")).isSymLink());
    EXPECT_EQ(version(installed()), "2.0.0");
    EXPECT_EQ(version(staged()), "2.1.0");
}

TEST_F(InstallScriptTest, StartsTheNewCopyWhenAskedOrTheOldOneWhenTheSwapFailed) {
    EXPECT_EQ(run(true), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker()); }, 5000));
    EXPECT_EQ(ReleaseFixture::read(marker()).trimmed(), "2.1.0");

    QFile::remove(marker());
    makeBundle(staged(), "2.2.0");
    stub("cp", "exit 1");
    EXPECT_EQ(run(true), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker()); }, 5000));
    EXPECT_EQ(ReleaseFixture::read(marker()).trimmed(), "2.1.0");
}

// "Restart Now" when the staged copy can no longer go in: nothing is installed, and the app the user had
// starts again.
TEST_F(InstallScriptTest, WithNothingToInstallItOnlyStartsTheAppAgain) {
    EXPECT_EQ(run(true, endedPid, {}, ""), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker()); }, 5000));
    EXPECT_EQ(ReleaseFixture::read(marker()).trimmed(), "2.0.0");
    EXPECT_EQ(version(installed()), "2.0.0");
    EXPECT_EQ(version(staged()), "2.1.0");
}

TEST_F(InstallScriptTest, WaitsForTheApplicationToEnd) {
    QProcess application;
    application.start("/bin/sleep", {"30"});
    ASSERT_TRUE(application.waitForStarted());
    QProcess script;
    script.start("/bin/sh", InstallScript::arguments(
                                {application.processId(), staged(), installed(), false, "bin/dormio"}));
    ASSERT_TRUE(script.waitForStarted());
    QTest::qWait(400);
    EXPECT_EQ(script.state(), QProcess::Running);
    EXPECT_EQ(version(installed()), "2.0.0");

    // Ended and reaped at once, as the application's parent would: the script goes on within its poll,
    // well short of the minute it would wait for an application still running, however busy the machine.
    application.kill();
    ASSERT_TRUE(application.waitForFinished());
    ASSERT_TRUE(script.waitForFinished(20000));
    EXPECT_EQ(version(installed()), "2.1.0");
}

TEST_F(InstallScriptTest, TheArgumentsCarryThePathsAndNeverTheScriptText) {
    const QStringList arguments =
        InstallScript::arguments({42, "/c/$(touch x)/Dormio.app", "/a b/Dormio.app", true, "bin/dormio"});
    EXPECT_EQ(arguments, (QStringList{"-c", InstallScript::text, "ostrel-update", "42",
                                      "/c/$(touch x)/Dormio.app", "/a b/Dormio.app", "1", "bin/dormio"}));
    EXPECT_FALSE(QString(InstallScript::text).contains("Dormio"));
}

} // namespace
} // namespace dormio

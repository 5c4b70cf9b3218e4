#include "Dormio/Core/System/AppLookup.h"
#include "SystemHome.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace dormio {

void PrintTo(const AppIdentity& identity, std::ostream* out) {
    *out << "{" << identity.name << ", " << identity.path.value_or("no path") << ", "
         << identity.bundleID.value_or("no bundle id") << ", "
         << (identity.isUserApp ? "user app" : "not a user app") << "}";
}

namespace {

class AppLookupTest : public testing::Test {
protected:
    SystemHome home;
    QString player;
    QString playerEntry;

    void SetUp() override {
        player = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/fakeplayer"));
        playerEntry = home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"),
                                            QStringLiteral("Fake Player"), player + QStringLiteral(" %U"));
    }

    // An application is known by its entry.
    std::string playerPath() const { return playerEntry.toStdString(); }

    // Looked up in the running applications of this moment, as a live read does.
    static AppIdentity identity(int32_t pid, const std::string& fallbackName) {
        return AppLookup::identity(*RunningApps::snapshot(), pid, fallbackName);
    }
    static AppIdentity identity(const std::string& processName) {
        return AppLookup::identity(*RunningApps::snapshot(), processName);
    }
};

TEST_F(AppLookupTest, IdentityOfARunningApp) {
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const AppIdentity expected{"Fake Player", playerPath(), "org.example.FakePlayer", true};
    EXPECT_EQ(identity(process.pid(), "fakeplayer"), expected);
    // By its executable's name or by its own name.
    EXPECT_EQ(identity("fakeplayer"), expected);
    EXPECT_EQ(identity("Fake Player"), expected);
}

TEST_F(AppLookupTest, AnAccessoryAppIsNoUserApp) {
    home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
                          player, "NoDisplay=true\n");
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    EXPECT_EQ(identity(process.pid(), "fakeplayer"),
              (AppIdentity{"Fake Player", playerPath(), "org.example.FakePlayer", false}));
}

TEST_F(AppLookupTest, IdentityOfAProcessThatIsNoApp) {
    const std::string self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
    EXPECT_EQ(identity(int32_t(::getpid()), "tests"), (AppIdentity{"tests", self, std::nullopt, false}));
    EXPECT_EQ(identity(INT32_MAX, "gone"), (AppIdentity{"gone", std::nullopt, std::nullopt, false}));
    EXPECT_EQ(identity(0, "kernel"), (AppIdentity{"kernel", std::nullopt, std::nullopt, false}));
}

TEST_F(AppLookupTest, IdentityOfAProgramInsideABundle) {
    const QString inner = home.install(
        QStringLiteral("/bin/sleep"),
        QStringLiteral("Applications/Foo Bar.app/Contents/Helpers/Inner.app/Contents/MacOS/Inner"));
    Child process(inner, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const QString outer = inner.left(inner.indexOf(QStringLiteral(".app/")) + 4);
    EXPECT_EQ(identity(process.pid(), "Inner"),
              (AppIdentity{"Foo Bar", outer.toStdString(), std::nullopt, false}));
}

TEST_F(AppLookupTest, IdentityOfAProcessName) {
    const QString idle = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/idleapp"));
    struct Case {
        const char* name;
        AppIdentity expected;
    };
    const QString idleEntry =
        home.applicationEntry(QStringLiteral("idle.desktop"), QStringLiteral("Idle App"), idle);
    const Case cases[] = {
        // Installed, not running: the name itself and the entry, still an application.
        {"idleapp", {"idleapp", idleEntry.toStdString(), std::nullopt, false}},
        {"fakeplayer", {"fakeplayer", playerPath(), std::nullopt, false}},
        {"coreaudiod", {"Audio (coreaudiod)", std::nullopt, std::nullopt, false}},
        {"softwareupdated", {"Software Update", std::nullopt, std::nullopt, false}},
        {"unknownd", {"unknownd", std::nullopt, std::nullopt, false}},
        {"Idle App", {"Idle App", std::nullopt, std::nullopt, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(identity(c.name), c.expected) << c.name;
    EXPECT_TRUE(AppLookup::isApplication(identity("idleapp").path));
    EXPECT_FALSE(AppLookup::isApplication(identity("coreaudiod").path));
}

// Every rule that asks whether a holder is an app the user could quit asks this.
TEST(AppLookup, AnApplicationIsAnInstalledEntryOrABundle) {
    EXPECT_TRUE(
        AppLookup::isApplication(std::string("/usr/share/applications/org.gnome.Rhythmbox3.desktop")));
    EXPECT_TRUE(AppLookup::isApplication(std::string("/System/Applications/Music.app")));
    EXPECT_FALSE(AppLookup::isApplication(std::string("/usr/bin/rhythmbox")));
    EXPECT_FALSE(AppLookup::isApplication(std::nullopt));
}

TEST_F(AppLookupTest, DisplayName) {
    const QString entry =
        home.applicationEntry(QStringLiteral("named.desktop"), QStringLiteral("Named App"), player);
    const QString nameless =
        home.applicationEntry(QStringLiteral("org.example.Nameless.desktop"), "[Desktop Entry]\nExec=x\n");
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {entry.toStdString(), "Named App"},
        {nameless.toStdString(), "org.example.Nameless"},
        {"/nowhere/org.example.Gone.desktop", "org.example.Gone"},
        {"/Applications/Foo Bar.app", "Foo Bar"},
        {"/Applications/Foo Bar.app/", "Foo Bar"},
        {"/usr/bin/tool", "tool"},
        {"/opt/tool.v2.run", "tool.v2"},
        {"", std::nullopt},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(AppLookup::displayName(path), expected) << path;
}

TEST_F(AppLookupTest, ExecutablePath) {
    EXPECT_EQ(AppLookup::executablePath(int32_t(::getpid())),
              QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString());
    EXPECT_EQ(AppLookup::executablePath(INT32_MAX), std::nullopt);
    EXPECT_EQ(AppLookup::executablePath(-4), std::nullopt);
}

} // namespace
} // namespace dormio

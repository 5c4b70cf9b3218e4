#include "Dormio/System/AppLookup.h"
#include "SystemTestFolders.h"

#include <QFileInfo>
#include <QImage>
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
    TemporaryHome home;
    QString player;

    void SetUp() override {
        player = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/fakeplayer"));
        home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
                              player + QStringLiteral(" %U"));
    }

    std::string playerPath() const { return player.toStdString(); }
};

TEST_F(AppLookupTest, IdentityOfARunningApp) {
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const AppIdentity expected{"Fake Player", playerPath(), "org.example.FakePlayer", true};
    EXPECT_EQ(AppLookup::identity(process.pid(), "fakeplayer"), expected);
    // By its executable's name or by its own name.
    EXPECT_EQ(AppLookup::identity("fakeplayer"), expected);
    EXPECT_EQ(AppLookup::identity("Fake Player"), expected);
}

TEST_F(AppLookupTest, AnAccessoryAppIsNoUserApp) {
    home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
                          player, "NoDisplay=true\n");
    Child process(player, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    EXPECT_EQ(AppLookup::identity(process.pid(), "fakeplayer"),
              (AppIdentity{"Fake Player", playerPath(), "org.example.FakePlayer", false}));
}

TEST_F(AppLookupTest, IdentityOfAProcessThatIsNoApp) {
    const std::string self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().toStdString();
    EXPECT_EQ(AppLookup::identity(int32_t(::getpid()), "tests"),
              (AppIdentity{"tests", self, std::nullopt, false}));
    EXPECT_EQ(AppLookup::identity(INT32_MAX, "gone"),
              (AppIdentity{"gone", std::nullopt, std::nullopt, false}));
    EXPECT_EQ(AppLookup::identity(0, "kernel"), (AppIdentity{"kernel", std::nullopt, std::nullopt, false}));
}

TEST_F(AppLookupTest, IdentityOfAProgramInsideABundle) {
    const QString inner = home.install(
        QStringLiteral("/bin/sleep"),
        QStringLiteral("Applications/Foo Bar.app/Contents/Helpers/Inner.app/Contents/MacOS/Inner"));
    Child process(inner, {QStringLiteral("30")});
    ASSERT_TRUE(process.started);
    const QString outer = inner.left(inner.indexOf(QStringLiteral(".app/")) + 4);
    EXPECT_EQ(AppLookup::identity(process.pid(), "Inner"),
              (AppIdentity{"Foo Bar", outer.toStdString(), std::nullopt, false}));
}

TEST_F(AppLookupTest, IdentityOfAProcessName) {
    const QString idle = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/idleapp"));
    home.applicationEntry(QStringLiteral("idle.desktop"), QStringLiteral("Idle App"), idle);
    struct Case {
        const char* name;
        AppIdentity expected;
    };
    const Case cases[] = {
        // Installed, not running: the name itself and the program.
        {"idleapp", {"idleapp", idle.toStdString(), std::nullopt, false}},
        {"fakeplayer", {"fakeplayer", playerPath(), std::nullopt, false}},
        {"coreaudiod", {"Audio (coreaudiod)", std::nullopt, std::nullopt, false}},
        {"softwareupdated", {"Software Update", std::nullopt, std::nullopt, false}},
        {"unknownd", {"unknownd", std::nullopt, std::nullopt, false}},
        {"Idle App", {"Idle App", std::nullopt, std::nullopt, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppLookup::identity(c.name), c.expected) << c.name;
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

TEST_F(AppLookupTest, GenericIconForNoPathAndMissingFiles) {
    const QIcon none = AppLookup::icon(std::nullopt);
    EXPECT_FALSE(none.isNull());
    EXPECT_FALSE(none.pixmap(32).isNull());
    // Cached: the same image again.
    EXPECT_EQ(AppLookup::icon(std::nullopt).cacheKey(), none.cacheKey());
    EXPECT_EQ(AppLookup::icon("/no/such/program").cacheKey(), none.cacheKey());
    EXPECT_EQ(AppLookup::icon(playerPath() + ".missing").cacheKey(), none.cacheKey());
}

TEST_F(AppLookupTest, IconOfAnInstalledApp) {
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    const QString picture = home.path(QStringLiteral("icons")) + QStringLiteral("/red.png");
    ASSERT_TRUE(red.save(picture));
    const QString program = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/redapp"));
    const QString entry = home.applicationEntry(QStringLiteral("red.desktop"), QStringLiteral("Red"), program,
                                                "Icon=" + picture.toUtf8() + "\n");
    for (const QString& path : {program, entry}) {
        const QImage image = AppLookup::icon(path.toStdString()).pixmap(32).toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixelColor(16, 16), QColor(255, 0, 0)) << path.toStdString();
    }

    const QIcon gray = AppLookup::grayIcon(program.toStdString());
    const QImage image = gray.pixmap(QSize(32, 32), 2.0).toImage();
    EXPECT_EQ(image.size(), QSize(64, 64));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    const QColor middle = image.pixelColor(32, 32);
    // Red's luminance 0.2125 with contrast 1.05 about the middle.
    EXPECT_NEAR(middle.red(), 51, 1);
    EXPECT_EQ(middle.red(), middle.green());
    EXPECT_EQ(middle.green(), middle.blue());
    EXPECT_EQ(middle.alpha(), 255);
}

TEST_F(AppLookupTest, GrayAndPlainIconsAreCachedApart) {
    const std::optional<std::string> path = playerPath();
    const QIcon gray = AppLookup::grayIcon(path);
    const QIcon plain = AppLookup::icon(path);
    EXPECT_NE(gray.cacheKey(), plain.cacheKey());
    EXPECT_EQ(AppLookup::grayIcon(path).cacheKey(), gray.cacheKey());
    EXPECT_EQ(AppLookup::icon(path).cacheKey(), plain.cacheKey());
    EXPECT_EQ(AppLookup::grayIcon(std::nullopt).cacheKey(), AppLookup::grayIcon(std::nullopt).cacheKey());

    const QImage image = gray.pixmap(QSize(32, 32), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    bool drawn = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            drawn = drawn || c.alpha() > 0;
            ASSERT_TRUE(c.red() == c.green() && c.green() == c.blue()) << x << "," << y;
        }
    EXPECT_TRUE(drawn);
}

} // namespace
} // namespace dormio

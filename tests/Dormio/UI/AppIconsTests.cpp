#include "Dormio/UI/Kit/AppIcons.h"
#include "SystemHome.h"

#include <QImage>
#include <gtest/gtest.h>

namespace dormio {
namespace {

class AppIconsTest : public testing::Test {
protected:
    SystemHome home;
    QString player;

    void SetUp() override {
        player = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/fakeplayer"));
        home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
                              player + QStringLiteral(" %U"));
    }

    std::string playerPath() const { return player.toStdString(); }
};

TEST_F(AppIconsTest, GenericIconForNoPathAndMissingFiles) {
    const QIcon none = AppLookup::icon(std::nullopt);
    EXPECT_FALSE(none.isNull());
    EXPECT_FALSE(none.pixmap(32).isNull());
    // Cached: the same image again.
    EXPECT_EQ(AppLookup::icon(std::nullopt).cacheKey(), none.cacheKey());
    EXPECT_EQ(AppLookup::icon("/no/such/program").cacheKey(), none.cacheKey());
    EXPECT_EQ(AppLookup::icon(playerPath() + ".missing").cacheKey(), none.cacheKey());
}

TEST_F(AppIconsTest, IconOfAnInstalledApp) {
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

TEST_F(AppIconsTest, GrayAndPlainIconsAreCachedApart) {
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

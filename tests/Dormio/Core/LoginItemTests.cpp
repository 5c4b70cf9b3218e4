#include "Dormio/Core/System/DesktopEntry.h"
#include "Dormio/Core/System/LoginItem.h"
#include "SystemHome.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace dormio {
namespace {

class LoginItemTest : public testing::Test {
protected:
    SystemHome home;
    QString entryFile() const {
        return home.path(QStringLiteral("config")) + QStringLiteral("/autostart/dormio.desktop");
    }
};

TEST_F(LoginItemTest, RegisterWritesTheAutostartEntryAndUnregisterRemovesIt) {
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(LoginItem::registerApp(), std::nullopt);
    ASSERT_TRUE(QFileInfo::exists(entryFile()));
    const auto entry = DesktopEntryFile::read(entryFile());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, QStringLiteral("Application"));
    EXPECT_EQ(entry->name, QStringLiteral("Dormio"));
    EXPECT_EQ(DesktopEntryFile::execArguments(entry->exec),
              QStringList{QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()});
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::enabled);
    // Registering twice keeps one entry.
    EXPECT_EQ(LoginItem::registerApp(), std::nullopt);
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::enabled);

    EXPECT_EQ(LoginItem::unregisterApp(), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(entryFile()));
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(LoginItem::unregisterApp(), std::nullopt);
}

TEST_F(LoginItemTest, StatusOfEntriesLeftByOthers) {
    struct Case {
        const char* what;
        QByteArray text;
        LoginItemStatus expected;
    };
    const Case cases[] = {
        {"switched off in the session's settings",
         "[Desktop Entry]\nType=Application\nExec=/bin/sleep\nHidden=true\n", LoginItemStatus::notRegistered},
        {"a copy of the app that has since gone",
         "[Desktop Entry]\nType=Application\nExec=/opt/gone/dormio\n", LoginItemStatus::notFound},
        {"a program by a relative name", "[Desktop Entry]\nType=Application\nExec=dormio\n",
         LoginItemStatus::notFound},
        {"not an entry at all", "garbage\n", LoginItemStatus::notRegistered},
        {"another program that exists", "[Desktop Entry]\nType=Application\nExec=\"/bin/sleep\" 1\n",
         LoginItemStatus::enabled},
    };
    for (const Case& c : cases) {
        home.write(QStringLiteral("config/autostart/dormio.desktop"), c.text);
        EXPECT_EQ(LoginItem::status(), c.expected) << c.what;
    }
}

TEST_F(LoginItemTest, FailuresAreDescribed) {
    // Tests run as root, where permissions stop nothing: a file where the folder should be does.
    const QString notAFolder = home.write(QStringLiteral("file-not-dir"), "x");
    home.set("XDG_CONFIG_HOME", notAFolder);
    EXPECT_EQ(LoginItem::registerApp(),
              "the folder “" + notAFolder.toStdString() + "/autostart” can’t be created");
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::notRegistered);
    EXPECT_EQ(LoginItem::unregisterApp(), std::nullopt);
}

TEST_F(LoginItemTest, AFolderInThePlaceOfTheEntry) {
    home.path(QStringLiteral("config/autostart/dormio.desktop/inside"));
    EXPECT_EQ(LoginItem::registerApp(), "the file “" + entryFile().toStdString() + "” can’t be written");
    EXPECT_EQ(LoginItem::unregisterApp(), "the file “" + entryFile().toStdString() + "” can’t be removed");
    EXPECT_EQ(LoginItem::status(), LoginItemStatus::notRegistered);
}

} // namespace
} // namespace dormio

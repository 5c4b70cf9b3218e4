#include "Dormio/Core/System/DesktopEntry.h"
#include "SystemHome.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace dormio {
namespace {

TEST(DesktopEntryExec, Arguments) {
    struct Case {
        const char* exec;
        QStringList arguments;
        const char* program;
    };
    const Case cases[] = {
        {"foo %U", {"foo"}, "foo"},
        {"  /usr/bin/foo   --new-window  %f ", {"/usr/bin/foo", "--new-window"}, "/usr/bin/foo"},
        {R"("/opt/My App/app" --x=%% %F)", {"/opt/My App/app", "--x=%"}, "/opt/My App/app"},
        {R"(sh -c "echo \"a\\b\" \$HOME")", {"sh", "-c", R"(echo "a\b" $HOME)"}, "sh"},
        {"env LANG=C GDK_BACKEND=x11 /usr/bin/tool --flag",
         {"env", "LANG=C", "GDK_BACKEND=x11", "/usr/bin/tool", "--flag"},
         "/usr/bin/tool"},
        {"env tool", {"env", "tool"}, "tool"},
        {"env", {"env"}, ""},
        {"%u", {}, ""},
        {"", {}, ""},
        {R"("unterminated quote)", {"unterminated quote"}, "unterminated quote"},
    };
    for (const Case& c : cases) {
        const QString exec = QString::fromUtf8(c.exec);
        EXPECT_EQ(DesktopEntryFile::execArguments(exec), c.arguments) << c.exec;
        EXPECT_EQ(DesktopEntryFile::execProgram(exec), QString::fromUtf8(c.program)) << c.exec;
    }
}

TEST(DesktopEntryExec, QuotedPathsReadBack) {
    SystemHome home;
    const char* paths[] = {
        "/usr/bin/dormio",          "/opt/Dormio 1.0/bin/dormio", R"(/home/a "quoted" $dir\with`odd`/dormio)",
        "/home/a/100% sure/dormio", "/home/a/tab\there/dormio",
    };
    for (const char* path : paths) {
        const QString argument = QString::fromUtf8(path);
        const QString exec = DesktopEntryFile::quoteExecArgument(argument);
        const QString file =
            home.write(QStringLiteral("entry.desktop"),
                       "[Desktop Entry]\nExec=" + DesktopEntryFile::escapeValue(exec).toUtf8() + " %U\n");
        const auto entry = DesktopEntryFile::read(file);
        ASSERT_TRUE(entry) << path;
        EXPECT_EQ(DesktopEntryFile::execArguments(entry->exec), QStringList{argument}) << path;
    }
}

TEST(DesktopEntryFile, ReadsTheMainGroupOnly) {
    SystemHome home;
    const QString file = home.write(QStringLiteral("org.example.Foo.desktop"), R"(# a comment
[Desktop Entry]
Type=Application
Name=Foo\sBar
Name[de]=Fu
Icon=org.example.Foo
Exec=foo %U
NoDisplay=true
Hidden=false

[Desktop Action new-window]
Name=New Window
Exec=foo --new-window
)");
    const auto entry = DesktopEntryFile::read(file, QStringLiteral("org.example.Foo"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->id, QStringLiteral("org.example.Foo"));
    EXPECT_EQ(entry->filePath, file);
    EXPECT_EQ(entry->type, QStringLiteral("Application"));
    EXPECT_EQ(entry->name, QStringLiteral("Foo Bar"));
    EXPECT_EQ(entry->icon, QStringLiteral("org.example.Foo"));
    EXPECT_EQ(entry->exec, QStringLiteral("foo %U"));
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
}

TEST(DesktopEntryFile, RejectsFilesThatAreNoEntry) {
    SystemHome home;
    EXPECT_EQ(DesktopEntryFile::read(home.write(QStringLiteral("plain.desktop"), "Name=Foo\nExec=foo\n")),
              std::nullopt);
    EXPECT_EQ(DesktopEntryFile::read(home.write(QStringLiteral("other.desktop"), "[Other]\nName=Foo\n")),
              std::nullopt);
    EXPECT_EQ(DesktopEntryFile::read(home.path(QStringLiteral("missing")) + QStringLiteral("/x.desktop")),
              std::nullopt);
    EXPECT_EQ(DesktopEntryFile::read(home.write(QStringLiteral("binary.desktop"), QByteArray(300, '\0'))),
              std::nullopt);
    EXPECT_EQ(DesktopEntryFile::read(home.path(QStringLiteral("folder.desktop"))), std::nullopt);
    // A pipe would block a reader until someone writes to it.
    const QString pipe = home.path(QStringLiteral("pipes")) + QStringLiteral("/pipe.desktop");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(DesktopEntryFile::read(pipe), std::nullopt);
}

} // namespace
} // namespace dormio

#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace dormio {

// The keys of a .desktop file's [Desktop Entry] group that the app reads, unescaped, with Name in the
// user's language where the file has it.
struct DesktopEntry {
    QString id; // "org.example.Foo" for org.example.Foo.desktop, "sub-foo" for sub/foo.desktop
    QString filePath;
    QString type;
    QString name;
    QString icon;
    QString exec;
    bool noDisplay = false;
    bool hidden = false;
};

namespace DesktopEntryFile {

std::optional<DesktopEntry> read(const QString& filePath, const QString& id = {});
// Exec's arguments with quoting undone and field codes (%f, %U, …) dropped.
QStringList execArguments(const QString& exec);
// The program Exec starts: its first argument, past an "env" with its variable assignments.
QString execProgram(const QString& exec);
// One argument written so that execArguments gives it back, quoted when it must be.
QString quoteExecArgument(const QString& argument);
// A string as a .desktop value: backslashes, line breaks and a leading space escaped.
QString escapeValue(const QString& value);

} // namespace DesktopEntryFile
} // namespace dormio

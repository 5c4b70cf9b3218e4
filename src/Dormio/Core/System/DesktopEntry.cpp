#include "Dormio/Core/System/DesktopEntry.h"

#include <QFile>
#include <QLocale>
#include <sys/stat.h>

namespace dormio::DesktopEntryFile {

namespace {

QString unescapeValue(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

// Name[de_CH], then Name[de], then Name.
QStringList nameKeys() {
    const QString locale = QLocale::system().name();
    QStringList keys;
    if (locale != QStringLiteral("C")) {
        keys << QStringLiteral("Name[%1]").arg(locale);
        const qsizetype underscore = locale.indexOf(QLatin1Char('_'));
        if (underscore > 0) keys << QStringLiteral("Name[%1]").arg(locale.left(underscore));
    }
    keys << QStringLiteral("Name");
    return keys;
}

bool isFieldCode(QChar c) {
    return QStringLiteral("fFuUdDnNickvm").contains(c);
}

bool needsQuoting(const QString& argument) {
    if (argument.isEmpty()) return true;
    for (const QChar c : argument)
        if (QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%").contains(c)) return true;
    return false;
}

} // namespace

std::optional<DesktopEntry> read(const QString& filePath, const QString& id) {
    // Only regular files: opening a pipe put in an entry's place would wait for a writer forever.
    struct stat info {};
    if (::stat(QFile::encodeName(filePath).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    QFile file(filePath);
    // Entries are a few kilobytes; anything far larger is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) return std::nullopt;
    const QStringList names = nameKeys();
    qsizetype nameRank = names.size();
    DesktopEntry entry;
    entry.id = id;
    entry.filePath = filePath;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || equals < 1) continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(QStringView(line).mid(equals + 1).trimmed());
        if (const qsizetype rank = names.indexOf(key); rank >= 0 && rank < nameRank) {
            entry.name = value;
            nameRank = rank;
        } else if (key == QStringLiteral("Type"))
            entry.type = value;
        else if (key == QStringLiteral("Icon"))
            entry.icon = value;
        else if (key == QStringLiteral("Exec"))
            entry.exec = value;
        else if (key == QStringLiteral("NoDisplay"))
            entry.noDisplay = value == QStringLiteral("true");
        else if (key == QStringLiteral("Hidden"))
            entry.hidden = value == QStringLiteral("true");
    }
    if (!sawMainGroup) return std::nullopt;
    return entry;
}

QStringList execArguments(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == QLatin1Char('%') && i + 1 < exec.size()) {
            const QChar code = exec[++i];
            // The launcher would put files or URLs there; an argument of only a field code vanishes.
            if (isFieldCode(code)) continue;
            if (code != QLatin1Char('%')) current += c;
            current += code;
            inArgument = true;
        } else if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current += exec[++i];
            else
                current += c;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument) arguments << current;
            current.clear();
            inArgument = false;
        } else {
            quoted = c == QLatin1Char('"');
            if (!quoted) current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments << current;
    return arguments;
}

QString execProgram(const QString& exec) {
    const QStringList arguments = execArguments(exec);
    qsizetype i = 0;
    if (i < arguments.size() && arguments[i] == QStringLiteral("env")) {
        ++i;
        while (i < arguments.size() && arguments[i].contains(QLatin1Char('=')) &&
               !arguments[i].startsWith(QLatin1Char('/')))
            ++i;
    }
    return i < arguments.size() ? arguments[i] : QString();
}

QString quoteExecArgument(const QString& argument) {
    QString text = argument;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuoting(argument)) return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString escapeValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

} // namespace dormio::DesktopEntryFile

#include "Dormio/Core/System/PowerLogFile.h"

#include "DormioKit/PowerLogParser.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace dormio {

namespace {

// Short enough for a toast's two lines: the file's name, what is wrong, what to do.
QString failureSentence(PowerLogParser::FileProblem problem, const QString& path) {
    using PowerLogParser::FileProblem;
    const QString name = QStringLiteral("“") + QFileInfo(path).fileName() + QStringLiteral("”");
    switch (problem) {
    case FileProblem::unreadable:
        return QStringLiteral(
                   "Can’t open the power log %1. Check that it exists and is readable, then refresh.")
            .arg(name);
    case FileProblem::notAFile:
        return QStringLiteral("The power log %1 isn’t a regular file. Point DORMIO_LOG_FIXTURE at a file, "
                              "then refresh.")
            .arg(name);
    case FileProblem::tooLarge:
        return QStringLiteral("The power log %1 is over %2 GiB. Point DORMIO_LOG_FIXTURE at a shorter log, "
                              "then refresh.")
            .arg(name)
            .arg(PowerLogParser::largestLogFile >> 30);
    case FileProblem::notUtf8:
        return QStringLiteral("The power log %1 isn’t UTF-8 text. Save it as UTF-8, then refresh.").arg(name);
    case FileProblem::abandoned:
        return QStringLiteral("Dormio stopped reading the power log %1 to quit.").arg(name);
    }
    return {};
}

} // namespace

PowerLogParser::SystemLog readPowerLogFile(const QString& path) {
    // Quitting ends the read: the thread pool that runs it is waited for once the application has gone.
    PowerLogParser::FileLog read =
        PowerLogParser::parseFile(QFile::encodeName(path).toStdString(), PowerLogParser::largestLogFile,
                                  [] { return QCoreApplication::closingDown(); });
    if (!read.log)
        return {PowerLog{}, PowerLogParser::RunOutcome::completed,
                failureSentence(read.problem, path).toStdString()};
    return {std::move(*read.log), PowerLogParser::RunOutcome::completed};
}

} // namespace dormio

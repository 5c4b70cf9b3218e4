#include "Dormio/Core/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

namespace dormio::CommandLine {

void answerHelpOrVersion(int argc, char** argv) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Dormio tells you what your computer did overnight: when it slept, what woke it, "
                       "what kept it awake and how much battery the night took."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Options this parser does not know belong to Qt, which reads them when the application is made.
    parser.parse(arguments);
    if (parser.isSet(version)) parser.showVersion();
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        // The usage line names the program as it was started, which only an application object knows.
        const QCoreApplication naming(argc, argv);
        parser.showHelp();
    }
}

} // namespace dormio::CommandLine

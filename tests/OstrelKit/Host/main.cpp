// A small application for the kit's end-to-end test of a self-update. Run from a bundle at any version
// but the one named in OSTREL_HOST_TARGET, it checks its feed at once, says "ready" on its standard output
// when the update is ready, and then quits the way the user would: with OSTREL_HOST_QUIT=restart through
// "Restart Now", otherwise when it is sent SIGTERM. Run at the target version (the relaunched new copy),
// it only writes its version into the file OSTREL_HOST_MARKER names.

#include "OstrelKit/Updater/AppBundle.h"
#include "OstrelKit/Updater/Updater.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>

using namespace dormio;

namespace {

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("OstrelHost");
    const AppBundle bundle = AppBundle::running();
    const QString version = bundle.shortVersion().value_or(QString());
    if (version == qEnvironmentVariable("OSTREL_HOST_TARGET")) {
        // Whole or not at all: the test reads the file as soon as it appears.
        QSaveFile marker(qEnvironmentVariable("OSTREL_HOST_MARKER"));
        if (!marker.open(QIODevice::WriteOnly)) return 1;
        marker.write(version.toUtf8() + '\n');
        return marker.commit() ? 0 : 1;
    }

    Updater updater(bundle);
    updater.start();
    const bool restart = qEnvironmentVariable("OSTREL_HOST_QUIT") == "restart";
    QObject::connect(&updater, &Updater::phaseChanged, &app, [&] {
        switch (updater.phase().kind) {
        case Updater::Phase::Kind::ready:
            say("ready");
            if (restart) updater.installAndRelaunch();
            return;
        case Updater::Phase::Kind::failed:
            say("failed: " + updater.phase().message);
            return QCoreApplication::exit(1);
        case Updater::Phase::Kind::idle:
        case Updater::Phase::Kind::upToDate:
        case Updater::Phase::Kind::available:
            say("no update to install");
            return QCoreApplication::exit(2);
        case Updater::Phase::Kind::checking:
        case Updater::Phase::Kind::downloading:
            return;
        }
    });
    updater.check(false);
    QTimer::singleShot(20000, &app, [] {
        say("timed out");
        QCoreApplication::exit(3);
    });
    return app.exec();
}

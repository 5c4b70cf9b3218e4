#include "Dormio/Core/ApplicationName.h"
#include "Dormio/Core/CommandLine.h"
#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/RunMode.h"
#include "Dormio/Core/SingleInstance.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/DevModes.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/DormioApp.h"
#include "OstrelKit/TerminateAsQuit.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {

int runApplication(int argc, char** argv) {
    dormio::CommandLine::answerHelpOrVersion(argc, argv);
    QApplication app(argc, argv);
    // A SIGTERM (a logout, a `kill`) quits as the Quit command does, from before the socket is claimed: the
    // socket is removed and the quit work runs however soon it comes.
    dormio::TerminateAsQuit::install();
    dormio::Theme::install(app);
    const dormio::RunMode mode = dormio::chooseRunMode(dormio::processEnvironment);

    // A developer mode runs on its own, even beside the user's running copy.
    dormio::SingleInstance instance;
    if (mode.kind == dormio::RunMode::Kind::normal && !instance.claim()) {
        // Said on the terminal, for a launch from a shell that would otherwise end without a word.
        std::fputs("Dormio is already running: its window has been brought forward.\n", stderr);
        return 0;
    }

    dormio::DormioApp dormio(dormio::Store::shared());
    QObject::connect(&instance, &dormio::SingleInstance::activationRequested, &dormio,
                     &dormio::DormioApp::showMainWindow);
    dormio.launch();
    // Once the event loop runs and the main window is on screen, the mode takes over.
    QTimer::singleShot(0, &dormio, [&] {
        if (mode.kind == dormio::RunMode::Kind::normal)
            dormio.start();
        else
            dormio::DevModes::start(mode, dormio::Store::shared());
    });
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    dormio::ReadThreads::shareOneHeap();
    dormio::nameApplication();
    // The application is gone before the process ends: its socket removed, its quit work done.
    return dormio::ReadThreads::end(runApplication(argc, argv));
}

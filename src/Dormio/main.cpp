#include "Dormio/DormioApp.h"
#include "Dormio/RunMode.h"
#include "Dormio/SingleInstance.h"
#include "Dormio/Store.h"
#include "Dormio/Toast.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    dormio::DormioApp::nameApplication();

    // A developer mode runs on its own, even beside the user's running copy.
    dormio::SingleInstance instance;
    if (dormio::chooseRunMode(dormio::processEnvironment).kind == dormio::RunMode::Kind::normal &&
        !instance.claim())
        return 0;

    dormio::DormioApp dormio(dormio::Store::shared(), dormio::Toast::shared());
    QObject::connect(&instance, &dormio::SingleInstance::activationRequested, &dormio,
                     &dormio::DormioApp::showMainWindow);
    dormio.launch();
    return app.exec();
}

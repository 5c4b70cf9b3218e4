// The core's tests need an event loop for timers and hand-backs to the main thread, and no widgets.
#include "Dormio/Core/ApplicationName.h"
#include "TestHome.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const dormio::TestRun run;
    if (!run.isValid()) return 1;
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    dormio::nameApplication();
    run.holdSettings();
    return RUN_ALL_TESTS();
}

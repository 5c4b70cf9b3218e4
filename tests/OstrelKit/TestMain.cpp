// The kit's tests draw windows and talk HTTP on the loopback address, so they need a QApplication; the
// offscreen platform keeps them headless, and every folder they touch lives in the run's temporary home.

#include "TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const dormio::TestRun run;
    if (!run.isValid()) return 1;
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("OstrelTests");
    QCoreApplication::setApplicationName("OstrelTests");
    QCoreApplication::setApplicationVersion("2.0.0");
    run.holdSettings();
    return RUN_ALL_TESTS();
}

// The views' tests draw, so they need a QApplication; the offscreen platform keeps them headless.
#include "Dormio/Core/ApplicationName.h"
#include "TestHome.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const dormio::TestRun run;
    if (!run.isValid()) return 1;
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    dormio::nameApplication();
    run.holdSettings();
    return RUN_ALL_TESTS();
}

// The views' tests draw, so they need a QApplication; the offscreen platform keeps them headless.
#include "TestRun.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const dormio::testing::TestRun run;
    if (!run.isValid()) return 1;
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    run.nameSettings();
    return RUN_ALL_TESTS();
}

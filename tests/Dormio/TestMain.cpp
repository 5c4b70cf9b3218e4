// The app's tests draw, so they need a QApplication; the offscreen platform keeps them headless.
#include <QApplication>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest sets these; running the binary by hand gets the same fixed clock and language.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TZ", "UTC", 0);
    setenv("LC_ALL", "C.UTF-8", 0);
    tzset();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

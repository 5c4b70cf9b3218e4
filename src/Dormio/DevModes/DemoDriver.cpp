#include "Dormio/DevModes/DemoDriver.h"

#include <QCoreApplication>
#include <cstdio>

namespace dormio {

void DemoDriver::run() {
    std::fputs("The scripted demo is not built yet.\n", stderr);
    QCoreApplication::exit(2);
}

} // namespace dormio

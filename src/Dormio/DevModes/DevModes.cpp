#include "Dormio/DevModes/DevModes.h"

#include <QCoreApplication>
#include <cstdio>

namespace dormio {

namespace {

void notBuilt(const char* sentence) {
    std::fprintf(stderr, "%s\n", sentence);
    QCoreApplication::exit(2);
}

} // namespace

void DormioDemo::run() {
    notBuilt("The scripted demo is not built yet.");
}

} // namespace dormio

#include "Dormio/Core/ReadThreads.h"

#include <cstdio>
#include <cstdlib>

namespace dormio::ReadThreads {

QThreadPool& pool() {
    static QThreadPool* const reads = new QThreadPool();
    return *reads;
}

int end(int status) {
    pool().clear();
    if (pool().activeThreadCount() == 0) return status;
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace dormio::ReadThreads

#include "Dormio/Core/ReadThreads.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace dormio::ReadThreads {

QThreadPool& pool() {
    static QThreadPool* const reads = new QThreadPool();
    return *reads;
}

void shareOneHeap() {
    ::mallopt(M_ARENA_MAX, 1);
}

void giveBackFreedMemory() {
    ::malloc_trim(0);
}

int end(int status) {
    pool().clear();
    if (pool().activeThreadCount() == 0) return status;
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace dormio::ReadThreads

#pragma once

// The threads the store reads the system on: the power log, the assertions and the battery. Quitting never
// waits for them. A read may take as long as its source makes it (a journal of many weeks, a system bus
// that does not answer), and the application still ends at once when the user quits.

#include <QThreadPool>

namespace dormio::ReadThreads {

// The pool the reads run on; made on first use and never destroyed, so that nothing waits for it.
QThreadPool& pool();

// Has every thread allocate from the one heap, for `main` to call before any thread starts. The C library
// otherwise gives each new thread a heap of its own and hands a heap's free pages back only from its top:
// the few texts a read leaves alive in a part thread's heap kept megabytes of freed records resident after
// every read. Measured, one heap costs a read no time.
void shareOneHeap();

// Hands the heap's free pages back to the system, after a read's records or a list of nights are freed.
void giveBackFreedMemory();

// The process's end once the application has gone, for `main` to return. With a read still running, the
// process ends here and now, with `status`: the static destructors would otherwise run under the read.
int end(int status);

} // namespace dormio::ReadThreads

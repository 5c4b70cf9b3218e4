#pragma once

// The threads the store reads the system on: the power log, the assertions and the battery. Quitting never
// waits for them. A read may take as long as its source makes it (a journal of many weeks, a system bus
// that does not answer), and the application still ends at once when the user quits.

#include <QThreadPool>

namespace dormio::ReadThreads {

// The pool the reads run on; made on first use and never destroyed, so that nothing waits for it.
QThreadPool& pool();

// The process's end once the application has gone, for `main` to return. With a read still running, the
// process ends here and now, with `status`: the static destructors would otherwise run under the read.
int end(int status);

} // namespace dormio::ReadThreads

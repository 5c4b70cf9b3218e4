#pragma once

// The install at quit: a small /bin/sh script, started as a process of its own that outlives the
// application. It waits for the application to end, copies the staged bundle beside the installed one,
// swaps the two with renames and, when asked, starts the app again. Every path travels as a positional
// argument, never inside the script's text. At each step the user keeps a working application: nothing
// is touched when the copy or the first rename fails, the old bundle comes back when the second fails,
// and the staged copy is removed only once it is installed. Two scripts for one install place take turns.

#include <QString>
#include <QStringList>

namespace dormio::InstallScript {

// The script; its arguments: $1 the application's process id, $2 the staged bundle (empty to install
// nothing and only start the app again), $3 the installed bundle, $4 "1" to start the application again
// afterwards, $5 its executable inside the bundle.
extern const char* const text;

// The names the script gives its working copies beside the installed bundle.
inline constexpr const char* newSuffix = ".ostrel-new";
inline constexpr const char* oldSuffix = ".ostrel-old";
// The one line left beside the install place when neither bundle could be put back in it.
inline constexpr const char* noteSuffix = ".ostrel-note.txt";

struct Request {
    qint64 pid = 0;
    QString staged; // empty to install nothing
    QString installed;
    bool relaunch = false;
    QString executable; // relative to the bundle
};

// The arguments of /bin/sh: "-c", the script, "ostrel-update" as $0, then the request's five.
QStringList arguments(const Request& request);

// Starts /bin/sh with `arguments` in a session of its own, its input and output on the null device and
// no other open files; does not wait. False when it could not be started.
bool launch(const QStringList& arguments);

} // namespace dormio::InstallScript

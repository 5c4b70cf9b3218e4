#include "OstrelKit/Updater/InstallScript.h"

#include <QFile>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <vector>

extern char** environ;

namespace dormio::InstallScript {

// One install at a time per install place: the lock beside the bundle is taken before anything is touched,
// and a script that finds the staged copy gone or already installed only starts the app when asked. Every
// rename is one that never moves into a folder found at its target (`mv -T`), and every step is judged by
// what it left rather than by its status: whatever fails, the install place ends with the old or the new
// bundle, put back by a rename or else by a copy, or, when even that fails, with a note beside it saying
// where the old one is. `cp -RPp` keeps the bundle's symlinks and modes.
const char* const text = R"sh(PID="$1"; SRC="$2"; DEST="$3"; RELAUNCH="$4"; EXE="$5"
cd / || exit 0
case "$DEST" in *.app) ;; *) exit 0 ;; esac
i=0; while kill -0 "$PID" 2>/dev/null && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done
NEW="$DEST.ostrel-new"; OLD="$DEST.ostrel-old"; NOTE="$DEST.ostrel-note.txt"
LOCK="${DEST%/*}/.${DEST##*/}.ostrel-lock"
bundle() { [ -d "$1" ] && [ ! -L "$1" ] && [ -f "$1/Info.json" ]; }
absent() { [ ! -e "$1" ] && [ ! -L "$1" ]; }
putback() {
  bundle "$1" || return 1
  mv -T "$1" "$DEST"; bundle "$DEST" && return 0
  absent "$DEST" || return 1
  cp -RPpT "$1" "$DEST" && bundle "$DEST" && return 0
  rm -rf "$DEST"; return 1
}
[ -L "$LOCK" ] && exit 0
exec 9>>"$LOCK" || exit 0
flock -w 120 9 || exit 0
WHOLE=0
if [ -n "$SRC" ] && bundle "$SRC" && bundle "$DEST" && ! cmp -s "$SRC/Info.json" "$DEST/Info.json"; then
  rm -rf "$NEW" "$OLD"
  if absent "$NEW" && absent "$OLD" && cp -RPp "$SRC" "$NEW" && bundle "$NEW"; then
    WHOLE=1; mv -T "$DEST" "$OLD"
    if absent "$DEST" && bundle "$OLD"; then
      mv -T "$NEW" "$DEST"
      if bundle "$DEST" && absent "$NEW"; then
        rm -rf "$OLD"; STAGE="$(dirname "$SRC")"; rm -rf "$STAGE"; rmdir "$(dirname "$STAGE")" 2>/dev/null
      fi
    fi
  fi
fi
if ! bundle "$DEST" && ! putback "$OLD" && ! { [ $WHOLE = 1 ] && putback "$NEW"; } && bundle "$OLD"; then
  echo "The update couldn’t put the app back in its place; the copy you had is $OLD" > "$NOTE"
fi
bundle "$DEST" && rm -rf "$NEW"
exec 9>&-
if [ "$RELAUNCH" = 1 ] && bundle "$DEST" && [ -f "$DEST/$EXE" ] && [ -x "$DEST/$EXE" ]; then
  setsid "$DEST/$EXE" </dev/null >/dev/null 2>&1 &
fi
exit 0)sh";

QStringList arguments(const Request& request) {
    return {QStringLiteral("-c"),
            QString::fromUtf8(text),
            QStringLiteral("ostrel-update"),
            QString::number(request.pid),
            request.staged,
            request.installed,
            request.relaunch ? QStringLiteral("1") : QStringLiteral("0"),
            request.executable};
}

bool launch(const QStringList& arguments) {
    std::vector<QByteArray> owned;
    owned.push_back("/bin/sh");
    for (const QString& argument : arguments)
        owned.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&files);
    posix_spawnattr_init(&attributes);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&files, 3);
    // Its own session, so that the end of the application's terminal or session leader spares it, and
    // every signal as a fresh process has it.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int status = posix_spawn(&pid, "/bin/sh", &files, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return status == 0;
}

} // namespace dormio::InstallScript

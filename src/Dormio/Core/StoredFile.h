#pragma once

// Every file the app keeps in its support folder ("nights.json", "energy.json", later the updater's) is
// read whole, written atomically, and never lost when it is damaged: a damaged file is set aside under a
// name of its own before anything is written in its place, and no copy set aside is ever replaced or
// deleted by the app.

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>

namespace dormio::StoredFile {

struct Contents {
    enum class State { missing, present, damaged };
    State state = State::missing;
    QByteArray bytes; // the whole file when present

    bool damaged() const { return state == State::damaged; }
};

// The whole file. A missing file is `missing`; anything but a regular file (a folder, a pipe that would
// never end, a dangling link) or a file that cannot be read is `damaged`. Bytes that do not decode are
// damaged too: that is for the caller to say, when it writes.
Contents read(const QString& path);

// Moves the file (or link) at `path` aside to "<path>.damaged-<local time it was set aside>", with "-2",
// "-3"… added when that name is taken. Gives the new path, or none when it could not be moved.
std::optional<QString> setAside(const QString& path);

// Writes `bytes` at `path` atomically: a reader sees the old file or the new one, never a part. With
// `damaged`, the file there is first set aside, and nothing is written when it cannot be. Gives a sentence
// on failure, none on success.
std::optional<QString> write(const QString& path, std::string_view bytes, bool damaged = false);

// The same for contents written piece by piece: `fill` hands each piece to the function it is given, which
// is false once a piece could not be written. When `fill` gives false the file is left as it was, and the
// sentence is `refused`.
using Put = std::function<bool(std::string_view)>;
std::optional<QString> write(const QString& path, const std::function<bool(const Put&)>& fill, bool damaged,
                             const QString& refused);

} // namespace dormio::StoredFile

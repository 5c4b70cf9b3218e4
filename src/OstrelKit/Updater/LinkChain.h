#pragma once

// Where a path inside a folder really leads once every symlink on the way is followed, judged by what is
// on disk rather than by the links' texts alone: a link can lead through another link whose target makes
// "..", read as text, climb past the folder.

#include <QString>

namespace dormio::LinkChain {

struct End {
    enum class Kind { inside, outside, loop };
    Kind kind = Kind::outside;
    QString path;        // relative to the folder ("" for the folder itself), when inside
    bool exists = false; // whether something is there, when inside
};

// The most links followed in one walk, as the system allows; more is taken for a loop.
inline constexpr int maxLinks = 40;

// Follows `relative` inside `folder` the way the system would, every symlink on the way and at the end
// included, and says where it ends. An absolute target or a ".." above the folder leads outside. A name
// that is not there is taken as it stands, and the walk goes on by the names alone.
End resolve(const QString& folder, const QString& relative);

} // namespace dormio::LinkChain

#pragma once

// Removing what the updater made in its own folders: never through a symlink (a link is removed as a link,
// whatever it points at), never onto another disk, whatever the permission bits of the folders inside, and
// however deep the tree goes.

namespace dormio {

// Removes the entry `name` of the folder open at `parent`, with everything in it when it is a folder.
// True when nothing is left of it (also when there was nothing to begin with).
bool removeTree(int parent, const char* name);

} // namespace dormio

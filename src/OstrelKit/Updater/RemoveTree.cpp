#include "OstrelKit/Updater/RemoveTree.h"

#include "OstrelKit/Updater/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace dormio {

namespace {

bool isSame(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::optional<std::vector<std::string>> namesIn(int folder) {
    DIR* listing = ::fdopendir(::dup(folder));
    if (!listing) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    return names;
}

// Opens the folder `name` in `parent` to empty it: made enterable and writable first, since an archive
// may have given it any bits, and refused when it is a symlink by now or lies on another disk.
UniqueFd openToEmpty(int parent, const char* name, dev_t device) {
    ::fchmodat(parent, name, S_IRWXU, AT_SYMLINK_NOFOLLOW);
    UniqueFd folder(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (folder.isOpen() && (::fstat(folder.get(), &status) != 0 || status.st_dev != device)) folder.reset();
    return folder;
}

} // namespace

bool removeTree(int parent, const char* name) {
    struct stat top {};
    if (::fstatat(parent, name, &top, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
    if (!S_ISDIR(top.st_mode)) return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;

    // One folder is open at a time: the walk goes down into a subfolder by its name and back up through
    // "..", checked to be the folder it came from, so no path ever grows longer than one name.
    struct Above {
        struct stat folder;
        std::string name; // of the folder below it, on the way down
    };
    std::vector<Above> above;
    UniqueFd current = openToEmpty(parent, name, top.st_dev);
    std::string currentName = name;
    while (current.isOpen()) {
        const auto names = namesIn(current.get());
        if (!names) return false;
        std::optional<std::string> subfolder;
        for (const std::string& entry : *names) {
            struct stat status {};
            if (::fstatat(current.get(), entry.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT) continue;
                return false;
            }
            if (S_ISDIR(status.st_mode)) {
                subfolder = entry;
                break;
            }
            if (::unlinkat(current.get(), entry.c_str(), 0) != 0 && errno != ENOENT) return false;
        }
        if (subfolder) {
            struct stat here {};
            if (::fstat(current.get(), &here) != 0) return false;
            UniqueFd below = openToEmpty(current.get(), subfolder->c_str(), top.st_dev);
            if (!below.isOpen()) return false;
            above.push_back({here, currentName});
            current = std::move(below);
            currentName = *subfolder;
            continue;
        }
        if (above.empty()) break;
        UniqueFd up(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat status {};
        if (!up.isOpen() || ::fstat(up.get(), &status) != 0 || !isSame(status, above.back().folder))
            return false;
        current = std::move(up);
        if (::unlinkat(current.get(), currentName.c_str(), AT_REMOVEDIR) != 0) return false;
        currentName = above.back().name;
        above.pop_back();
    }
    if (!current.isOpen()) return false;
    current.reset();
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
}

} // namespace dormio

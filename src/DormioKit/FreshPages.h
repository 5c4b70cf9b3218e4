#pragma once

// How the reader's large arrays meet fresh memory. The kernel commits memory on first touch, a 4 KiB page
// at a time, each through a trap of its own; on a virtual machine those traps cost a whole read of a busy
// log more than reading its bytes does.

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>
#include <vector>

namespace dormio::FreshPages {

constexpr std::uintptr_t smallPage = 4096;
constexpr std::uintptr_t largePage = std::uintptr_t(2) << 20;

inline std::uintptr_t address(const void* at) {
    return reinterpret_cast<std::uintptr_t>(at);
}

// Backs the 2 MiB-aligned middle of an array's room with 2 MiB pages, a trap for each instead of one for
// each 4 KiB; still only what is touched is committed.
template <typename T> void preferLargePages(const std::vector<T>& records) {
    const std::uintptr_t begin = (address(records.data()) + largePage - 1) & ~(largePage - 1);
    const std::uintptr_t end = address(records.data() + records.capacity()) & ~(largePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Commits an array's room a stretch ahead of its records, the pages of a stretch in one call: about half
// the cost of the traps its records would meet one page at a time. At most one stretch past the last record
// is committed before it is needed, and nothing past the array's room.
class CommitAhead {
public:
    template <typename T> void follow(const std::vector<T>& records) {
        const std::uintptr_t begin = address(records.data());
        if (begin != begin_) begin_ = committed_ = begin; // room of its own, or moved
        const std::uintptr_t used = address(records.data() + records.size());
        if (used <= committed_) return;
        const std::uintptr_t from = committed_ & ~(smallPage - 1);
        const std::uintptr_t to =
            std::min(from + stretch, address(records.data() + records.capacity()) & ~(smallPage - 1));
        if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
        committed_ = std::max(used, to);
    }

private:
    static constexpr std::uintptr_t stretch = 128 * 1024;
    std::uintptr_t begin_ = 0;
    std::uintptr_t committed_ = 0;
};

} // namespace dormio::FreshPages

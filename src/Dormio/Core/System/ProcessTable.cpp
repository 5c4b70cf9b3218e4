#include "Dormio/Core/System/ProcessTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace dormio::ProcessTable {

namespace {

// The kernel marks its own threads with this flag (PF_KTHREAD) in stat's flags field.
constexpr uint64_t kernelThreadFlag = 0x00200000;

// Paths are built on the stack: a collection reads several hundred of them.
struct ProcPath {
    char text[256];
    bool ok;
    ProcPath(std::string_view root, int32_t pid, const char* leaf) {
        const int n =
            std::snprintf(text, sizeof text, "%.*s/%d/%s", int(root.size()), root.data(), pid, leaf);
        ok = n > 0 && size_t(n) < sizeof text;
    }
};

// One read() of a small file; the length read, or -1.
ssize_t readSmall(const ProcPath& path, char* buffer, size_t capacity) {
    if (!path.ok) return -1;
    const int fd = ::open(path.text, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    const ssize_t n = ::read(fd, buffer, capacity);
    ::close(fd);
    return n;
}

const char* skipField(const char* p, const char* end) {
    while (p < end && *p == ' ')
        ++p;
    while (p < end && *p != ' ')
        ++p;
    return p;
}

std::optional<uint64_t> unsignedField(const char*& p, const char* end) {
    while (p < end && *p == ' ')
        ++p;
    if (p == end || *p < '0' || *p > '9') return std::nullopt;
    uint64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + uint64_t(*p - '0');
    return value;
}

} // namespace

std::vector<Entry> entries(std::string_view root) {
    std::vector<Entry> result;
    const std::string folder(root);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return result;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        int64_t pid = 0;
        for (; *name >= '0' && *name <= '9' && pid <= INT32_MAX; ++name)
            pid = pid * 10 + (*name - '0');
        if (*name == '\0' && name != entry->d_name && pid >= 1 && pid <= INT32_MAX)
            result.push_back({int32_t(pid), uint64_t(entry->d_ino)});
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end(), [](const Entry& a, const Entry& b) { return a.pid < b.pid; });
    return result;
}

std::vector<int32_t> pids(std::string_view root) {
    const std::vector<Entry> listed = entries(root);
    std::vector<int32_t> result;
    result.reserve(listed.size());
    for (const Entry& entry : listed)
        result.push_back(entry.pid);
    return result;
}

std::optional<Stat> stat(int32_t pid, std::string_view root) {
    char buffer[1024];
    const ssize_t n = readSmall(ProcPath(root, pid, "stat"), buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    const char* end = buffer + n;
    // The name in parentheses may itself hold spaces and parentheses; the fields start after the last ')'.
    const char* close = static_cast<const char*>(memrchr(buffer, ')', size_t(n)));
    if (!close) return std::nullopt;
    const char* p = close + 1;
    p = skipField(p, end); // 3 state
    const auto parent = unsignedField(p, end);
    for (int field = 5; field <= 8; ++field)
        p = skipField(p, end);
    const auto flags = unsignedField(p, end);
    for (int field = 10; field <= 13; ++field)
        p = skipField(p, end);
    const auto utime = unsignedField(p, end);
    const auto stime = unsignedField(p, end);
    for (int field = 16; field <= 21; ++field)
        p = skipField(p, end);
    const auto start = unsignedField(p, end);
    if (!parent || !flags || !utime || !stime || !start || *parent > INT32_MAX) return std::nullopt;
    return Stat{int32_t(*parent), *utime + *stime, *start, (*flags & kernelThreadFlag) != 0};
}

std::optional<std::string> exePath(int32_t pid, std::string_view root) {
    const ProcPath path(root, pid, "exe");
    if (!path.ok) return std::nullopt;
    char buffer[4096];
    const ssize_t n = ::readlink(path.text, buffer, sizeof buffer);
    if (n < 1 || size_t(n) == sizeof buffer) return std::nullopt;
    std::string_view target(buffer, size_t(n));
    // An executable replaced on disk (an update) still names the program that runs.
    constexpr std::string_view deleted = " (deleted)";
    if (target.size() > deleted.size() && target.ends_with(deleted)) target.remove_suffix(deleted.size());
    return std::string(target);
}

std::optional<std::string> comm(int32_t pid, std::string_view root) {
    char buffer[256];
    const ssize_t n = readSmall(ProcPath(root, pid, "comm"), buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    std::string_view name(buffer, size_t(n));
    if (name.ends_with('\n')) name.remove_suffix(1);
    return std::string(name);
}

std::optional<std::string> commandPath(int32_t pid, std::string_view root) {
    char buffer[4096];
    const ssize_t n = readSmall(ProcPath(root, pid, "cmdline"), buffer, sizeof buffer);
    if (n <= 0 || buffer[0] != '/') return std::nullopt;
    const auto* nul = static_cast<const char*>(std::memchr(buffer, '\0', size_t(n)));
    // Without its terminator the first argument may go on past what was read.
    if (!nul) return std::nullopt;
    return std::string(buffer, size_t(nul - buffer));
}

uint64_t ticksPerSecond() {
    static const uint64_t ticks = [] {
        const long hz = ::sysconf(_SC_CLK_TCK);
        return hz > 0 ? uint64_t(hz) : uint64_t(100);
    }();
    return ticks;
}

uint64_t ticksSinceBoot() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return uint64_t(now.tv_sec) * ticksPerSecond() + uint64_t(now.tv_nsec) * ticksPerSecond() / 1'000'000'000;
}

uint64_t ticksToNanoseconds(uint64_t ticks) {
    const uint64_t hz = ticksPerSecond();
    return ticks / hz * 1'000'000'000 + ticks % hz * 1'000'000'000 / hz;
}

} // namespace dormio::ProcessTable

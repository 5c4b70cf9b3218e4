#include "DormioKit/ProcessRunner.h"

#include "DormioKit/PowerLogParser.h"
#include "DormioKit/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dormio::PowerLogParser {

namespace {

using Clock = std::chrono::steady_clock;

// Where the kernel gives no process descriptor to poll, the end of the child is noticed by asking.
constexpr auto exitCheckInterval = std::chrono::milliseconds(20);
// Longer time-outs and graces are taken as this one; it keeps the clock arithmetic finite.
constexpr double longestTimeout = 1e9;
constexpr size_t readChunk = 64 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class SpawnSettings {
public:
    SpawnSettings() {
        ok_ = posix_spawn_file_actions_init(&actions) == 0 && posix_spawnattr_init(&attributes) == 0;
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }

    // Standard output into the pipe, standard error to nothing: an unread pipe there could fill up and
    // block the child. The child leads a process group of its own, so that the signals of a time-out reach
    // whatever it started too, and it starts with no signal blocked or ignored.
    bool prepare(int outputFd) {
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        return ok_ && posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO) == 0 &&
               posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
               posix_spawnattr_setpgroup(&attributes, 0) == 0 &&
               posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
               posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
               posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                         POSIX_SPAWN_SETSIGDEF) == 0;
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;

private:
    bool ok_ = false;
};

bool holdsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

// The child's pid, or nothing when it cannot be started. glibc's posix_spawn also reports a failed exec.
std::optional<pid_t> spawnChild(const std::string& path, const std::vector<std::string>& args, int outputFd) {
    if (holdsNul(path) || std::any_of(args.begin(), args.end(), holdsNul)) return std::nullopt;
    SpawnSettings settings;
    if (!settings.prepare(outputFd)) return std::nullopt;
    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), &settings.actions, &settings.attributes, argv.data(), environ) != 0)
        return std::nullopt;
    return pid;
}

// True once the child has been reaped here, or cannot be waited for any more (someone else reaped it).
bool reap(pid_t pid, bool block) {
    for (;;) {
        const pid_t result = ::waitpid(pid, nullptr, block ? 0 : WNOHANG);
        if (result == pid) return true;
        if (result == 0) return false;
        if (errno != EINTR) return true;
    }
}

// The child leads a process group of its own, so that a signal reaches whatever it started too; a child
// that has moved to another group is signalled by itself as well, else nothing would ever end it. Only for
// a child not yet reaped: after that its pid may belong to another process.
void signalChild(pid_t pid, int signal) {
    if (::getpgid(pid) != pid) ::kill(pid, signal);
    ::kill(-pid, signal);
}

int pollMilliseconds(Clock::duration wait) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(std::max(wait, Clock::duration::zero()));
    return static_cast<int>(std::min<std::chrono::milliseconds::rep>(ms.count(), 3'600'000));
}

// Reads one chunk; false at the end of the output, or on an error that ends it.
bool readChunkInto(int fd, std::string& output) {
    const size_t had = output.size();
    output.resize(had + readChunk);
    ssize_t count;
    do {
        count = ::read(fd, output.data() + had, readChunk);
    } while (count < 0 && errno == EINTR);
    output.resize(had + static_cast<size_t>(std::max<ssize_t>(count, 0)));
    return count > 0;
}

// Seconds on the clock: not positive (NaN included) gives none, a very long span the longest.
Clock::duration clockSeconds(double seconds) {
    seconds = seconds > 0 ? std::min(seconds, longestTimeout) : 0;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

RunResult run(const std::string& path, const std::vector<std::string>& args, double timeout, double grace) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {{}, RunOutcome::couldNotStart};
    FileDescriptor output(fds[0]);
    FileDescriptor childEnd(fds[1]);
    const auto pid = spawnChild(path, args, childEnd.get());
    if (!pid) return {{}, RunOutcome::couldNotStart};
    childEnd.reset();

    const auto started = Clock::now();
    const auto deadline = started + clockSeconds(timeout);
    const auto terminationGrace = clockSeconds(grace);
    auto stopReading = deadline + terminationGrace;
    const FileDescriptor exitSignal(static_cast<int>(::syscall(SYS_pidfd_open, *pid, 0)));

    std::string text;
    bool reaped = false;
    bool terminated = false;
    for (;;) {
        const auto now = Clock::now();
        if (!reaped && reap(*pid, false)) {
            reaped = true;
            stopReading = std::min(stopReading, now + terminationGrace);
        }
        if (reaped && !output.isOpen()) break;
        if (!reaped && !terminated && now >= deadline) {
            signalChild(*pid, SIGTERM);
            terminated = true;
            // The grace counts from the request itself, also when this thread was held up past the deadline.
            stopReading = now + terminationGrace;
        }
        if (now >= stopReading) break;
        auto wakeAt = stopReading;
        if (!reaped && !terminated) wakeAt = std::min(wakeAt, deadline);
        if (!reaped && !exitSignal.isOpen()) wakeAt = std::min(wakeAt, now + exitCheckInterval);
        pollfd watched[2] = {{output.get(), POLLIN, 0}, {reaped ? -1 : exitSignal.get(), POLLIN, 0}};
        if (::poll(watched, 2, pollMilliseconds(wakeAt - now)) <= 0) continue;
        if (watched[0].revents != 0 && !readChunkInto(output.get(), text)) output.reset();
    }

    // Whatever of the group still holds on after the grace is killed, and the child is always reaped. A
    // child that ended by itself leaves its descendants alone: we only stop listening to them.
    if (!reaped) {
        signalChild(*pid, SIGKILL);
        reap(*pid, true);
    } else if (terminated && output.isOpen()) {
        ::kill(-*pid, SIGKILL);
    }
    return {Utf8::repaired(text), terminated ? RunOutcome::timedOut : RunOutcome::completed};
}

SystemLog loadSystemLog() {
    auto result = run("/usr/bin/pmset", {"-g", "log"}, 60);
    return {parse(result.text), result.outcome};
}

} // namespace dormio::PowerLogParser

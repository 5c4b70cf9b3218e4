#pragma once

#include "Dormio/Core/System/ProcessTable.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

// The executables of the processes that earlier reads saw, each kept with the inode of its process's
// folder, so that a later process given the same id is read afresh. A read then reads the link of only
// the processes it has not seen settled: the executables of hundreds of processes otherwise cost a link
// read each, on every live read.
//
// A process runs the program it was started with, or the one it replaced itself with at once: a launcher
// or a freshly forked child does so within its first moments. A process started longer ago than
// `settledSeconds` keeps its program; a younger one is read again the next time.
class KnownExecutables {
public:
    static constexpr uint64_t settledSeconds = 2;

    explicit KnownExecutables(std::string_view root = ProcessTable::defaultRoot);

    // The executable of every listed process that has one that may be read; processes no longer listed
    // are forgotten.
    QHash<int32_t, QString> read(const std::vector<ProcessTable::Entry>& listed);

private:
    struct Known {
        uint64_t inode = 0;
        std::optional<QString> executable; // none for kernel threads and processes of others
    };

    std::string root_;
    std::mutex mutex_;
    QHash<int32_t, Known> known_;
};

} // namespace dormio

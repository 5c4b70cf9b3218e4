#include "Dormio/Core/System/KnownExecutables.h"

namespace dormio {

KnownExecutables::KnownExecutables(std::string_view root) : root_(root) {}

QHash<int32_t, QString> KnownExecutables::read(const std::vector<ProcessTable::Entry>& listed) {
    const std::lock_guard lock(mutex_);
    const uint64_t settledBefore =
        ProcessTable::ticksSinceBoot() - settledSeconds * ProcessTable::ticksPerSecond();
    QHash<int32_t, Known> stillListed;
    stillListed.reserve(qsizetype(listed.size()));
    QHash<int32_t, QString> executables;
    executables.reserve(qsizetype(listed.size()));
    for (const ProcessTable::Entry& entry : listed) {
        std::optional<QString> executable;
        if (const auto found = known_.constFind(entry.pid);
            found != known_.cend() && found->inode == entry.inode) {
            executable = found->executable;
            stillListed.insert(entry.pid, *found);
        } else {
            if (const auto path = ProcessTable::exePath(entry.pid, root_))
                executable = QString::fromStdString(*path);
            if (const auto stat = ProcessTable::stat(entry.pid, root_);
                stat && stat->startTime <= settledBefore)
                stillListed.insert(entry.pid, Known{entry.inode, executable});
        }
        if (executable) executables.insert(entry.pid, *executable);
    }
    known_.swap(stillListed);
    return executables;
}

} // namespace dormio

#pragma once

// The systemd journal read through libsystemd: the machine's own, or the journal files of one folder.

#include "Dormio/Core/System/JournalEntry.h"

#include <optional>
#include <string>

namespace dormio {

class SystemJournal final : public JournalSource {
public:
    // Without a folder, the local machine's system journal of all the boots it keeps.
    explicit SystemJournal(std::optional<std::string> folder = std::nullopt) : folder_(std::move(folder)) {}

    // Walks back boot by boot from the newest, each from its last entry, keeping the messages of
    // systemd-sleep, systemd-logind, the kernel, the journal and the service manager's unit starts, and
    // stops after the boot that began before `since` or at one that ended before it. Only the boots met
    // are looked up, however many the journal keeps.
    JournalRead read(int64_t since) override;

private:
    std::optional<std::string> folder_;
};

} // namespace dormio

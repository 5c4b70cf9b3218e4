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

    // Walks back from the newest entry of systemd-sleep, systemd-logind and the kernel to the first one
    // older than `since`, keeping the messages about sleep and wake. None when there are no journal files or
    // they cannot be opened.
    std::optional<JournalRead> read(int64_t since) override;

private:
    std::optional<std::string> folder_;
};

} // namespace dormio

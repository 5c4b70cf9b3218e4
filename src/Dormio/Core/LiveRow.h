#pragma once

// Holders the way the user knows them: a live assertion, or a night's kept-awake entry, paired with the
// identity of its process.

#include "Dormio/Core/System/AppIdentity.h"
#include "Dormio/Core/System/RunningApps.h"
#include "DormioKit/Assertions.h"
#include "DormioKit/Night.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

struct LiveRow {
    LiveAssertion assertion;
    AppIdentity identity; // of the assertion's owner pid
    // What the owner pid ran when the live read saw it: a quit signals only that same process, never a
    // later one that reused the pid. None when the process could not be read.
    std::optional<ProcessStamp> owner = {};

    // Two rows of one process with the same type and name share an id.
    std::string id() const { return assertion.id(); }
    bool operator==(const LiveRow&) const = default;
};

// A key per row that no other row of the list shares: the row's id, "#", and how many rows with that id
// come before it. The last "#" ends the id, so no two rows' keys agree whatever their names hold. Views
// key their rows by it, so that two assertions of one process with the same type and name neither
// collapse into one row nor trade places.
std::vector<std::string> uniqueKeys(const std::vector<LiveRow>& rows);

struct KeptAwakeRow {
    KeptAwake entry;
    AppIdentity identity; // looked up by the entry's process name

    const std::string& id() const { return entry.id(); }
    bool operator==(const KeptAwakeRow&) const = default;
};

} // namespace dormio

// Hashing covers the same fields as equality, in declaration order.
template <> struct std::hash<dormio::LiveRow> {
    std::size_t operator()(const dormio::LiveRow& row) const noexcept;
};
template <> struct std::hash<dormio::KeptAwakeRow> {
    std::size_t operator()(const dormio::KeptAwakeRow& row) const noexcept;
};

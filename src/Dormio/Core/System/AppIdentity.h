#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace dormio {

// Who a process is, as the user knows it.
struct AppIdentity {
    std::string name;
    std::optional<std::string> path; // the app bundle or the executable
    std::optional<std::string> bundleID;
    bool isUserApp = false; // a running app with the regular activation policy

    bool operator==(const AppIdentity&) const = default;
};

} // namespace dormio

template <> struct std::hash<dormio::AppIdentity> {
    std::size_t operator()(const dormio::AppIdentity& identity) const noexcept;
};

#include "DormioKit/ProcessNames.h"

#include <array>

namespace dormio::ProcessNames {

namespace {

struct Row {
    std::string_view process;
    std::string_view value;
};

// Friendly names with the process name in parentheses, except where the words say enough.
constexpr std::array<Row, 14> withName{{
    {"coreaudiod", "Audio"},
    {"runningboardd", "App manager"},
    {"backupd", "Time Machine"},
    {"backupd-helper", "Time Machine"},
    {"dasd", "Background tasks"},
    {"mds", "Spotlight"},
    {"mds_stores", "Spotlight"},
    {"mdworker", "Spotlight"},
    {"sharingd", "AirDrop & Handoff"},
    {"cloudd", "iCloud"},
    {"bird", "iCloud"},
    {"routined", "Location history"},
    {"photoanalysisd", "Photos analysis"},
    {"mediaanalysisd", "Photos analysis"},
}};

constexpr std::array<Row, 2> withoutName{{
    {"softwareupdated", "Software Update"},
    {"AddressBookSourceSync", "Contacts sync"},
}};

// The symbol of a process the table below does not know.
constexpr std::string_view unknownSymbol = "gearshape";

constexpr std::array<Row, 26> symbols{{
    {"coreaudiod", "music.note"},
    {"Music", "music.note"},
    {"Spotify", "music.note"},
    {"Podcasts", "music.note"},
    {"backupd", "clock.arrow.circlepath"},
    {"backupd-helper", "clock.arrow.circlepath"},
    {"dasd", "calendar.badge.clock"},
    {"mds", "magnifyingglass"},
    {"mds_stores", "magnifyingglass"},
    {"mdworker", "magnifyingglass"},
    {"Spotlight", "magnifyingglass"},
    {"sharingd", "dot.radiowaves.left.and.right"},
    {"cloudd", "icloud"},
    {"bird", "icloud"},
    {"softwareupdated", "arrow.down.circle"},
    {"powerd", "bolt"},
    {"runningboardd", "square.stack.3d.up"},
    {"Mail", "envelope"},
    {"Safari", "globe"},
    {"Google Chrome", "globe"},
    {"Firefox", "globe"},
    {"Arc", "globe"},
    {"photoanalysisd", "photo"},
    {"mediaanalysisd", "photo"},
    {"Photos", "photo"},
    {"routined", "location"},
}};

template <size_t N> const Row* find(const std::array<Row, N>& rows, std::string_view process) {
    for (const Row& row : rows)
        if (row.process == process) return &row;
    return nullptr;
}

} // namespace

std::string friendly(std::string_view process) {
    if (const Row* row = find(withName, process))
        return std::string(row->value) + " (" + std::string(process) + ")";
    if (const Row* row = find(withoutName, process)) return std::string(row->value);
    return std::string(process);
}

std::string symbol(std::string_view process) {
    if (const Row* row = find(symbols, process)) return std::string(row->value);
    return std::string(unknownSymbol);
}

std::vector<std::string_view> allSymbols() {
    std::vector<std::string_view> names{unknownSymbol};
    for (const Row& row : symbols)
        names.push_back(row.value);
    return names;
}

std::optional<std::string> appBundle(std::string_view path) {
    constexpr std::string_view inside = ".app/";
    if (const size_t at = path.find(inside); at != std::string_view::npos)
        return std::string(path.substr(0, at + 4));
    if (path.ends_with(".app")) return std::string(path);
    return std::nullopt;
}

} // namespace dormio::ProcessNames

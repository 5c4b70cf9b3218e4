#include "Dormio/Core/LiveRow.h"

#include "DormioKit/Hash.h"

#include <unordered_map>

namespace {

template <typename First, typename Second> std::size_t hashed(const First& first, const Second& second) {
    dormio::Hasher hasher;
    hasher.add(static_cast<int64_t>(std::hash<First>{}(first)));
    hasher.add(static_cast<int64_t>(std::hash<Second>{}(second)));
    return hasher.value();
}

} // namespace

std::size_t std::hash<dormio::LiveRow>::operator()(const dormio::LiveRow& row) const noexcept {
    dormio::Hasher hasher;
    hasher.add(static_cast<int64_t>(hashed(row.assertion, row.identity)));
    hasher.add(row.owner.has_value());
    if (row.owner) {
        hasher.add(static_cast<int64_t>(row.owner->startTime));
        hasher.add(std::string_view(row.owner->executable.toStdString()));
    }
    return hasher.value();
}

std::size_t std::hash<dormio::KeptAwakeRow>::operator()(const dormio::KeptAwakeRow& row) const noexcept {
    return hashed(row.entry, row.identity);
}

std::vector<std::string> dormio::uniqueKeys(const std::vector<LiveRow>& rows) {
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    std::unordered_map<std::string, int> seen;
    for (const LiveRow& row : rows) {
        std::string id = row.id();
        const int before = seen[id]++;
        keys.push_back(id + "#" + std::to_string(before));
    }
    return keys;
}

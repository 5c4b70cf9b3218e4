#include "Dormio/Core/HistoryFile.h"

#include "Dormio/Core/StoredFile.h"
#include "DormioKit/NightJson.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace dormio::HistoryFile {

namespace {

constexpr double keptSeconds = 60 * 86'400.0;

// The stored nights worth keeping, in their order.
std::vector<Night> keptStored(std::vector<Night> stored, const std::vector<Night>& fresh) {
    std::unordered_set<std::string> freshIDs;
    for (const Night& night : fresh)
        freshIDs.insert(night.id);
    std::unordered_map<std::string, std::size_t> lastOfID;
    for (std::size_t i = 0; i < stored.size(); ++i)
        lastOfID[stored[i].id] = i;
    std::vector<Night> kept;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        Night& night = stored[i];
        if (night.isDemo || night.inProgress || freshIDs.contains(night.id) || lastOfID[night.id] != i)
            continue;
        kept.push_back(std::move(night));
    }
    return kept;
}

} // namespace

Stored read(const QString& path) {
    const StoredFile::Contents contents = StoredFile::read(path);
    if (contents.state == StoredFile::Contents::State::missing) return {};
    auto nights = decodeNights(std::string_view(contents.bytes.constData(), contents.bytes.size()));
    if (contents.damaged() || !nights) return {{}, true};
    return {std::move(*nights), false, true};
}

std::vector<Night> merged(std::vector<Night> stored, std::vector<Night> fresh, Date now) {
    std::vector<Night> nights = keptStored(std::move(stored), fresh);
    std::move(fresh.begin(), fresh.end(), std::back_inserter(nights));
    const Date oldestEnd = now - keptSeconds;
    std::erase_if(nights, [&](const Night& night) { return !(night.end > oldestEnd); });
    std::stable_sort(nights.begin(), nights.end(),
                     [](const Night& a, const Night& b) { return a.start < b.start; });
    return nights;
}

bool holds(const Stored& stored, const std::vector<Night>& nights) {
    if (!stored.read) return false;
    auto onDisk = stored.nights.begin();
    for (const Night& night : nights) {
        if (night.inProgress) continue;
        if (onDisk == stored.nights.end() || !(*onDisk == night)) return false;
        ++onDisk;
    }
    return onDisk == stored.nights.end();
}

std::optional<QString> write(const QString& path, const std::vector<Night>& nights, bool damaged) {
    std::vector<Night> finished;
    std::copy_if(nights.begin(), nights.end(), std::back_inserter(finished),
                 [](const Night& night) { return !night.inProgress; });
    const QString unencodable =
        QStringLiteral("couldn’t encode the nights of “") + path + QStringLiteral("”");
    // A damaged file goes aside before the writing starts: only once it is known that something can take its
    // place.
    if (damaged && !writeNights(finished, [](std::string_view) { return true; })) return unencodable;
    return StoredFile::write(
        path, [&](const StoredFile::Put& put) { return writeNights(finished, put); }, damaged, unencodable);
}

} // namespace dormio::HistoryFile

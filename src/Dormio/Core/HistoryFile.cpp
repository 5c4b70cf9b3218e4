#include "Dormio/Core/HistoryFile.h"

#include "Dormio/Core/StoredFile.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightJson.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace dormio::HistoryFile {

namespace {

constexpr double keptSeconds = 60 * 86'400.0;

using Nights = std::vector<Night*>;

bool byStart(const Night* a, const Night* b) {
    return a->start < b->start;
}

std::unordered_set<std::string_view> ids(const Nights& nights) {
    std::unordered_set<std::string_view> result;
    for (const Night* night : nights)
        result.insert(night->id);
    return result;
}

// The stored nights worth keeping, in their order: no sample nights, none in progress, none that starts
// after now (recorded while the clock ran ahead), and of two with one id the later.
Nights keptStored(std::vector<Night>& stored, Date now) {
    std::unordered_map<std::string_view, std::size_t> lastOfID;
    for (std::size_t i = 0; i < stored.size(); ++i)
        lastOfID[stored[i].id] = i;
    Nights kept;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        Night& night = stored[i];
        if (night.isDemo || night.inProgress || now < night.start || lastOfID[night.id] != i) continue;
        kept.push_back(&night);
    }
    return kept;
}

// Whether the log knows more about this night than the record of it: a log that ends before the newest
// stored night began is an old one, and a night in which nothing happened only carries the log's last
// state on, which may be long gone.
bool mayReplaceStored(const Night& fresh, const PowerLog& log, bool logIsOlder) {
    return !logIsOlder && NightBuilder::isWitnessed(log, fresh.start, fresh.end);
}

// The merge itself, on pointers into both lists, so that the stored nights are still there to compare with
// once it is made.
Nights merged(std::vector<Night>& stored, std::vector<Night>& fresh, const PowerLog& log, Date now) {
    Nights nights = keptStored(stored, now);
    const std::optional<Date> lastLine = NightBuilder::lastDate(log);
    const bool logIsOlder =
        !nights.empty() &&
        (!lastLine || *lastLine < (*std::max_element(nights.begin(), nights.end(), byStart))->start);
    // A night that may not replace its stored copy gives way to it; the others replace theirs.
    const std::unordered_set<std::string_view> storedIDs = ids(nights);
    Nights replacing;
    for (Night& night : fresh)
        if (!storedIDs.contains(night.id) || mayReplaceStored(night, log, logIsOlder))
            replacing.push_back(&night);
    const std::unordered_set<std::string_view> freshIDs = ids(replacing);
    std::erase_if(nights, [&](const Night* night) { return freshIDs.contains(night->id); });
    nights.insert(nights.end(), replacing.begin(), replacing.end());
    const Date oldestEnd = now - keptSeconds;
    std::erase_if(nights, [&](const Night* night) { return !(night->end > oldestEnd); });
    std::stable_sort(nights.begin(), nights.end(), byStart);
    return nights;
}

// Whether the finished nights are the stored ones, in their order. A stored night kept in place is itself.
bool holds(const std::vector<Night>& stored, const Nights& nights) {
    auto onDisk = stored.begin();
    for (const Night* night : nights) {
        if (night->inProgress) continue;
        if (onDisk == stored.end() || (night != &*onDisk && !(*night == *onDisk))) return false;
        ++onDisk;
    }
    return onDisk == stored.end();
}

// The text of `night` in the file, when it is one of the stored nights and has one.
std::string_view storedText(const Stored& stored, const Night* night) {
    const std::less<const Night*> before;
    const Night* first = stored.nights.data();
    if (before(night, first) || !before(night, first + stored.texts.size())) return {};
    return stored.texts[std::size_t(night - first)];
}

} // namespace

Stored read(const QString& path) {
    StoredFile::Contents contents = StoredFile::read(path);
    if (contents.state == StoredFile::Contents::State::missing) return {};
    Stored stored;
    auto nights =
        decodeNights(std::string_view(contents.bytes.constData(), contents.bytes.size()), &stored.texts);
    if (contents.damaged() || !nights) return {{}, true};
    stored.nights = std::move(*nights);
    stored.read = true;
    stored.bytes = std::move(contents.bytes);
    return stored;
}

Merged merge(Stored stored, std::vector<Night> fresh, const PowerLog& log, Date now) {
    const Nights nights = merged(stored.nights, fresh, log, now);
    Merged result{{}, stored.read && holds(stored.nights, nights)};
    result.nights.reserve(nights.size());
    result.texts.reserve(nights.size());
    for (Night* night : nights) {
        result.texts.push_back(storedText(stored, night));
        result.nights.push_back(std::move(*night));
    }
    result.bytes = std::move(stored.bytes);
    return result;
}

std::optional<QString> write(const QString& path, const std::vector<Night>& nights, bool damaged,
                             const std::vector<std::string_view>& texts) {
    std::vector<const Night*> finished;
    std::vector<std::string_view> finishedTexts;
    for (std::size_t i = 0; i < nights.size(); ++i) {
        if (nights[i].inProgress) continue;
        finished.push_back(&nights[i]);
        finishedTexts.push_back(i < texts.size() ? texts[i] : std::string_view());
    }
    const QString unencodable =
        QStringLiteral("couldn’t encode the nights of “") + path + QStringLiteral("”");
    // A damaged file goes aside before the writing starts: only once it is known that something can take its
    // place.
    if (damaged && !writeNights(
                       finished, [](std::string_view) { return true; }, finishedTexts))
        return unencodable;
    return StoredFile::write(
        path, [&](const StoredFile::Put& put) { return writeNights(finished, put, finishedTexts); }, damaged,
        unencodable);
}

} // namespace dormio::HistoryFile

#include "Dormio/Core/HistoryFile.h"

#include "DormioKit/NightJson.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
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

// Moves the file at `path`, whatever it is, to "<path>.damaged", replacing an older copy. Fails rather than
// let the damaged file be overwritten.
bool moveAside(const QString& path) {
    const QByteArray aside = QFile::encodeName(path + QStringLiteral(".damaged"));
    std::remove(aside.constData());
    return std::rename(QFile::encodeName(path).constData(), aside.constData()) == 0;
}

} // namespace

Stored read(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return {};
    // Anything but a regular file (a folder, a pipe that would never end) is damaged, not waited on.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return {{}, true};
    const QByteArray bytes = file.readAll();
    auto nights = decodeNights(std::string_view(bytes.constData(), bytes.size()));
    if (!nights) return {{}, true};
    return {std::move(*nights), false};
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

bool write(const QString& path, const std::vector<Night>& nights, bool damaged) {
    std::vector<Night> finished;
    std::copy_if(nights.begin(), nights.end(), std::back_inserter(finished),
                 [](const Night& night) { return !night.inProgress; });
    const auto text = encodeNights(finished);
    if (!text) return false;
    // Aside before the save file opens: it writes through a symlink to its target, which would overwrite a
    // damaged target and leave the link's own name without a history.
    if (damaged && !moveAside(path)) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text->data(), static_cast<qint64>(text->size())) != static_cast<qint64>(text->size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace dormio::HistoryFile

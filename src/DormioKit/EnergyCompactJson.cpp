#include "DormioKit/EnergyCompactJson.h"

#include "DormioKit/CompactJson.h"

#include <string>
#include <utility>

namespace dormio::EnergyCompactJson {

namespace {

using CompactJson::Reader;

// Members of an object in strictly ascending key order; `member` reads one value after its colon.
template <typename Member> bool ascendingMembers(Reader& in, Member&& member) {
    if (!in.literal("{")) return false;
    if (in.literal("}")) return true;
    std::string previous, key;
    bool first = true;
    do {
        if (!in.string(key) || !in.literal(":")) return false;
        if (!first && !(previous < key)) return false;
        if (!member(key)) return false;
        std::swap(previous, key);
        first = false;
    } while (in.literal(","));
    return in.literal("}");
}

bool appInfo(Reader& in, std::string_view key, EnergyFile& file) {
    EnergyAppInfo info;
    if (!in.literal("{\"name\":") || !in.string(info.name)) return false;
    if (in.literal(",\"path\":") && !in.string(info.path.emplace())) return false;
    if (!in.literal("}")) return false;
    file.apps.emplace_hint(file.apps.end(), key, std::move(info));
    return true;
}

bool sample(Reader& in, EnergyFile& file) {
    EnergySample sample;
    const bool amounts = in.literal("{\"apps\":") && ascendingMembers(in, [&](std::string_view key) {
                             double millijoules = 0;
                             if (!in.number(millijoules)) return false;
                             sample.apps.emplace_hint(sample.apps.end(), key, millijoules);
                             return true;
                         });
    if (!amounts || !in.literal(",\"t\":") || !in.number(sample.t.seconds) || !in.literal("}")) return false;
    file.samples.push_back(std::move(sample));
    return true;
}

} // namespace

std::optional<EnergyFile> read(std::string_view json) {
    Reader in(json);
    EnergyFile file;
    if (!in.literal("{\"apps\":") ||
        !ascendingMembers(in, [&](std::string_view key) { return appInfo(in, key, file); }))
        return std::nullopt;
    if (!in.literal(",\"samples\":[")) return std::nullopt;
    if (!in.literal("]")) {
        do {
            if (!sample(in, file)) return std::nullopt;
        } while (in.literal(","));
        if (!in.literal("]")) return std::nullopt;
    }
    if (!in.literal("}") || !in.atEnd()) return std::nullopt;
    return file;
}

} // namespace dormio::EnergyCompactJson

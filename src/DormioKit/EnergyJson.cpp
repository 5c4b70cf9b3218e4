#include "DormioKit/EnergyJson.h"

#include "DormioKit/EnergyCompactJson.h"
#include "DormioKit/StoredJson.h"

namespace dormio {

namespace {

using namespace StoredJson;

Json write(const EnergySample& sample) {
    Json apps = Json::object();
    for (const auto& [key, millijoules] : sample.apps)
        apps[key] = finite(millijoules);
    return {{"t", seconds(sample.t)}, {"apps", std::move(apps)}};
}

Json write(const EnergyAppInfo& info) {
    Json object = {{"name", info.name}};
    if (info.path) object["path"] = *info.path;
    return object;
}

Json write(const EnergyFile& file) {
    Json samples = Json::array();
    for (const EnergySample& sample : file.samples)
        samples.push_back(write(sample));
    Json apps = Json::object();
    for (const auto& [key, info] : file.apps)
        apps[key] = write(info);
    return {{"samples", std::move(samples)}, {"apps", std::move(apps)}};
}

EnergySample readSample(const Json& value) {
    EnergySample sample{date(member(value, "t")), {}};
    for (const auto& [key, millijoules] : object(member(value, "apps")))
        sample.apps.emplace(key, number(millijoules));
    return sample;
}

EnergyAppInfo readAppInfo(const Json& value) {
    EnergyAppInfo info{string(member(value, "name")), std::nullopt};
    if (const Json* path = optionalMember(value, "path")) info.path = string(*path);
    return info;
}

EnergyFile readFile(const Json& document) {
    EnergyFile file;
    for (const Json& sample : array(member(document, "samples")))
        file.samples.push_back(readSample(sample));
    for (const auto& [key, info] : object(member(document, "apps")))
        file.apps.emplace(key, readAppInfo(info));
    return file;
}

} // namespace

std::optional<std::string> encodeEnergyFile(const EnergyFile& file) {
    return StoredJson::encode([&] { return write(file); });
}

std::optional<EnergyFile> decodeEnergyFile(std::string_view json) {
    if (auto file = EnergyCompactJson::read(json)) return file;
    return StoredJson::decode(json, readFile);
}

} // namespace dormio

#include "Dormio/Core/System/AppIdentity.h"

#include "DormioKit/Hash.h"

#include <string_view>

std::size_t std::hash<dormio::AppIdentity>::operator()(const dormio::AppIdentity& identity) const noexcept {
    dormio::Hasher hasher;
    hasher.add(std::string_view(identity.name));
    hasher.add(identity.path);
    hasher.add(identity.bundleID);
    hasher.add(identity.isUserApp);
    return hasher.value();
}

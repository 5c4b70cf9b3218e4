#include "DormioKit/TextPool.h"

namespace dormio {

std::string_view TextPool::intern(std::string_view text) {
    if (const auto known = index_.find(text); known != index_.end()) return *known;
    const std::string_view kept = texts_.emplace_back(text);
    index_.insert(kept);
    return kept;
}

void TextPool::keep(std::shared_ptr<const TextPool> other) {
    kept_.push_back(std::move(other));
}

} // namespace dormio

#include "DormioKit/SharedText.h"

#include <atomic>
#include <cstring>
#include <new>
#include <ostream>

namespace dormio {

// The header and then the text's bytes, in one allocation.
struct SharedText::Block {
    std::atomic<std::size_t> holders{1};
    std::size_t size = 0;

    char* chars() { return reinterpret_cast<char*>(this + 1); }
};

SharedText::SharedText(std::string_view text) {
    if (text.empty()) return;
    block_ = new (::operator new(sizeof(Block) + text.size())) Block;
    block_->size = text.size();
    std::memcpy(block_->chars(), text.data(), text.size());
}

SharedText::SharedText(const SharedText& other) noexcept : block_(other.block_) {
    if (block_) block_->holders.fetch_add(1, std::memory_order_relaxed);
}

SharedText::~SharedText() {
    // The last holder must see every other holder's use of the text done before it frees it.
    if (block_ && block_->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        block_->~Block();
        ::operator delete(block_);
    }
}

std::string_view SharedText::view() const {
    return block_ ? std::string_view(block_->chars(), block_->size) : std::string_view();
}

std::ostream& operator<<(std::ostream& out, const SharedText& text) {
    return out << text.view();
}

SharedText SharedTextPool::intern(std::string_view text) {
    if (const auto known = texts_.find(text); known != texts_.end()) return *known;
    return *texts_.insert(SharedText(text)).first;
}

} // namespace dormio

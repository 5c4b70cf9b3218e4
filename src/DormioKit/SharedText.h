#pragma once

// An immutable text that copies by sharing. A night's events repeat the same few labels, symbols,
// requesters and log lines hundreds of times; sixty stored nights of a wake storm would otherwise hold
// every copy apart. The count of holders is atomic, since nights read on the thread pool are kept and
// copied on the main thread.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace dormio {

class SharedText {
public:
    SharedText() = default;
    SharedText(std::string_view text);
    SharedText(const std::string& text) : SharedText(std::string_view(text)) {}
    SharedText(const char* text) : SharedText(std::string_view(text)) {}
    SharedText(const SharedText& other) noexcept;
    SharedText(SharedText&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    SharedText& operator=(SharedText other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }
    ~SharedText();

    std::string_view view() const;
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return block_ == nullptr; }
    std::size_t size() const { return view().size(); }

    // Also serves two shared texts: the second converts, and one copy is its own match at once.
    friend bool operator==(const SharedText& text, std::string_view other) { return text.view() == other; }

private:
    struct Block;
    Block* block_ = nullptr; // none for the empty text
};

std::ostream& operator<<(std::ostream& out, const SharedText& text);

// Each distinct text of one read once: what it hands out for equal texts shares one copy.
class SharedTextPool {
public:
    SharedText intern(std::string_view text);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_set<SharedText, Hash, std::equal_to<>> texts_;
};

} // namespace dormio

template <> struct std::hash<dormio::SharedText> {
    std::size_t operator()(const dormio::SharedText& text) const noexcept {
        return std::hash<std::string_view>{}(text.view());
    }
};

#pragma once

// Each distinct text once, at an address that never moves. A busy log names the same few processes,
// assertion names and wake-request infos hundreds of thousands of times; its records view the one copy.

#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>

namespace dormio {

class TextPool {
public:
    // The pool's copy of `text`, made on first sight; it lives as long as the pool.
    std::string_view intern(std::string_view text);

private:
    std::deque<std::string> texts_; // a deque never moves what it holds, short strings included
    std::unordered_set<std::string_view> index_;
};

} // namespace dormio

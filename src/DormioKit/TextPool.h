#pragma once

// Each distinct text once, at an address that never moves. A busy log names the same few processes,
// assertion names and wake-request infos hundreds of thousands of times; its records view the one copy.

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace dormio {

class TextPool {
public:
    // The pool's copy of `text`, made on first sight; it lives as long as the pool.
    std::string_view intern(std::string_view text);
    // Keeps `other` as long as this pool: records joined from logs read apart view the texts of both.
    void keep(std::shared_ptr<const TextPool> other);

private:
    std::deque<std::string> texts_; // a deque never moves what it holds, short strings included
    std::unordered_set<std::string_view> index_;
    std::vector<std::shared_ptr<const TextPool>> kept_;
};

} // namespace dormio

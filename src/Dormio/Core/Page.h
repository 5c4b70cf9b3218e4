#pragma once

// The pages of the main window, in sidebar order. A page's identity is its string value.

#include <array>
#include <optional>
#include <string_view>

namespace dormio {

enum class Page { night, history, now, battery, settings };

struct Pages {
    static constexpr std::array<Page, 5> allCases{Page::night, Page::history, Page::now, Page::battery,
                                                  Page::settings};
};

constexpr std::string_view rawValue(Page page) {
    switch (page) {
    case Page::night:
        return "night";
    case Page::history:
        return "history";
    case Page::now:
        return "now";
    case Page::battery:
        return "battery";
    case Page::settings:
        return "settings";
    }
    return {};
}

constexpr std::optional<Page> pageFromRaw(std::string_view text) {
    for (Page page : Pages::allCases)
        if (rawValue(page) == text) return page;
    return std::nullopt;
}

} // namespace dormio

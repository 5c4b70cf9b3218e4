#pragma once

// Power-log lines as the system's tool prints them, for the tests' hand-made logs and the bench's
// generated ones: the date, a space, the type padded to its column, a TAB, the message and any further
// columns.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

namespace dormio::LogLines {

// Where the message column starts at the latest: the 25-byte date, a space and a type column of 20.
constexpr std::size_t typeColumnEnd = 26 + 20;

// One line, ending in LF. The type column is padded with spaces; a longer type pushes the TAB along.
inline std::string line(std::string_view date, std::string_view type, std::string_view message,
                        std::string_view further = {}) {
    std::string text = std::string(date) + ' ' + std::string(type);
    text.resize(std::max(text.size(), typeColumnEnd), ' ');
    text += '\t';
    text += message;
    if (!further.empty()) {
        text += '\t';
        text += further;
    }
    text += '\n';
    return text;
}

// A moment on the local clock (TZ), "yyyy-MM-dd HH:mm:ss", the form of a wake request's time.
inline std::string clock(int64_t unixSeconds) {
    const time_t t = unixSeconds;
    std::tm local{};
    localtime_r(&t, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// The same with the zone's offset, "yyyy-MM-dd HH:mm:ss +0100": the date of a line.
inline std::string date(int64_t unixSeconds) {
    const time_t t = unixSeconds;
    std::tm local{};
    localtime_r(&t, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return text;
}

// A duration as a release line gives it, "hh:mm:ss" (hours not limited to 24).
inline std::string hms(int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

} // namespace dormio::LogLines

// Times the model on a power-log file and prints one line of figures:
//
//   dormio-bench FILE          ->   lines=… bytes=… parse_ms=… build_ms=… read_ms=… nights=…
//   dormio-bench --once FILE   ->   nights=…
//
// parse_ms parses the file's text, already in memory; build_ms builds the nights of the parsed log;
// read_ms is one whole read as the app does it: the file's bytes in, the nights out, and everything it
// made freed again. Nights are built with the default window (23 to 7) in the user's calendar, as if
// read just after the log's last line. Each figure is the median of five runs, so that one slow run (a
// page fault storm, another process) does not move it; what parse and build make is freed after the
// clock has stopped.
//
// --once makes one whole read and nothing else, for timing the whole process and its peak memory.

#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int runs = 5;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The median wall time of `step` in milliseconds; the step hands back what it made, which is kept
// alive until the clock has stopped so that freeing it is not timed.
template <typename Step> double medianMs(Step step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        auto result = step();
        benchmark::DoNotOptimize(result);
        times.push_back(millisecondsSince(start));
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

std::optional<std::string> readFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) return std::nullopt;
    std::string text(size, '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return text;
}

// The latest date of any kept line.
dormio::Date lastDate(const dormio::PowerLog& log) {
    dormio::Date last = log.firstDate.value_or(dormio::Date{});
    if (!log.events.empty()) last = std::max(last, log.events.back().date);
    if (!log.display.empty()) last = std::max(last, log.display.back().date);
    if (!log.requests.empty()) last = std::max(last, log.requests.back().logged);
    if (!log.releases.empty()) last = std::max(last, log.releases.back().end);
    return last;
}

std::vector<dormio::Night> build(const dormio::PowerLog& log) {
    return dormio::NightBuilder::build(log, dormio::NightWindow{}, lastDate(log) + 1,
                                       dormio::Calendar::current());
}

// The file as the app reads its log: bytes in, nights out. Text that is not UTF-8 reads as empty.
std::size_t wholeRead(const std::string& path) {
    const dormio::PowerLog log = dormio::PowerLogParser::parseFile(path).log.value_or(dormio::PowerLog{});
    return build(log).size();
}

std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const bool once = argc == 3 && std::string_view(argv[1]) == "--once";
    if (argc != 2 && !once) {
        std::cerr << "usage: dormio-bench [--once] FILE\n";
        return 2;
    }
    const std::string path = argv[argc - 1];
    if (once) {
        std::cout << "nights=" << wholeRead(path) << '\n';
        return 0;
    }
    const auto text = readFile(path);
    if (!text) {
        std::cerr << "dormio-bench: cannot read " << path << '\n';
        return 1;
    }

    const double parseMs = medianMs([&] { return dormio::PowerLogParser::parse(*text); });
    const dormio::PowerLog log = dormio::PowerLogParser::parse(*text);
    const double buildMs = medianMs([&] { return build(log); });
    const double readMs = medianMs([&] { return wholeRead(path); });

    std::cout << "lines=" << std::count(text->begin(), text->end(), '\n') << " bytes=" << text->size()
              << " parse_ms=" << milliseconds(parseMs) << " build_ms=" << milliseconds(buildMs)
              << " read_ms=" << milliseconds(readMs) << " nights=" << build(log).size() << '\n';
    return 0;
}

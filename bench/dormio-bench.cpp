// Times the model on a power-log file and prints one line of figures:
//
//   dormio-bench FILE   ->   lines=… bytes=… parse_ms=… build_ms=… nights=…
//
// Nights are built with the default window (23 to 7) in the user's calendar, as if read just after the
// log's last line.
//
// Each step runs five times on the same input; the median is printed, so that one slow run (a page
// fault storm, another process) does not move the figure.

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
#include <vector>

namespace {

constexpr int runs = 5;

// The median wall time of `step` in milliseconds; the step hands back what it made, which is kept
// alive until the clock has stopped so that freeing it is not timed.
template <typename Step> double medianMs(Step step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        auto result = step();
        benchmark::DoNotOptimize(result);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

std::optional<std::string> readFile(const char* path) {
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

std::string milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: dormio-bench FILE\n";
        return 2;
    }
    const auto text = readFile(argv[1]);
    if (!text) {
        std::cerr << "dormio-bench: cannot read " << argv[1] << '\n';
        return 1;
    }

    const double parseMs = medianMs([&] { return dormio::PowerLogParser::parse(*text); });

    const dormio::PowerLog log = dormio::PowerLogParser::parse(*text);
    const dormio::Date now = lastDate(log) + 1;
    const dormio::Calendar calendar = dormio::Calendar::current();
    const auto build = [&] { return dormio::NightBuilder::build(log, dormio::NightWindow{}, now, calendar); };
    const double buildMs = medianMs(build);

    std::cout << "lines=" << std::count(text->begin(), text->end(), '\n') << " bytes=" << text->size()
              << " parse_ms=" << milliseconds(parseMs) << " build_ms=" << milliseconds(buildMs)
              << " nights=" << build().size() << '\n';
    return 0;
}

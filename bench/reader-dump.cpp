// Prints everything the model makes of a power-log file, for comparing two builds of the reader byte for
// byte (scripts/compare-readers): every record of the parsed log, read both from the file and from its
// text in memory, then the nights built from it for two night windows, as "nights.json" stores them.
// Numbers are printed in their shortest round-trip form, so any change of a value shows.
//
//   reader-dump FILE

#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightJson.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

using namespace dormio;

namespace {

std::string number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

template <typename T> std::string optional(const std::optional<T>& value) {
    if (!value) return "-";
    if constexpr (std::is_same_v<T, Date>)
        return number(value->seconds);
    else
        return std::to_string(*value);
}

void dump(std::ostream& out, const PowerLog& log) {
    out << "first " << optional(log.firstDate) << " skipped " << log.skippedLines << '\n';
    for (const PowerEvent& e : log.events)
        out << "event " << number(e.date.seconds) << ' ' << rawValue(e.kind) << " [" << e.raw << "] ["
            << e.cause << "] " << optional(e.onBattery) << ' ' << optional(e.charge) << '\n';
    for (const WakeRequest& r : log.requests)
        out << "request " << number(r.logged.seconds) << " [" << r.process << "] [" << r.request << "] "
            << optional(r.wakeAt) << " [" << r.info << "] " << r.chosen << '\n';
    for (const AssertionRelease& r : log.releases)
        out << "release " << number(r.end.seconds) << ' ' << number(r.duration) << ' ' << r.pid << " ["
            << r.process << "] [" << r.type << "] [" << r.name << "]\n";
    for (const DisplayChange& d : log.display)
        out << "display " << number(d.date.seconds) << ' ' << d.on << '\n';
}

// The latest date of any kept line: nights are built as if read one second after it.
Date lastDate(const PowerLog& log) {
    Date last = log.firstDate.value_or(Date{});
    if (!log.events.empty()) last = std::max(last, log.events.back().date);
    if (!log.display.empty()) last = std::max(last, log.display.back().date);
    if (!log.requests.empty()) last = std::max(last, log.requests.back().logged);
    if (!log.releases.empty()) last = std::max(last, log.releases.back().end);
    return last;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: reader-dump FILE\n";
        return 2;
    }
    const std::optional<PowerLog> fromFile = PowerLogParser::parseFile(argv[1]).log;
    if (!fromFile) {
        std::cout << "file: unreadable, not a file, too large or not UTF-8\n";
    } else {
        std::cout << "file:\n";
        dump(std::cout, *fromFile);
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const PowerLog log = PowerLogParser::parse(text.str());
    std::cout << "text:\n";
    dump(std::cout, log);
    for (const NightWindow window : {NightWindow{}, NightWindow{21, 9}}) {
        const auto nights = NightBuilder::build(log, window, lastDate(log) + 1, Calendar::current());
        const std::string text = encodeNights(nights).value_or("unencodable");
        std::cout << "nights " << window.startHour << '-' << window.endHour << ":\n" << text << '\n';
        // The history file's reader, over what its writer wrote.
        const auto read = decodeNights(text);
        std::cout << "read back:\n"
                  << (read ? encodeNights(*read).value_or("unencodable") : "unreadable") << '\n';
    }
    return 0;
}

#include "DormioKit/Fmt.h"

#include "DormioKit/LocalZone.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <mutex>
#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace dormio::Fmt {

namespace {

// Whole numbers are exact in a double up to 2^53: a larger duration is held there before it becomes an
// integer.
constexpr double largestWhole = 9007199254740992.0;

double shownSeconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

int64_t rounded(double nonNegative) {
    return static_cast<int64_t>(std::min(std::round(nonNegative), largestWhole));
}

// ASCII digits whatever the C library's or ICU's locale, with no grouping.
std::string number(int64_t value) {
    std::array<char, 24> digits{};
    auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return std::string(digits.data(), end);
}

struct Formatters {
    std::unique_ptr<icu::DateFormat> time, hour, clockTime, day, longDay;
};

std::unique_ptr<icu::DateFormat> fromTemplate(icu::DateTimePatternGenerator* generator, const char* skeleton,
                                              const icu::Locale& locale) {
    if (!generator) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(skeleton), status);
    auto formatter = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status)) return nullptr;
    return formatter;
}

Formatters makeFormatters() {
    const icu::Locale& locale = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    if (U_FAILURE(status)) generator.reset();
    Formatters formatters{
        std::unique_ptr<icu::DateFormat>(
            icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale)),
        fromTemplate(generator.get(), "j", locale),
        fromTemplate(generator.get(), "jmm", locale),
        fromTemplate(generator.get(), "EEE d MMM", locale),
        fromTemplate(generator.get(), "EEEE d MMMM", locale),
    };
    // The zone is the user's calendar's, the one the C library takes, not ICU's default zone, which ICU
    // detects once per process and which knows no POSIX rule.
    const std::unique_ptr<icu::TimeZone> zone = LocalZone::current();
    for (auto* formatter :
         {&formatters.time, &formatters.hour, &formatters.clockTime, &formatters.day, &formatters.longDay})
        if (*formatter) (*formatter)->setTimeZone(*zone);
    return formatters;
}

// An ICU formatter must not format on two threads at once, so one lock guards both the making and every use.
std::mutex formattersLock;
std::unique_ptr<Formatters> shared;

std::string format(std::unique_ptr<icu::DateFormat> Formatters::*which, Date date) {
    double millis = Date{std::isfinite(date.seconds) ? date.seconds : 0}.unix() * 1000;
    icu::UnicodeString text;
    {
        std::lock_guard lock(formattersLock);
        if (!shared) shared = std::make_unique<Formatters>(makeFormatters());
        if (const auto& formatter = (*shared).*which) formatter->format(millis, text);
    }
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

} // namespace

std::string duration(double seconds, bool) {
    double s = shownSeconds(seconds);
    int64_t whole = rounded(s);
    if (whole <= 59) return number(whole) + " s";
    int64_t minutes = rounded(s / 60);
    if (minutes <= 59) return number(minutes) + " m";
    int64_t hours = minutes / 60, rest = minutes % 60;
    if (rest == 0) return number(hours) + " h";
    return number(hours) + " h " + number(rest) + " m";
}

std::string clock(double seconds) {
    int64_t minutes = rounded(shownSeconds(seconds) / 60);
    int64_t rest = minutes % 60;
    return number(minutes / 60) + (rest < 10 ? ":0" : ":") + number(rest);
}

std::string percent(int64_t value) {
    return number(value) + "\u202F%";
}

std::string drop(int64_t pointsLost) {
    if (pointsLost < 1) return percent(0);
    return "\u2212" + percent(pointsLost);
}

std::string dayTime(Date date) {
    return day(date) + ", " + time(date);
}

std::string time(Date date) {
    return format(&Formatters::time, date);
}
std::string hour(Date date) {
    return format(&Formatters::hour, date);
}
std::string clockTime(Date date) {
    return format(&Formatters::clockTime, date);
}
std::string day(Date date) {
    return format(&Formatters::day, date);
}
std::string longDay(Date date) {
    return format(&Formatters::longDay, date);
}

void resetFormatters() {
    std::lock_guard lock(formattersLock);
    shared.reset();
}

} // namespace dormio::Fmt

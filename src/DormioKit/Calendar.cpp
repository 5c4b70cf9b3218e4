#include "DormioKit/Calendar.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <unicode/gregocal.h>
#include <unicode/timezone.h>

namespace dormio {

namespace {

// ICU pins a time far out of its range instead of failing, so such times (and anything not finite) are
// refused before they reach it: about 95,000 years either side of 1970.
constexpr double limitMillis = 3e15;

bool withinRange(double millis) {
    return std::isfinite(millis) && std::abs(millis) <= limitMillis;
}

std::unique_ptr<icu::TimeZone> zoneNamed(std::string_view id) {
    std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(icu::StringPiece(id.data(), id.size()))));
    icu::UnicodeString resolved;
    if (zone->getID(resolved) == UNICODE_STRING_SIMPLE(UCAL_UNKNOWN_ZONE_ID)) return nullptr;
    return zone;
}

std::unique_ptr<icu::TimeZone> utc() {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
}

std::unique_ptr<icu::TimeZone> zoneNamedOrUTC(std::string_view id) {
    auto zone = zoneNamed(id);
    return zone ? std::move(zone) : utc();
}

// TZ as the C library reads it: ":Area/City", "Area/City" or a path into a zoneinfo folder. ICU's own host
// detection takes such a path for a zone without clock changes, so the zone's name is cut out of it here.
std::string_view zoneIDInTZ(std::string_view tz) {
    if (tz.starts_with(':')) tz.remove_prefix(1);
    constexpr std::string_view folder = "zoneinfo/";
    if (auto at = tz.rfind(folder); at != std::string_view::npos) tz.remove_prefix(at + folder.size());
    for (std::string_view variant : {"posix/", "right/"})
        if (tz.starts_with(variant)) tz.remove_prefix(variant.size());
    return tz;
}

std::string utf8(const icu::UnicodeString& text) {
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
}

// Read afresh on every call rather than through ICU's default zone, which is detected once per process.
// An empty TZ means UTC, as for the C library; a TZ that names no zone (a POSIX rule such as "CET-1CEST")
// and an unset TZ are left to ICU's host detection, which reads /etc/localtime.
std::string currentZoneID() {
    if (const char* tz = std::getenv("TZ")) {
        std::string_view id = zoneIDInTZ(tz);
        if (id.empty()) return "UTC";
        if (zoneNamed(id)) return std::string(id);
    }
    static std::mutex detecting; // the detection resets a process-wide cache inside ICU
    std::lock_guard lock(detecting);
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    return utf8(zone->getID(id));
}

std::optional<Date> dateOf(const icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    double millis = calendar.getTime(status);
    if (U_FAILURE(status) || !withinRange(millis)) return std::nullopt;
    return Date::fromUnix(millis / 1000);
}

// A strict ICU calendar refuses a field outside these limits, but it also refuses a skipped wall time instead
// of moving it forward; so the calendar stays lenient and the limits are checked here.
bool accepts(const icu::Calendar& calendar, UCalendarDateFields field, int value) {
    return value >= calendar.getMinimum(field) && value <= calendar.getMaximum(field);
}

void appendPadded(std::string& text, int value, int width) {
    std::array<char, 16> digits{};
    char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    auto count = static_cast<int>(end - digits.data());
    if (count < width) text.append(static_cast<std::size_t>(width - count), '0');
    text.append(digits.data(), end);
}

} // namespace

// The prototype is never changed once made: every operation works on its own clone, so one Calendar (and its
// copies, which share the prototype) can be used from several threads at once.
struct Calendar::Impl {
    std::shared_ptr<const icu::Calendar> prototype;

    explicit Impl(std::unique_ptr<icu::TimeZone> zone) {
        UErrorCode status = U_ZERO_ERROR;
        auto calendar =
            std::make_unique<icu::GregorianCalendar>(zone.release(), icu::Locale::getRoot(), status);
        calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
        calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
        prototype = std::move(calendar);
    }

    std::unique_ptr<icu::Calendar> at(Date d) const {
        double millis = d.unix() * 1000;
        if (!withinRange(millis)) return nullptr;
        std::unique_ptr<icu::Calendar> calendar(prototype->clone());
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(millis, status);
        if (U_FAILURE(status)) return nullptr;
        return calendar;
    }
};

Calendar Calendar::current() {
    return Calendar(currentZoneID());
}

Calendar::Calendar(std::string_view zoneId) : impl_(std::make_unique<Impl>(zoneNamedOrUTC(zoneId))) {}

Calendar::Calendar(const Calendar& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}

Calendar& Calendar::operator=(const Calendar& other) {
    *impl_ = *other.impl_;
    return *this;
}

Calendar::~Calendar() = default;

std::optional<Date> Calendar::date(Date day, int hour, int minute, int second) const {
    auto calendar = impl_->at(day);
    if (!calendar || !accepts(*calendar, UCAL_HOUR_OF_DAY, hour) ||
        !accepts(*calendar, UCAL_MINUTE, minute) || !accepts(*calendar, UCAL_SECOND, second))
        return std::nullopt;
    calendar->set(UCAL_HOUR_OF_DAY, hour);
    calendar->set(UCAL_MINUTE, minute);
    calendar->set(UCAL_SECOND, second);
    calendar->set(UCAL_MILLISECOND, 0);
    return dateOf(*calendar);
}

std::optional<Date> Calendar::addingDays(Date d, int days) const {
    auto calendar = impl_->at(d);
    if (!calendar) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar->add(UCAL_DATE, days, status);
    if (U_FAILURE(status)) return std::nullopt;
    return dateOf(*calendar);
}

Date Calendar::startOfDay(Date d) const {
    return date(d, 0).value_or(d);
}

std::string Calendar::dayID(Date d) const {
    auto calendar = impl_->at(d);
    if (!calendar) return {};
    UErrorCode status = U_ZERO_ERROR;
    int year = calendar->get(UCAL_YEAR, status);
    int month = calendar->get(UCAL_MONTH, status) + 1;
    int day = calendar->get(UCAL_DATE, status);
    if (U_FAILURE(status)) return {};
    std::string text;
    appendPadded(text, year, 4);
    text += '-';
    appendPadded(text, month, 2);
    text += '-';
    appendPadded(text, day, 2);
    return text;
}

int Calendar::offsetSeconds(Date d) const {
    auto calendar = impl_->at(d);
    if (!calendar) return 0;
    UErrorCode status = U_ZERO_ERROR;
    int millis = calendar->get(UCAL_ZONE_OFFSET, status) + calendar->get(UCAL_DST_OFFSET, status);
    return U_SUCCESS(status) ? millis / 1000 : 0;
}

std::string Calendar::zoneID() const {
    icu::UnicodeString id;
    return utf8(impl_->prototype->getTimeZone().getID(id));
}

} // namespace dormio

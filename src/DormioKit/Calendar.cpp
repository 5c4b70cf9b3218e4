#include "DormioKit/Calendar.h"

#include "DormioKit/LocalZone.h"

#include <array>
#include <charconv>
#include <cmath>
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

std::unique_ptr<icu::TimeZone> zoneNamedOrUTC(std::string_view id) {
    if (auto zone = LocalZone::named(id)) return zone;
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone("UTC"));
}

std::string utf8(const icu::UnicodeString& text) {
    std::string bytes;
    text.toUTF8String(bytes);
    return bytes;
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
    return Calendar(std::make_unique<Impl>(LocalZone::current()));
}

Calendar::Calendar(std::string_view zoneId) : impl_(std::make_unique<Impl>(zoneNamedOrUTC(zoneId))) {}

Calendar::Calendar(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

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

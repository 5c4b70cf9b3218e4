#include "DormioKit/LogDates.h"

#include <cstdint>

namespace dormio {

namespace {

constexpr std::size_t dateLength = 25;

// Two ASCII digits as a number, -1 when either is not a digit.
int twoDigits(const char* p) {
    const unsigned tens = static_cast<unsigned char>(p[0]) - '0';
    const unsigned ones = static_cast<unsigned char>(p[1]) - '0';
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

} // namespace

std::optional<Date> LogDateReader::read(std::string_view bytes) {
    if (bytes.size() < dateLength) return std::nullopt;
    const char* p = bytes.data();
    if (p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':') return std::nullopt;
    if (p[20] != '+' && p[20] != '-') return std::nullopt;
    const int century = twoDigits(p), yearOfCentury = twoDigits(p + 2);
    const int month = twoDigits(p + 5), day = twoDigits(p + 8);
    const int hour = twoDigits(p + 11), minute = twoDigits(p + 14), second = twoDigits(p + 17);
    const int zoneHours = twoDigits(p + 21), zoneMinutes = twoDigits(p + 23);
    if (century < 0 || yearOfCentury < 0 || zoneHours < 0 || zoneMinutes < 0) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const int year = century * 100 + yearOfCentury;
    const int key = (year * 100 + month) * 100 + day;
    if (key != day_) {
        std::tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        const time_t midnight = timegm(&fields);
        if (midnight == -1) return std::nullopt; // no midnight is one second before the epoch: an error
        day_ = key;
        midnight_ = midnight;
    }
    const int zone = (zoneHours * 3600 + zoneMinutes * 60) * (p[20] == '-' ? -1 : 1);
    const auto unixSeconds = static_cast<int64_t>(midnight_) + hour * 3600 + minute * 60 + second - zone;
    return Date::fromUnix(static_cast<double>(unixSeconds));
}

} // namespace dormio

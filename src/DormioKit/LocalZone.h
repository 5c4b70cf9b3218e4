#pragma once

// The time zone the C library takes, as an ICU zone, so that the nights' days and clock times are those
// that `date` and localtime_r give. Only the calendar and the date formats hold ICU zones.

#include <memory>
#include <string_view>
#include <unicode/timezone.h>

namespace dormio::LocalZone {

// The zone of TZ, read afresh on every call: a zone name or a path into a zoneinfo folder (with or without
// a leading ':'), else a POSIX rule; an empty TZ, and one that is neither, is UTC. Without TZ, the system's
// zone (/etc/localtime).
std::unique_ptr<icu::TimeZone> current();

// The zone ICU knows by `id` ("Europe/Berlin", "UTC"); none for a name it does not know.
std::unique_ptr<icu::TimeZone> named(std::string_view id);

// The zone of a POSIX TZ rule, as the C library reads it: "JST-9", "<+0330>-3:30",
// "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT" (the United States' rule when none is given). A rule whose
// changes ICU's annual rules cannot express (a day of the year counted with 29 February, a change moved
// out of its month by a time past a day) keeps standard time all year. None when the text is no rule.
std::unique_ptr<icu::TimeZone> fromRule(std::string_view rule);

} // namespace dormio::LocalZone

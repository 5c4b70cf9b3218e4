#pragma once

// How long ago something happened, in the fixed English words of the settings rows: "just now",
// "5 minutes ago", "yesterday", "last week", "3 months ago".

#include <QDateTime>
#include <QString>

namespace dormio::RelativeDate {

// The words for `date` seen at `now`; a date in the future (a clock set back) is "just now".
QString text(const QDateTime& date, const QDateTime& now);

} // namespace dormio::RelativeDate

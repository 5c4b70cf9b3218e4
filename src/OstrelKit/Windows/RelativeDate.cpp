#include "OstrelKit/Windows/RelativeDate.h"

namespace dormio::RelativeDate {

namespace {

struct Unit {
    qint64 seconds;
    const char* name;
    const char* single; // the words for exactly one, when they are not "1 <unit> ago"
};

// Largest first; the first unit that fits at least once names the span.
constexpr Unit units[] = {
    {365 * 86400, "year", "last year"},
    {30 * 86400, "month", "last month"},
    {7 * 86400, "week", "last week"},
    {86400, "day", "yesterday"},
    {3600, "hour", nullptr},
    {60, "minute", nullptr},
};

} // namespace

QString text(const QDateTime& date, const QDateTime& now) {
    const qint64 elapsed = date.secsTo(now);
    for (const Unit& unit : units) {
        const qint64 count = elapsed / unit.seconds;
        if (count < 1) continue;
        if (count == 1 && unit.single) return QString::fromLatin1(unit.single);
        return QStringLiteral("%1 %2%3 ago")
            .arg(count)
            .arg(QLatin1String(unit.name))
            .arg(count == 1 ? "" : "s");
    }
    return QStringLiteral("just now");
}

} // namespace dormio::RelativeDate

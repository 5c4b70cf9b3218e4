#include "OstrelKit/Windows/RelativeDate.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

TEST(RelativeDate, NamesTheLargestWholeUnit) {
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const std::pair<qint64, const char*> cases[] = {
        {0, "just now"},
        {59, "just now"},
        {-3600, "just now"}, // a clock set back since
        {60, "1 minute ago"},
        {5 * 60 + 59, "5 minutes ago"},
        {3600, "1 hour ago"},
        {23 * 3600, "23 hours ago"},
        {86400, "yesterday"},
        {2 * 86400, "2 days ago"},
        {7 * 86400, "last week"},
        {15 * 86400, "2 weeks ago"},
        {31 * 86400, "last month"},
        {90 * 86400, "3 months ago"},
        {366 * 86400, "last year"},
        {3 * 365 * 86400, "3 years ago"},
    };
    for (const auto& [ago, words] : cases)
        EXPECT_EQ(RelativeDate::text(now.addSecs(-ago), now), words) << ago;
}

} // namespace
} // namespace dormio

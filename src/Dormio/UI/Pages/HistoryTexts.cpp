#include "Dormio/UI/Pages/HistoryTexts.h"

#include "DormioKit/Fmt.h"

namespace dormio::HistoryTexts {

QString kicker(const std::vector<Night>& nights) {
    if (nights.empty()) return QStringLiteral("Nightly record");
    const QString first = QString::fromStdString(Fmt::day(nights.front().start));
    if (nights.size() == 1) return QStringLiteral("1 night \u00B7 ") + first;
    return QString::number(nights.size()) + QStringLiteral(" nights \u00B7 ") + first +
           QStringLiteral(" \u2192 ") + QString::fromStdString(Fmt::day(nights.back().start));
}

} // namespace dormio::HistoryTexts

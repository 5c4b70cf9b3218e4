#pragma once

// The words of the History page that follow from its nights alone. Pure and free of widgets, so that the
// self-test can check them without a window.

#include "DormioKit/Night.h"

#include <QString>
#include <vector>

namespace dormio::HistoryTexts {

// The line over the page's title: how many nights are shown and the days of the first and the last,
// "Nightly record" for none.
QString kicker(const std::vector<Night>& nights);

} // namespace dormio::HistoryTexts

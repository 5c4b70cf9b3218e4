#pragma once

// A chart's text placed at a point by one of its edges or corners, as the charts lay their labels out
// before anything is drawn.

#include <QPointF>
#include <QString>
#include <string_view>

namespace dormio::Charts {

// Which point of the label's box sits on the label's point; leading is left, trailing right.
enum class Anchor {
    topCentre,
    topTrailing,
    bottomCentre,
    bottomLeading,
    bottomTrailing,
    leadingCentre,
    trailingCentre
};

struct ChartLabel {
    QString text;
    QPointF at;
    Anchor anchor = Anchor::topCentre;

    bool operator==(const ChartLabel&) const = default;
};

// The number of characters (code points) of UTF-8 text: the charts guess a label's width from it, at
// 3 points either side of its centre per character, before any font is at hand.
qsizetype characterCount(std::string_view utf8);

} // namespace dormio::Charts

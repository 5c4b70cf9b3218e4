#pragma once

// The Battery page: the battery's health (or, when it cannot be worked out, its charge) as a big figure,
// a word, a sentence and a gauge; a card of eight facts about the battery; and the charge used on the last
// unplugged nights. On a machine without a battery, one card that says so. A new battery reading changes the
// texts in place; the overnight card follows the nights alone.

#include "Dormio/Core/System/BatteryInfo.h"
#include "Dormio/UI/Pages/PageScroll.h"
#include "DormioKit/Night.h"

#include <optional>
#include <vector>

class QVBoxLayout;

namespace dormio {

class ChartCanvas;
class EmptyState;
class Label;
class PageHeader;
class Panel;
class SpecSheet;
class Store;

class BatteryPage : public PageScroll {
public:
    static constexpr std::size_t overnightLimit = 14;

    explicit BatteryPage(Store& store, QWidget* parent = nullptr);

    // The nights the overnight card draws: finished nights with a known loss, in store order, the last 14.
    static std::vector<Night> overnight(const std::vector<Night>& nights);
    // "last 3 nights · % of charge used"; none without nights.
    static std::optional<QString> overnightNote(std::size_t count);
    // What the big figure and the gauge show: the health when it can be worked out, else the charge.
    static int64_t shownValue(const BatteryInfo& battery);

    PageHeader* header() const { return header_; }
    // With a battery: the three cards and what they show. Null without one.
    dormio::Panel* gaugeCard() const { return gaugeCard_; }
    Label* figure() const { return figure_; }
    Label* word() const { return word_; }
    Label* line() const { return line_; }
    ChartCanvas* gauge() const { return gauge_; }
    SpecSheet* specSheet() const { return specSheet_; }
    dormio::Panel* overnightCard() const { return overnightCard_; }
    ChartCanvas* drainPlot() const { return drainPlot_; }
    // Without a battery: the card that says so. Null with one.
    EmptyState* mainsPower() const { return mainsPower_; }

private:
    void followBattery();
    void buildBatteryCards();
    void buildMainsPower();
    void showBattery(const BatteryInfo& battery);
    void showOvernight();
    void clearBody();

    Store& store_;
    PageHeader* header_;
    QWidget* body_;
    QVBoxLayout* cards_;
    std::optional<bool> hadBattery_;
    dormio::Panel* gaugeCard_ = nullptr;
    Label* figure_ = nullptr;
    Label* word_ = nullptr;
    Label* line_ = nullptr;
    ChartCanvas* gauge_ = nullptr;
    SpecSheet* specSheet_ = nullptr;
    dormio::Panel* overnightCard_ = nullptr;
    ChartCanvas* drainPlot_ = nullptr;
    EmptyState* mainsPower_ = nullptr;
};

} // namespace dormio

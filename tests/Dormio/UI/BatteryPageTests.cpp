// The Battery page over a store of the test's making: no battery, a battery without capacities, the health
// words at their thresholds, the eight battery facts in two columns, and the overnight card's choice of
// nights, limit and note. A live read changes the texts in place and leaves the page's widgets standing.
#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Charts/DrainPlot.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/BatteryPage.h"
#include "Dormio/UI/Pages/SpecSheet.h"
#include "DormioKit/Fmt.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "PageGallery.h"
#include "StoreTests.h"

#include <QPointer>

namespace dormio::testing {
namespace {

BatteryInfo battery(std::optional<int64_t> max, std::optional<int64_t> design, bool charging = false,
                    int64_t percent = 64) {
    BatteryInfo info;
    info.percent = percent;
    info.isCharging = charging;
    info.onAC = charging;
    info.maxCapacity = max;
    info.designCapacity = design;
    return info;
}

QString percent(int64_t value) {
    return QString::fromStdString(Fmt::percent(value));
}

// A finished night (or one still running) that lost `lost` points, or none without readings.
Night night(int index, std::optional<int> lost, bool inProgress = false) {
    Night n = storedNight("2024-03-" + std::to_string(10 + index), Date{1700000000.0 + index * day},
                          Date{1700000000.0 + index * day + 8 * hour});
    n.inProgress = inProgress;
    n.hasBattery = true;
    if (lost) n.battery = {{n.start, 90}, {n.end, 90 - *lost}};
    return n;
}

class BatteryPageTest : public StoreTest {
protected:
    FakePlatform fake;

    Store& storeWith(std::optional<BatteryInfo> info, std::vector<Night> nights = {}) {
        Store& s = makeStore(fake.platform());
        s.setBattery(std::move(info));
        s.setNights(std::move(nights));
        return s;
    }
};

TEST_F(BatteryPageTest, WithoutABatteryOneCardSaysSoAndLeadsToLastNight) {
    Store& s = storeWith(std::nullopt);
    s.setPage(Page::battery);
    const BatteryPage page(s);
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Battery"));
    EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("No internal battery"));
    EXPECT_EQ(page.header()->title()->text(), QStringLiteral("Battery"));
    EXPECT_FALSE(page.gaugeCard());
    EXPECT_FALSE(page.specSheet());
    EXPECT_FALSE(page.overnightCard());
    ASSERT_TRUE(page.mainsPower());
    std::vector<const Panel*> panels;
    for (const QWidget* child : page.findChildren<QWidget*>())
        if (const auto* panel = dynamic_cast<const Panel*>(child)) panels.push_back(panel);
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_FALSE(panels.front()->header()) << "no title, no note";
    EXPECT_EQ(
        page.mainsPower()->message()->text(),
        QStringLiteral("There\u2019s no battery to report on. Dormio still shows when your Mac slept, what "
                       "woke it and what kept it awake."));
    ASSERT_TRUE(page.mainsPower()->button());
    EXPECT_EQ(page.mainsPower()->button()->text(), QStringLiteral("See Last Night"));
    page.mainsPower()->button()->click();
    EXPECT_EQ(s.page(), Page::night);
}

TEST_F(BatteryPageTest, TheGaugeCardShowsHealthWhenItCanElseTheCharge) {
    struct Case {
        const char* what;
        BatteryInfo info;
        const char* title;
        std::optional<QString> note;
        int64_t shown;
        const char* word;
        const char* line;
    };
    const char* unknown = "Health details aren\u2019t available on this Mac.";
    const std::vector<Case> cases{
        {"no capacities, charging", battery(std::nullopt, std::nullopt, true, 64), "Charge", std::nullopt, 64,
         "Charging", unknown},
        {"a design capacity of 0", battery(4000, 0, false, 64), "Charge", std::nullopt, 64, "Charged",
         unknown},
        {"no full charge", battery(std::nullopt, 5000, false, 64), "Charge", std::nullopt, 64, "Charged",
         unknown},
        {"health 90", battery(900, 1000), "Health", "full charge vs. design capacity", 90, "Like new",
         "Holds 90\u202F% of its design capacity \u2014 900 of 1000 mAh."},
        {"health 80", battery(800, 1000), "Health", "full charge vs. design capacity", 80, "Good",
         "Holds 80\u202F% of its design capacity \u2014 800 of 1000 mAh."},
        {"health 79", battery(790, 1000), "Health", "full charge vs. design capacity", 79, "Worn",
         "Holds 79\u202F% of its design capacity \u2014 790 of 1000 mAh."},
        {"health 70", battery(700, 1000), "Health", "full charge vs. design capacity", 70, "Worn",
         "Holds 70\u202F% of its design capacity \u2014 700 of 1000 mAh."},
        {"health 69", battery(690, 1000), "Health", "full charge vs. design capacity", 69,
         "Consider a service", "Holds 69\u202F% of its design capacity \u2014 690 of 1000 mAh."},
        {"more than it was built for", battery(5200, 5000), "Health", "full charge vs. design capacity", 100,
         "Like new", "Holds 100\u202F% of its design capacity \u2014 5200 of 5000 mAh."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store& s = storeWith(c.info);
        const BatteryPage page(s);
        EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("Internal battery \u00B7 read now"));
        ASSERT_TRUE(page.gaugeCard());
        EXPECT_EQ(page.gaugeCard()->header()->title(), QString::fromUtf8(c.title));
        EXPECT_EQ(page.gaugeCard()->header()->note(), c.note);
        EXPECT_EQ(page.figure()->text(), percent(c.shown));
        EXPECT_EQ(page.word()->text(), QString::fromUtf8(c.word));
        EXPECT_EQ(page.line()->text(), QString::fromUtf8(c.line));
        const bool calibrated = QString::fromUtf8(c.title) == "Health";
        EXPECT_EQ(page.gauge()->accessibleName(), calibrated ? "Battery health" : "Battery charge");
        EXPECT_EQ(page.gauge()->accessibleDescription(), QString::number(c.shown) + " percent");
        EXPECT_EQ(page.gauge()->height(), 58);
        EXPECT_FALSE(page.mainsPower());
    }
}

TEST_F(BatteryPageTest, TheSpecSheetsEightRowsInTwoColumns) {
    BatteryInfo info = battery(3921, 4382, false, 78);
    info.cycleCount = 312;
    info.temperature = 30.64;
    Store& s = storeWith(info);
    const BatteryPage page(s);
    ASSERT_TRUE(page.specSheet());
    EXPECT_EQ(
        page.specSheet()->columns(),
        (std::vector<std::vector<QString>>{{"Charge now", "Power", "Time left", "Cycle count"},
                                           {"Full charge", "Design capacity", "Temperature", "Condition"}}));
    const std::pair<const char*, const char*> values[] = {
        {"Charge now", "78\u202F%"}, {"Power", "On battery"},     {"Time left", "\u2014"},
        {"Cycle count", "312"},      {"Full charge", "3921 mAh"}, {"Design capacity", "4382 mAh"},
        {"Temperature", "30.6 °C"},  {"Condition", "Normal"},
    };
    for (const auto& [label, value] : values) {
        const Label* shown = page.specSheet()->value(QString::fromUtf8(label));
        ASSERT_TRUE(shown) << label;
        EXPECT_EQ(shown->text(), QString::fromUtf8(value)) << label;
    }
}

TEST(SpecSheetLayout, AnOddCountPutsTheExtraRowOnTheLeft) {
    struct Case {
        std::size_t rows;
        std::size_t left;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{5, 3}, Case{8, 4}}) {
        std::vector<BatteryTexts::SpecRow> rows;
        for (std::size_t i = 0; i < c.rows; ++i)
            rows.emplace_back(QString("Row %1").arg(i), QString::number(i));
        const SpecSheet sheet(rows);
        const auto columns = sheet.columns();
        ASSERT_EQ(columns.size(), 2u);
        EXPECT_EQ(columns[0].size(), c.left) << c.rows;
        EXPECT_EQ(columns[1].size(), c.rows - c.left) << c.rows;
    }
}

TEST(SpecSheetLeader, DotsOnePointInFourThreePointsAboveItsBottom) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        SCOPED_TRACE(test::nameOf(appearance));
        const test::AppearanceScope scope(appearance);
        Leader leader;
        leader.resize(40, int(Leader::height));
        const QColor ground = QColor(Theme::panel);
        const QImage image = test::render(leader, 2, ground);
        const QColor dot = test::over(QColor(Theme::ruleStrong), ground);
        EXPECT_TRUE(test::near(test::probe(image, 0.5, 7), dot, 4));
        EXPECT_TRUE(test::near(test::probe(image, 4.5, 7), dot, 4));
        EXPECT_TRUE(test::near(test::probe(image, 2.5, 7), ground, 2)) << "the gap between two dots";
        EXPECT_TRUE(test::near(test::probe(image, 0.5, 5), ground, 2)) << "one line, 1 point thick";
    }
}

TEST_F(BatteryPageTest, OvernightKeepsFinishedNightsWithALossTheLastFourteen) {
    std::vector<Night> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.push_back(night(i, i % 7));
    struct Case {
        const char* what;
        std::vector<Night> nights;
        std::vector<std::string> shown;
        std::optional<QString> note;
    };
    const std::vector<Case> cases{
        {"none on record", {}, {}, std::nullopt},
        {"in progress or without readings", {night(1, 4, true), night(2, std::nullopt)}, {}, std::nullopt},
        {"one plugged-in night without a loss still counts",
         {night(1, 0)},
         {"2024-03-11"},
         "last 1 nights \u00B7 % of charge used"},
        {"mixed",
         {night(1, 3), night(2, 5, true), night(3, std::nullopt), night(4, 6)},
         {"2024-03-11", "2024-03-14"},
         "last 2 nights \u00B7 % of charge used"},
        {"twenty nights: the last fourteen in store order",
         twenty,
         {},
         "last 14 nights \u00B7 % of charge used"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Night> kept = BatteryPage::overnight(c.nights);
        std::vector<std::string> ids;
        for (const Night& n : kept)
            ids.push_back(n.id);
        if (c.nights.size() == 20) {
            ASSERT_EQ(ids.size(), 14u);
            EXPECT_EQ(ids.front(), twenty[6].id);
            EXPECT_EQ(ids.back(), twenty[19].id);
        } else {
            EXPECT_EQ(ids, c.shown);
        }
        EXPECT_EQ(BatteryPage::overnightNote(kept.size()), c.note);

        Store& s = storeWith(battery(900, 1000), c.nights);
        const BatteryPage page(s);
        ASSERT_TRUE(page.overnightCard());
        EXPECT_EQ(page.overnightCard()->header()->title(), QStringLiteral("Overnight drain"));
        EXPECT_EQ(page.overnightCard()->header()->note(), c.note);
        if (kept.empty()) {
            EXPECT_FALSE(page.drainPlot());
            const auto* none = dynamic_cast<const Label*>(page.overnightCard()->content());
            ASSERT_TRUE(none);
            EXPECT_EQ(none->text(), QStringLiteral("No unplugged nights on record yet."));
        } else {
            ASSERT_TRUE(page.drainPlot());
            EXPECT_EQ(page.drainPlot()->height(), 140);
            EXPECT_EQ(page.drainPlot()->accessibleName(), QStringLiteral("Overnight battery drain"));
            EXPECT_EQ(page.drainPlot()->accessibleDescription(),
                      DrainPlot::accessibleValue(DrainPlot::drains(kept)));
        }
    }
}

TEST_F(BatteryPageTest, ALiveReadChangesTheTextsInPlaceAndTheNightsOnlyTheOvernightCard) {
    Store& s = storeWith(battery(900, 1000, false, 64), {night(1, 3)});
    const BatteryPage page(s);
    const QPointer<Panel> gaugeCard = page.gaugeCard();
    const QPointer<Label> figure = page.figure();
    const QPointer<SpecSheet> sheet = page.specSheet();
    const QPointer<ChartCanvas> plot = page.drainPlot();

    s.setLive({LiveRow{LiveAssertion{1, "Music", "PreventUserIdleSystemSleep", "x"}, AppIdentity{"Music"}}});
    EXPECT_EQ(page.drainPlot(), plot.data()) << "a live read leaves the page alone";

    BatteryInfo worn = battery(750, 1000, true, 65);
    s.setBattery(worn);
    EXPECT_EQ(page.gaugeCard(), gaugeCard.data());
    EXPECT_EQ(page.figure(), figure.data());
    EXPECT_EQ(page.specSheet(), sheet.data());
    EXPECT_EQ(page.drainPlot(), plot.data());
    EXPECT_EQ(page.figure()->text(), percent(75));
    EXPECT_EQ(page.word()->text(), QStringLiteral("Worn"));
    EXPECT_EQ(page.specSheet()->value("Power")->text(), QStringLiteral("Charging"));

    s.setBattery(battery(std::nullopt, std::nullopt, true, 66));
    EXPECT_EQ(page.gaugeCard()->header()->title(), QStringLiteral("Charge"));
    EXPECT_FALSE(page.gaugeCard()->header()->note());
    EXPECT_EQ(page.figure()->text(), percent(66));

    s.setNights({night(1, 3), night(2, 8)});
    EXPECT_EQ(page.overnightCard()->header()->note(),
              QStringLiteral("last 2 nights \u00B7 % of charge used"));
    EXPECT_EQ(page.figure(), figure.data());

    s.setBattery(std::nullopt);
    EXPECT_FALSE(page.gaugeCard());
    EXPECT_TRUE(page.mainsPower());
    EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("No internal battery"));
}

TEST_F(BatteryPageTest, DrawsIntoTheGallery) {
    const test::InstantClock instant;
    Store& s = makeStore(fake.platform());
    DemoData::apply(s);
    EXPECT_TRUE(test::writePageGallery("battery-page", [&] { return std::make_unique<BatteryPage>(s); }));
    s.setBattery(battery(std::nullopt, std::nullopt, true, 42));
    EXPECT_TRUE(
        test::writePageGallery("battery-page-charge", [&] { return std::make_unique<BatteryPage>(s); }));
    s.setBattery(std::nullopt);
    EXPECT_TRUE(
        test::writePageGallery("battery-page-mains", [&] { return std::make_unique<BatteryPage>(s); }));
}

} // namespace
} // namespace dormio::testing

// The night told in words and figures: the summary block's four figures and their arrangement, and the
// state legend under the trace.
#include "ChartFixtures.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/NightSummaryBlock.h"
#include "Dormio/UI/Pages/StateLegend.h"
#include "KitTest.h"

#include <QBoxLayout>
#include <gtest/gtest.h>

namespace dormio {
namespace {

constexpr double minute = 60;
const Date evening{1709592060}; // Mon 4 Mar 2024 22:41 UTC

// Asleep for `asleep` seconds from 22:41, then awake with the screen off until 8 h after the start.
Night nightAsleepFor(double asleep) {
    Night night;
    night.id = "2024-03-05";
    night.start = evening;
    night.end = evening + 8 * 60 * minute;
    night.segments = {{night.start, night.start + asleep, PowerState::asleep}};
    if (asleep < night.end - night.start)
        night.segments.push_back({night.start + asleep, night.end, PowerState::awake});
    night.events = {{.date = night.start + minute,
                     .kind = NightEvent::Kind::fellAsleep,
                     .label = "Fell asleep after sitting idle",
                     .symbol = "moon.zzz"}};
    return night;
}

Night withWakes(Night night, int count) {
    for (int i = 0; i < count; ++i)
        night.events.push_back({.date = night.start + (60 + i) * minute,
                                .kind = NightEvent::Kind::darkWake,
                                .label = "Scheduled timer",
                                .symbol = "timer"});
    return night;
}

Night onBattery(Night night, std::vector<int64_t> charges, bool pluggedIn) {
    night.hasBattery = true;
    night.pluggedIn = pluggedIn;
    for (size_t i = 0; i < charges.size(); ++i)
        night.battery.push_back({night.start + double(i) * 60 * minute, charges[i]});
    return night;
}

Night alreadyAsleep(Night night) {
    night.events.front().label = "Already asleep";
    return night;
}

TEST(NightSummary, FourFiguresTellTheNight) {
    const test::BritishUtcClock clock;
    const Night usual = nightAsleepFor(7 * 60 * minute + 12 * minute);
    struct Case {
        const char* what;
        Night night;
        std::array<SummaryFigure, 4> figures;
    };
    const Case cases[] = {
        {"a desktop night with no wake",
         usual,
         {{{"7 h 12 m", "asleep"}, {"0", "wakes"}, {"AC", "mains power"}, {"22:42", "asleep from"}}}},
        {"under a minute asleep",
         nightAsleepFor(59),
         {{{"0 m", "asleep"}, {"0", "wakes"}, {"AC", "mains power"}, {"22:42", "asleep from"}}}},
        {"one wake",
         withWakes(usual, 1),
         {{{"7 h 12 m", "asleep"}, {"1", "wake", true}, {"AC", "mains power"}, {"22:42", "asleep from"}}}},
        {"three wakes",
         withWakes(usual, 3),
         {{{"7 h 12 m", "asleep"}, {"3", "wakes", true}, {"AC", "mains power"}, {"22:42", "asleep from"}}}},
        {"on the charger, nothing lost",
         onBattery(usual, {80, 80}, true),
         {{{"7 h 12 m", "asleep"}, {"0", "wakes"}, {"+0\u202F%", "on charger"}, {"22:42", "asleep from"}}}},
        {"on the charger, charge lost",
         onBattery(usual, {80, 76}, true),
         {{{"7 h 12 m", "asleep"},
           {"0", "wakes"},
           {"\u22124\u202F%", "on charger"},
           {"22:42", "asleep from"}}}},
        {"on battery, nothing lost",
         onBattery(usual, {80, 80}, false),
         {{{"7 h 12 m", "asleep"}, {"0", "wakes"}, {"0\u202F%", "battery"}, {"22:42", "asleep from"}}}},
        {"on battery, charge lost",
         onBattery(usual, {92, 90, 81}, false),
         {{{"7 h 12 m", "asleep"},
           {"0", "wakes"},
           {"\u221211\u202F%", "battery"},
           {"22:42", "asleep from"}}}},
        {"a laptop without battery readings",
         onBattery(usual, {}, false),
         {{{"7 h 12 m", "asleep"}, {"0", "wakes"}, {"AC", "mains power"}, {"22:42", "asleep from"}}}},
        {"asleep before the night began",
         alreadyAsleep(usual),
         {{{"7 h 12 m", "asleep"}, {"0", "wakes"}, {"AC", "mains power"}, {"\u2014", "asleep from"}}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(summaryFigures(c.night), c.figures) << c.what;
        // The views show exactly those words, wakes in rose.
        const SummaryFigures shown(c.night);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(shown.figures()[i]->value()->text(), c.figures[i].value) << c.what << " #" << i;
            EXPECT_EQ(shown.figures()[i]->label()->text(), c.figures[i].label) << c.what << " #" << i;
        }
        EXPECT_EQ(shown.grade()->score(), c.night.score()) << c.what;
    }
}

TEST(NightSummary, TheGradeGoesBelowTheFiguresWhenTheRowDoesNotFit) {
    const test::BritishUtcClock clock;
    SummaryFigures figures(withWakes(nightAsleepFor(7 * 60 * minute), 2));
    figures.show();
    const QSize wide = figures.sizeHint();

    figures.resize(wide.width() + 200, figures.heightForWidth(wide.width() + 200));
    EXPECT_TRUE(figures.isOneRow());
    const auto& all = figures.figures();
    // One row, bottom-aligned, 32 apart, the grade at the trailing end.
    EXPECT_EQ(all[1]->x(), all[0]->geometry().right() + 1 + int(Theme::Space::xxl));
    EXPECT_EQ(figures.grade()->QWidget::geometry().right(), figures.width() - 1);
    EXPECT_EQ(figures.grade()->QWidget::geometry().bottom(), all[0]->geometry().bottom());

    const int narrow = figures.minimumSizeHint().width();
    figures.resize(narrow, figures.heightForWidth(narrow));
    EXPECT_FALSE(figures.isOneRow());
    // The figures move closer together and the grade starts a line of its own, 16 below them.
    EXPECT_EQ(all[1]->x(), all[0]->geometry().right() + 1 + int(Theme::Space::xl));
    EXPECT_EQ(figures.grade()->x(), 0);
    EXPECT_EQ(figures.grade()->y(), all[0]->geometry().bottom() + 1 + int(Theme::Space::l));
    EXPECT_GT(figures.heightForWidth(narrow), figures.heightForWidth(wide.width()));
}

TEST(NightSummary, TheNarrativeIsLeftOutWhenThereIsNothingToTell) {
    const test::BritishUtcClock clock;
    // A short spell with the screen on and no sleep has nothing to say beyond its sentence.
    Night quiet = nightAsleepFor(0);
    quiet.end = quiet.start + 10 * minute;
    quiet.segments = {{quiet.start, quiet.end, PowerState::screenOn}};
    NightSummaryBlock block(quiet);
    EXPECT_FALSE(block.sentence()->text().isEmpty());
    EXPECT_EQ(block.narrative(), nullptr) << block.narrative()->text().toStdString();
    block.show();
    // The block ends with the figures: no gap below them.
    block.resize(900, block.heightForWidth(900));
    block.layout()->activate();
    EXPECT_EQ(block.figures()->geometry().bottom(), block.height() - 1);

    NightSummaryBlock stirred(withWakes(nightAsleepFor(6 * 60 * minute), 3));
    ASSERT_NE(stirred.narrative(), nullptr);
    EXPECT_FALSE(stirred.narrative()->text().isEmpty());
}

// The kit's labels inside a widget, in the order they were made.
std::vector<const Label*> labelsOf(const QWidget& widget) {
    std::vector<const Label*> labels;
    for (const QWidget* child : widget.findChildren<QWidget*>())
        if (const auto* label = dynamic_cast<const Label*>(child)) labels.push_back(label);
    return labels;
}

QStringList wordsOf(const QWidget& widget) {
    QStringList words;
    for (const Label* label : labelsOf(widget))
        words.push_back(label->text());
    return words;
}

TEST(StateLegend, NamesEachStateWithItsTimeAndTheBatteryWhenThereIsOne) {
    const test::BritishUtcClock clock;
    Night night = withWakes(nightAsleepFor(7 * 60 * minute + 5 * minute), 1);
    night.segments.push_back({night.end, night.end + 30 * minute, PowerState::screenOn});
    const QStringList states{"Asleep", "7:05",      "Dark wake", "0:00", "Awake, screen off",
                             "0:55",   "Screen on", "0:30"};
    struct Case {
        const char* what;
        Night night;
        QStringList battery;
    };
    const Case cases[] = {
        {"a desktop Mac", night, {}},
        {"a laptop", onBattery(night, {92, 90, 81}, false), {"Battery", "92 \u2192 81\u202F%"}},
        {"a laptop without readings", onBattery(night, {}, false), {"Battery"}},
    };
    for (const Case& c : cases) {
        const StateLegend legend(c.night);
        EXPECT_EQ(wordsOf(legend), states + c.battery) << c.what;
    }
}

TEST(StateLegend, StartsUnderThePlotAndNeverCutsAnEntryMovingTheBatteryBelowWhenNarrow) {
    const test::BritishUtcClock clock;
    struct Case {
        int width;
        bool batteryBelow;
    };
    for (const Case c : {Case{900, false}, Case{640, true}}) {
        // In a panel, which sets its width; a window of its own would keep to the legend's minimum.
        QWidget panel;
        auto* stack = new QVBoxLayout(&panel);
        stack->setContentsMargins(0, 0, 0, 0);
        auto& legend = *new StateLegend(onBattery(nightAsleepFor(7 * 60 * minute), {92, 81}, false));
        stack->addWidget(&legend);
        stack->addStretch();
        panel.setFixedSize(c.width, 200);
        panel.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(legend.batteryBelow(), c.batteryBelow) << c.width;
        const auto labels = labelsOf(legend);
        ASSERT_FALSE(labels.empty());
        EXPECT_GE(labels.front()->parentWidget()->x(), StateLegend::indent);
        std::vector<QRect> entries;
        for (const Label* label : labels) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
            const QRect entry = label->parentWidget()->geometry();
            if (std::find(entries.begin(), entries.end(), entry) == entries.end()) entries.push_back(entry);
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            for (std::size_t j = i + 1; j < entries.size(); ++j)
                EXPECT_FALSE(entries[i].intersects(entries[j]))
                    << c.width << ": entries " << i << " and " << j;
    }
}

TEST(NightSummary, DrawsIntoTheGallery) {
    const test::BritishUtcClock clock;
    const Night night =
        onBattery(withWakes(nightAsleepFor(6 * 60 * minute + 48 * minute), 3), {92, 86, 81}, false);
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const int width : {900, 520}) {
            QWidget sheet;
            auto* stack = new QVBoxLayout(&sheet);
            stack->setContentsMargins(24, 24, 24, 24);
            stack->setSpacing(24);
            stack->addWidget(new NightSummaryBlock(night));
            // The legend never narrows below its entries, so the narrow sheet shows the block alone.
            if (width > 800) stack->addWidget(new StateLegend(night));
            // As a page column lays them out: its width, and the height the width asks for.
            const int wide = std::max(width, sheet.minimumSizeHint().width());
            sheet.resize(wide, sheet.heightForWidth(wide));
            sheet.show();
            const QImage image = test::render(sheet, 2, QColor(Theme::paper));
            EXPECT_TRUE(test::writeGallery(
                image, QStringLiteral("night-summary-%1-%2").arg(width).arg(test::nameOf(appearance))));
        }
    }
}

} // namespace
} // namespace dormio

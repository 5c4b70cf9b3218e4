// The night's logbook: each moment's row (mark, detail, duration), the raw records behind a moment, the cut
// of a long night behind "Show all", the closing line, and the demo's request to open one moment's records.
#include "ChartFixtures.h"
#include "Dormio/Core/DormioDemo.h"
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/MomentRow.h"
#include "Dormio/UI/Pages/MomentsLog.h"
#include "DormioKit/Fmt.h"
#include "KitTest.h"

#include <QLabel>
#include <QLayout>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace dormio::testing {
namespace {

using Kind = NightEvent::Kind;

// 23:00 UTC on 4 March 2024; the tests run in UTC.
constexpr Date nightStart = Date::fromUnix(1709593200);

NightEvent event(Kind kind, double minutesIn, std::string label = "Dark wake", double seconds = 60,
                 std::optional<std::string> scheduledBy = std::nullopt,
                 std::optional<std::string> culprit = std::nullopt) {
    NightEvent e;
    e.kind = kind;
    e.date = nightStart + minutesIn * 60;
    e.label = std::move(label);
    e.raw = "2024-03-04 23:00:00 +0000 DarkWake  record " + std::to_string(int(minutesIn));
    e.duration = seconds;
    e.scheduledBy = std::move(scheduledBy);
    e.culprit = std::move(culprit);
    return e;
}

// `count` dark wakes of one label: one story item.
StoryItem darkWakes(int count) {
    StoryItem item;
    for (int i = 0; i < count; ++i)
        item.events.push_back(event(Kind::darkWake, 10.0 * i));
    return item;
}

// A night of `items` story items: each a single moment of its own label, the last `extra` events joining
// the final item as a run of like dark wakes.
Night nightOf(int items, int extra = 0, bool inProgress = false) {
    Night night;
    night.id = "2024-03-04";
    night.start = nightStart;
    night.end = nightStart + 8 * 3600;
    night.inProgress = inProgress;
    night.segments = {Segment{night.start, night.end, PowerState::asleep}};
    for (int i = 0; i < items; ++i)
        night.events.push_back(event(Kind::darkWake, 10.0 * i, "Wake " + std::to_string(i)));
    for (int i = 0; i < extra; ++i)
        night.events.push_back(
            event(Kind::darkWake, 10.0 * (items + i), "Wake " + std::to_string(items - 1)));
    return night;
}

QStringList labelTexts(const QWidget& widget) {
    QStringList found;
    for (const QWidget* child : widget.findChildren<QWidget*>())
        if (const auto* label = dynamic_cast<const Label*>(child)) found << label->text();
    return found;
}

class MomentsTest : public ::testing::Test {
protected:
    test::BritishUtcClock clock;
};

TEST_F(MomentsTest, ARowExplainsItsMomentInPlainWords) {
    struct Case {
        StoryItem item;
        const char* detail;
    };
    const Case cases[] = {
        {{{event(Kind::awakeAtStart, 0, "Awake")}}, "When the night window began"},
        {{{event(Kind::fellAsleep, 0, "Fell asleep", 47 * 60)}}, "Slept 47 m before anything stirred"},
        {{{event(Kind::darkWake, 0, "Dark wake", 60, "com.apple.dasd:task:refresh")}},
         "Requested by dasd \u00B7 refresh"},
        {{{event(Kind::darkWake, 0)}}, "Screen stayed off"},
        {{{event(Kind::stayedAwake, 0, "Stayed up", 60, "backupd", "coreaudiod")}},
         "Held up by Audio (coreaudiod)"},
        {{{event(Kind::stayedAwake, 0, "Stayed up", 60, "com.apple.dasd:x")}}, "com.apple.dasd:x"},
        {{{event(Kind::stayedAwake, 0, "Stayed up")}}, "Nothing obvious was holding it"},
        {{{event(Kind::screenOn, 0, "Screen on", 60, "Lid opened")}}, "Lid opened"},
        {{{event(Kind::screenOn, 0, "Screen on")}}, "Display turned on"},
        {darkWakes(3), "Between 23:00 and 23:20"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MomentRow::detail(c.item), QString::fromUtf8(c.detail)) << c.detail;
    }
}

TEST(MomentRow, ShortensTheBackgroundSchedulerOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"com.apple.dasd:task:refresh", "dasd \u00B7 refresh"},
        {"com.apple.dasd:", "dasd \u00B7 com.apple.dasd"},
        {"x com.apple.dasd::y::", "dasd \u00B7 y"},
        {"com.apple.alarm.user-visible", "com.apple.alarm.user-visible"},
        {"", ""},
    };
    for (const auto& [given, shown] : cases)
        EXPECT_EQ(MomentRow::shortScheduler(QString::fromUtf8(given)), QString::fromUtf8(shown)) << given;
}

TEST_F(MomentsTest, TheMarkTagAndDurationFollowTheKindAndTheRun) {
    struct Case {
        StoryItem item;
        DynamicColor mark;
        std::optional<QString> tag;
        bool duration;
    };
    const Case cases[] = {
        {{{event(Kind::awakeAtStart, 0)}}, Theme::ink3, std::nullopt, true},
        {{{event(Kind::fellAsleep, 0, "Fell asleep", 3600)}}, Theme::indigo, std::nullopt, false},
        {{{event(Kind::darkWake, 0)}}, Theme::rose, std::nullopt, true},
        {{{event(Kind::stayedAwake, 0)}}, Theme::rose.opacity(0.55), std::nullopt, true},
        {{{event(Kind::screenOn, 0)}}, Theme::amber, std::nullopt, true},
        {darkWakes(13), Theme::rose, QStringLiteral("\u00D713"), true},
    };
    for (const Case& c : cases) {
        for (const Appearance appearance : {Appearance::light, Appearance::dark})
            EXPECT_TRUE(test::near(MomentRow::mark(c.item.first()).resolve(appearance),
                                   c.mark.resolve(appearance), 1))
                << test::nameOf(appearance);
        const MomentRow row(c.item);
        const QStringList texts = labelTexts(row);
        const QString duration = QString::fromStdString(Fmt::duration(c.item.totalDuration(), false));
        EXPECT_EQ(texts.contains(duration), c.duration) << texts.join(" | ").toStdString();
        bool tagged = false;
        for (const QWidget* child : row.findChildren<QWidget*>())
            if (const auto* tag = dynamic_cast<const Tag*>(child)) tagged = c.tag && tag->text() == *c.tag;
        EXPECT_EQ(tagged, c.tag.has_value());
        // Off a Mac and without a fixture, what is read is the journal.
        EXPECT_EQ(row.infoButton()->toolTip(), QStringLiteral("Show what the journal recorded"));
    }
}

// The row hangs every cell from its top, 7 points down: the time, the mark and the duration 1 point lower so
// that their text sits with the label's, however tall the text column makes the row.
TEST_F(MomentsTest, EveryCellOfARowHangsFromTheRowsTop) {
    for (const StoryItem& item : {StoryItem{{event(Kind::stayedAwake, 0, "Stayed up", 600)}}, darkWakes(3)}) {
        MomentRow row(item);
        row.resize(640, row.sizeHint().height());
        row.layout()->activate();
        const QString time = QString::fromStdString(Fmt::clockTime(item.first().date));
        const QString lasted = QString::fromStdString(Fmt::duration(item.totalDuration(), false));
        const QString label = QString::fromStdString(item.first().label.str());
        std::map<QString, int> tops;
        for (const QWidget* child : row.findChildren<QWidget*>()) {
            if (const auto* text = dynamic_cast<const Label*>(child)) tops[text->text()] = child->y();
            if (child->width() == int(MomentRow::markWidth)) tops[QStringLiteral("mark")] = child->y();
        }
        ASSERT_GT(row.height(), 40) << "a row two lines high";
        EXPECT_EQ(tops[label], 7);
        EXPECT_EQ(tops[time], 8);
        EXPECT_EQ(tops[QStringLiteral("mark")], 8);
        EXPECT_EQ(tops[lasted], 8);
        EXPECT_EQ(row.infoButton()->y(), 7);
    }
}

TEST_F(MomentsTest, TheRawRecordsShowTheMomentsFactsAndItsDistinctRecords) {
    struct Case {
        const char* what;
        StoryItem item;
        std::vector<std::pair<QString, QString>> facts;
        qsizetype records;
    };
    StoryItem twoAlike{{event(Kind::darkWake, 0), event(Kind::darkWake, 10)}};
    twoAlike.events[1].raw = twoAlike.events[0].raw;
    const Case cases[] = {
        {"thirteen wakes",
         darkWakes(13),
         {{"Times",
           "13\u00D7 \u00B7 23:00 23:10 23:20 23:30 23:40 23:50 00:00 00:10 00:20 00:30 00:40 00:50 \u2026"},
          {"Lasted", "13 m"}},
         6},
        {"twelve wakes",
         darkWakes(12),
         {{"Times",
           "12\u00D7 \u00B7 23:00 23:10 23:20 23:30 23:40 23:50 00:00 00:10 00:20 00:30 00:40 00:50"},
          {"Lasted", "12 m"}},
         6},
        {"identical records", twoAlike, {{"Times", "2\u00D7 \u00B7 23:00 23:10"}, {"Lasted", "2 m"}}, 1},
        {"scheduler and culprit",
         {{event(Kind::stayedAwake, 0, "Stayed up", 120, "com.apple.dasd:task:refresh", "backupd")}},
         {{"Asked by", "com.apple.dasd:task:refresh"},
          {"Held by", "Time Machine (backupd)"},
          {"Lasted", "2 m"}},
         1},
        {"neither", {{event(Kind::stayedAwake, 0, "Stayed up", 30)}}, {{"Lasted", "30 s"}}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawPopover::facts(c.item), c.facts) << c.what;
        const QStringList records = RawPopover::records(c.item);
        EXPECT_EQ(records.size(), c.records) << c.what;
        QStringList sorted = records;
        sorted.sort();
        EXPECT_EQ(records, sorted) << c.what;
    }
}

TEST_F(MomentsTest, ALongNightIsCutToFourteenBehindShowAll) {
    struct Case {
        const char* what;
        int items, extra;
        bool inProgress;
        QString note;
        std::size_t shown;
        std::optional<QString> toggle;
        bool closing;
    };
    const Case cases[] = {
        {"no events", 0, 0, false, "0 entries", 0, std::nullopt, false},
        {"sixteen", 16, 0, false, "16 entries", 16, std::nullopt, true},
        {"seventeen", 17, 0, false, "17 entries", 14, "Show all 17 entries", true},
        {"in progress", 17, 0, true, "17 entries", 14, "Show all 17 entries", false},
        {"events counted, items shown", 18, 12, false, "30 entries", 14, "Show all 18 entries", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MomentsLog log(nightOf(c.items, c.extra, c.inProgress));
        EXPECT_EQ(log.header()->title(), QStringLiteral("Logbook"));
        EXPECT_EQ(log.header()->note(), c.note);
        EXPECT_EQ(log.rows().size(), c.shown);
        EXPECT_EQ(labelTexts(log).contains(QStringLiteral("Nothing was recorded in this window.")),
                  c.items == 0);
        EXPECT_EQ(labelTexts(log).contains(QStringLiteral("Morning \u2014 still asleep")), c.closing);
        EXPECT_EQ(labelTexts(log).contains(QStringLiteral("07:00")), c.closing);
        ASSERT_EQ(log.toggle() != nullptr, c.toggle.has_value());
        if (!c.toggle) continue;
        EXPECT_EQ(log.toggle()->text(), *c.toggle);
        // The rows that come are there at once and revealed as the list grows; those that go stay until
        // the list has shrunk over them.
        const test::SteppedClock steps;
        log.resize(640, 900);
        log.show();
        QCoreApplication::processEvents();
        log.toggle()->click();
        EXPECT_EQ(log.rows().size(), std::size_t(c.items));
        EXPECT_EQ(log.toggle()->text(), QStringLiteral("Show fewer"));
        steps.advance(std::chrono::seconds(1));
        log.toggle()->click();
        EXPECT_EQ(log.toggle()->text(), *c.toggle);
        EXPECT_EQ(log.rows().size(), std::size_t(c.items)) << "while the list shrinks";
        steps.advance(std::chrono::seconds(1));
        EXPECT_EQ(log.rows().size(), 14u);
    }
}

TEST_F(MomentsTest, TheInfoButtonAndTheDemoOpenOneMomentsRecordsAtATime) {
    QWidget page;
    page.resize(700, 300);
    auto* first = new MomentRow(darkWakes(13), &page);
    auto* second = new MomentRow({{event(Kind::screenOn, 100, "Screen on")}}, &page);
    second->move(0, 60);
    page.show();

    QTest::mouseClick(first->infoButton(), Qt::LeftButton);
    ASSERT_TRUE(first->showInfo());
    EXPECT_EQ(first->popup()->shownEdge(), RawPopup::Edge::trailing);
    EXPECT_EQ(first->popup()->content()->width(), 440);
    first->popup()->close();
    EXPECT_FALSE(first->showInfo()) << "closing the card clears the row's state";

    struct Step {
        std::optional<QString> id;
        bool firstOpen, secondOpen;
    };
    const Step steps[] = {
        {QString::fromStdString(first->item().id()), true, false},
        {QString::fromStdString(second->item().id()), false, true},
        {QStringLiteral("no such moment"), false, false},
        {QString::fromStdString(first->item().id()), true, false},
        {std::nullopt, false, false},
    };
    for (const Step& step : steps) {
        DormioDemo::shared().postShowInfo(step.id);
        EXPECT_EQ(first->showInfo(), step.firstOpen) << step.id.value_or("none").toStdString();
        EXPECT_EQ(second->showInfo(), step.secondOpen) << step.id.value_or("none").toStdString();
    }

    // A row off screen does not listen.
    second->hide();
    DormioDemo::shared().postShowInfo(QString::fromStdString(second->item().id()));
    EXPECT_FALSE(second->showInfo());
}

TEST_F(MomentsTest, WhileTheDemoRecordsTheCardOpensOnTheLeadingSide) {
    qputenv("DORMIO_DEMO_DIR", "");
    QWidget page;
    page.resize(700, 300);
    auto* row = new MomentRow(darkWakes(2), &page);
    row->move(300, 0);
    page.show();
    row->setShowInfo(true);
    ASSERT_TRUE(row->showInfo());
    EXPECT_EQ(row->popup()->shownEdge(), RawPopup::Edge::leading);
    EXPECT_LT(row->popup()->geometry().right(), row->infoButton()->mapToGlobal(QPoint(0, 0)).x() + 1);
    qunsetenv("DORMIO_DEMO_DIR");
    row->setShowInfo(false);
}

TEST_F(MomentsTest, DrawsIntoTheGallery) {
    Night night = nightOf(5, 3);
    night.events.insert(night.events.begin(), event(Kind::fellAsleep, -20, "Fell asleep", 42 * 60));
    night.events.push_back(
        event(Kind::stayedAwake, 300, "Stayed up", 25 * 60, "com.apple.dasd:task:backup", "backupd"));
    night.events.push_back(event(Kind::screenOn, 470, "Screen on", 600));
    StoryItem wakes = darkWakes(13);
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        MomentsLog log(night);
        log.resize(640, log.heightForWidth(640) > 0 ? log.heightForWidth(640) : log.sizeHint().height());
        log.show();
        EXPECT_TRUE(test::writeGallery(test::render(log, 2, QColor(Theme::paper)),
                                       QStringLiteral("moments-log-%1").arg(test::nameOf(appearance))));
        RawPopover popover(wakes);
        popover.resize(popover.sizeHint());
        popover.show();
        EXPECT_TRUE(test::writeGallery(test::render(popover, 2, QColor(Theme::panel)),
                                       QStringLiteral("raw-popover-%1").arg(test::nameOf(appearance))));
    }
}

} // namespace
} // namespace dormio::testing

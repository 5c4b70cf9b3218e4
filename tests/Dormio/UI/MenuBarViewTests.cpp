// The menu bar extra's content: the default night, who holds the Mac awake, and its buttons.

#include "Dormio/UI/Charts/MiniHypnogramView.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Shell/MenuBarView.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"
#include "FixedClock.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QLayout>

namespace dormio {
namespace {

using testing::hour;

LiveRow holder(int32_t pid, const std::string& app, const std::string& name = "Playing", double age = 60) {
    return LiveRow{LiveAssertion{pid, app, "PreventUserIdleSystemSleep", name, age},
                   AppIdentity{app, std::nullopt, std::nullopt, true}};
}

std::vector<QString> names(const MenuBarView& view) {
    std::vector<QString> shown;
    for (const MenuBarView::HolderLine* line : view.holderLines())
        shown.push_back(line->name()->text());
    return shown;
}

class MenuBarViewTest : public testing::StoreTest {
protected:
    test::InstantClock instant;
    testing::FixedClock clock{Date::fromUnix(1765000000)}; // 2025-12-06 05:46:40 UTC
    Date now = currentDate();
};

TEST_F(MenuBarViewTest, WithoutNightsItSaysWhetherTheLogWasRead) {
    Store& store = makeStore();
    MenuBarView view(store);
    EXPECT_EQ(view.title()->text(), "Last Night");
    EXPECT_TRUE(view.grade()->isHidden());
    EXPECT_TRUE(view.night()->isHidden());
    EXPECT_FALSE(view.summary()->isHidden());
    EXPECT_EQ(view.summary()->text(), "Reading the power log…");
    store.setLoadedOnce(true);
    EXPECT_EQ(view.summary()->text(), "No nights recorded yet");
}

TEST_F(MenuBarViewTest, WithoutNightsAJournalItCannotReadSaysWhatToDo) {
    readUnreadableJournal();
    Store& store = makeStore();
    MenuBarView view(store);
    readLogOnce();
    EXPECT_FALSE(view.summary()->isHidden());
    EXPECT_EQ(view.summary()->text(),
              "Dormio can’t read the system journal. Add yourself to the systemd-journal group and log in "
              "again.");
}

TEST_F(MenuBarViewTest, TheTitleNamesTheDefaultNight) {
    Store& store = makeStore();
    MenuBarView view(store);
    Night earlier = testing::storedNight("2025-12-04", now - 34 * hour, now - 26 * hour);
    Night finished = testing::storedNight("2025-12-05", now - 10 * hour, now - 2 * hour);
    Night tonight = testing::storedNight("2025-12-06", now - 1 * hour, now);
    tonight.inProgress = true;
    struct Case {
        const char* name;
        std::vector<Night> nights;
        const Night* shown;
        QString title;
    };
    Night old = finished;
    old.start = now - 28 * hour;
    old.end = now - 20 * hour; // ended 20 hours ago exactly: no longer last night
    const Case cases[] = {
        {"in progress only", {tonight}, &tonight, "Tonight, so far"},
        {"ended two hours ago", {earlier, finished, tonight}, &finished, "Last Night"},
        {"ended twenty hours ago",
         {earlier, old},
         &old,
         QString::fromStdString(Fmt::longDay(old.start)) + " night"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.setNights(c.nights);
        EXPECT_EQ(view.title()->text(), c.title);
        EXPECT_FALSE(view.grade()->isHidden());
        EXPECT_EQ(view.grade()->score(), c.shown->score());
        EXPECT_FALSE(view.night()->isHidden());
        EXPECT_TRUE(view.summary()->isHidden());
        EXPECT_EQ(view.startTime()->text(), QString::fromStdString(Fmt::clockTime(c.shown->start)));
        EXPECT_EQ(view.endTime()->text(), QString::fromStdString(Fmt::clockTime(c.shown->end)));
        EXPECT_EQ(view.line()->text(), QString::fromStdString(NightSummary::line(*c.shown)));
    }
}

// "Last Night" and "REST 57" stand on one baseline, as the title row aligns its first text baselines.
TEST_F(MenuBarViewTest, TheTitleAndTheGradeShareTheirFirstBaseline) {
    Store& store = makeStore();
    store.setNights({testing::storedNight("2025-12-05", now - 10 * hour, now - 2 * hour)});
    MenuBarView view(store);
    view.show();
    view.layout()->activate();
    const Label* title = view.title();
    const qreal titleBaseline = title->mapTo(&view, QPoint(0, 0)).y() + title->baseline();
    const qreal gradeBaseline = view.grade()->mapTo(&view, QPoint(0, 0)).y() +
                                RestGrade::geometry(view.grade()->score(), true).kicker.y();
    EXPECT_NEAR(titleBaseline, gradeBaseline, 1); // whole pixels of a layout
}

TEST_F(MenuBarViewTest, TheHeadlineCountsAppsAndTheLinesShowTheFirstFourRows) {
    Store& store = makeStore();
    MenuBarView view(store);
    struct Case {
        const char* name;
        std::vector<LiveRow> live;
        QString headline;
        std::vector<QString> lines;
    };
    const Case cases[] = {
        {"nobody", {}, "Nothing is keeping your Mac awake", {}},
        {"one app", {holder(1, "Music")}, "Music is holding it awake", {"Music"}},
        {"two assertions of one app",
         {holder(1, "Music"), holder(1, "Music", "Other")},
         "Music is holding it awake",
         {"Music", "Music"}},
        {"five rows of four apps",
         {holder(1, "Zoom"), holder(2, "Music"), holder(3, "Safari"), holder(3, "Safari", "Two"),
          holder(4, "Mail")},
         "4 apps are holding it awake",
         {"Zoom", "Music", "Safari", "Safari"}},
        {"a name that looks like markup",
         {holder(1, "<b>Bold</b>")},
         "<b>Bold</b> is holding it awake",
         {"<b>Bold</b>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.setLive(c.live);
        EXPECT_EQ(view.headline()->text(), c.headline);
        EXPECT_EQ(names(view), c.lines);
        EXPECT_EQ(view.dot()->live(), !c.lines.empty());
    }
}

// Two assertions of one process with the same type and name are two lines, and a later read that only
// ages them keeps both lines as they were.
TEST_F(MenuBarViewTest, LinesAreKeptByTheirRowsAcrossReads) {
    Store& store = makeStore();
    MenuBarView view(store);
    store.setLive({holder(1, "Music", "Playing", 60), holder(1, "Music", "Playing", 90), holder(2, "Mail")});
    const std::vector<MenuBarView::HolderLine*> before = view.holderLines();
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[0]->age()->text(), "1 m");
    EXPECT_EQ(before[1]->age()->text(), QString::fromStdString(Fmt::duration(90)));

    store.setLive(
        {holder(1, "Music", "Playing", 3600), holder(1, "Music", "Playing", 3630), holder(2, "Mail")});
    EXPECT_EQ(view.holderLines(), before);
    EXPECT_EQ(before[0]->age()->text(), QString::fromStdString(Fmt::duration(3600)));

    store.setLive({holder(2, "Mail"), holder(1, "Music", "Playing", 3660)});
    const std::vector<MenuBarView::HolderLine*> after = view.holderLines();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], before[2]);
    EXPECT_EQ(after[1], before[0]);
}

// The dot is one widget throughout: rose and pulsing while someone holds the Mac awake, indigo and still
// otherwise, as the live reads come in while the view shows.
TEST_F(MenuBarViewTest, TheDotFollowsTheLiveStateWhileShown) {
    test::ClockMode running(AnimationClock::Mode::running);
    Motion::setReduceMotion(false);
    Store& store = makeStore();
    MenuBarView view(store);
    view.show();
    StatusDot* dot = view.dot();
    EXPECT_FALSE(dot->pulsing());
    store.setLive({holder(1, "Music")});
    EXPECT_EQ(view.dot(), dot);
    EXPECT_TRUE(dot->pulsing());
    const QImage held = test::render(view, 2);
    const QPointF centre =
        QRectF(dot->geometry()).center() + QPointF(dot->parentWidget()->mapTo(&view, QPoint()));
    EXPECT_TRUE(test::near(test::probe(held, centre.x(), centre.y()), QColor(Theme::rose), 8));
    store.setLive({});
    EXPECT_FALSE(dot->pulsing());
    const QImage clear = test::render(view, 2);
    EXPECT_TRUE(test::near(test::probe(clear, centre.x(), centre.y()), QColor(Theme::indigo), 8));
    Motion::setReduceMotion(std::nullopt);
}

TEST_F(MenuBarViewTest, TheButtonsOpenTheWindowAndQuit) {
    Store& store = makeStore();
    MenuBarView view(store);
    EXPECT_EQ(view.width(), MenuBarView::fixedWidth);
    QSignalSpy open(&view, &MenuBarView::openMainWindow);
    QSignalSpy quit(&view, &MenuBarView::quitApplication);
    view.openButton()->click();
    EXPECT_EQ(open.count(), 1);
    EXPECT_EQ(quit.count(), 0);
    EXPECT_EQ(view.quitButton()->toolTip(), "Quit Dormio (sampling stops)");
    view.quitButton()->click();
    EXPECT_EQ(quit.count(), 1);

    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(open.count(), 2);
    QTest::keyClick(&view, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 2);
}

} // namespace
} // namespace dormio

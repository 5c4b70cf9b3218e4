// The main window's shell: the sidebar and its footer, the page host, the toolbar's refresh button.

#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Shell/PageFactory.h"
#include "Dormio/UI/Shell/PageHost.h"
#include "Dormio/UI/Shell/RefreshButton.h"
#include "Dormio/UI/Shell/RootView.h"
#include "Dormio/UI/Shell/SettingsPage.h"
#include "Dormio/UI/Shell/Sidebar.h"
#include "Dormio/UI/Shell/SidebarFooter.h"
#include "Dormio/UI/Shell/SidebarRow.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "OstrelKit/Capture/DemoAnchors.h"
#include "StoreTests.h"

#include <QSplitter>
#include <QTest>

namespace dormio {
namespace {

using namespace std::chrono_literals;

// A live assertion that blocks system sleep, held by an app of that name.
LiveRow holder(int32_t pid, const std::string& app, const std::string& name = "Playing") {
    return LiveRow{LiveAssertion{pid, app, "PreventUserIdleSystemSleep", name, 60},
                   AppIdentity{app, std::nullopt, std::nullopt, true}};
}

class ShellTest : public testing::StoreTest {
protected:
    test::InstantClock instant;
};

TEST_F(ShellTest, TheRightNowBadgeCountsTheAppsHoldingTheMacAwake) {
    Store& store = makeStore();
    Sidebar sidebar(store);
    SidebarRow* now = sidebar.row(Page::now);
    struct Case {
        const char* name;
        std::vector<LiveRow> live;
        std::optional<int> badge;
    };
    const Case cases[] = {
        {"nobody", {}, std::nullopt},
        {"two assertions of one app", {holder(1, "Music"), holder(1, "Music", "Other")}, 1},
        {"three apps", {holder(1, "Music"), holder(2, "Safari"), holder(3, "Zoom"), holder(3, "Zoom")}, 3},
        {"only a screen keeper",
         {LiveRow{LiveAssertion{4, "Safari", "PreventUserIdleDisplaySleep", "Video", 5},
                  AppIdentity{"Safari", std::nullopt, std::nullopt, true}}},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.setLive(c.live);
        EXPECT_EQ(now->badge(), c.badge);
        EXPECT_EQ(now->badgeOpacity(), c.badge ? 1 : 0);
        for (Page other : {Page::night, Page::history, Page::battery, Page::settings})
            EXPECT_EQ(sidebar.row(other)->badge(), std::nullopt);
    }
}

TEST_F(ShellTest, TheBadgeRollsItsDigitsAndFades) {
    test::SteppedClock stepped;
    Store& store = makeStore();
    Sidebar sidebar(store);
    SidebarRow* now = sidebar.row(Page::now);
    store.setLive({holder(1, "Music")});
    EXPECT_EQ(now->badgeOpacity(), 0); // fading in
    stepped.advance(1s);
    EXPECT_EQ(now->badgeOpacity(), 1);
    store.setLive({});
    stepped.advance(50ms);
    EXPECT_GT(now->badgeOpacity(), 0); // the old count fades out rather than vanishing
    stepped.advance(1s);
    EXPECT_EQ(now->badgeOpacity(), 0);
}

TEST_F(ShellTest, TheFooterSaysWhetherAndHowOftenEnergyIsSampled) {
    testing::FakePlatform fake;
    Store& store = makeStore(fake.platform());
    SidebarFooter footer(store);
    footer.show();
    struct Case {
        const char* name;
        bool track;
        int minutes;
        bool demo;
        bool login;
        QString sampling;
        QString loginLine;
        QString tooltip;
        DynamicColor dot;
        bool live;
    };
    const Case cases[] = {
        {"sampling", true, 5, false, false, "SAMPLING · 5 MIN", "Measures only while open",
         "Per-app energy is sampled every 5 minutes", Theme::indigo, true},
        {"every ten minutes, at login", true, 10, false, true, "SAMPLING · 10 MIN", "Opens at login",
         "Per-app energy is sampled every 10 minutes", Theme::indigo, true},
        {"sample data", true, 5, true, false, "SAMPLING · 5 MIN", "Measures only while open",
         "Per-app energy is sampled every 5 minutes", Theme::indigo, false},
        {"off", false, 5, false, true, "SAMPLING OFF", "Opens at login",
         "Turn on energy sampling in Settings", Theme::ink3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store.setTrackEnergy(c.track);
        store.setSampleMinutes(c.minutes);
        store.demoState().setDemo(c.demo);
        store.setLoginItem(c.login);
        EXPECT_EQ(footer.sampling()->text(), c.sampling);
        EXPECT_EQ(footer.login()->text(), c.loginLine);
        EXPECT_EQ(footer.toolTip(), c.tooltip);
        EXPECT_EQ(footer.dot()->live(), c.live);
        // The dot is drawn by its halo, a sibling: the footer's picture shows it.
        const QImage image = test::render(footer, 2);
        const QPointF centre = QRectF(footer.dot()->geometry()).center();
        EXPECT_TRUE(
            test::near(test::probe(image, centre.x(), centre.y()), c.dot.resolve(Theme::appearance()), 8));
    }
    store.setTrackEnergy(false);
}

// The dot is the same one throughout: it starts and stops pulsing as sampling is switched while it shows.
TEST_F(ShellTest, TheFootersDotFollowsSamplingWhileShown) {
    test::ClockMode running(AnimationClock::Mode::running);
    Motion::setReduceMotion(false);
    Store& store = makeStore();
    RootView root(store);
    root.resize(1020, 680);
    root.show();
    StatusDot* dot = root.sidebar()->footer()->dot();
    EXPECT_TRUE(dot->pulsing());
    store.setTrackEnergy(false);
    EXPECT_EQ(root.sidebar()->footer()->dot(), dot);
    EXPECT_FALSE(dot->pulsing());
    store.setTrackEnergy(true);
    EXPECT_TRUE(dot->pulsing());
    root.hide();
    EXPECT_FALSE(dot->pulsing()); // a hidden window runs no animation
    store.setTrackEnergy(false);
    Motion::setReduceMotion(std::nullopt);
}

TEST_F(ShellTest, TheMarkedRowIsTheStoresPageBothWays) {
    Store& store = makeStore();
    RootView root(store);
    Sidebar* sidebar = root.sidebar();
    EXPECT_EQ(sidebar->selected(), Page::night);
    for (Page page : {Page::history, Page::now, Page::battery, Page::settings, Page::night}) {
        SCOPED_TRACE(rawValue(page).data());
        QTest::mouseClick(sidebar->row(page), Qt::LeftButton);
        EXPECT_EQ(store.page(), page);
        EXPECT_EQ(sidebar->selected(), page);
        EXPECT_EQ(root.pageHost()->shownPage(), page);
    }
    for (Page page : {Page::battery, Page::history}) {
        store.go(page);
        EXPECT_EQ(sidebar->selected(), page);
        for (Page other : Pages::allCases)
            EXPECT_EQ(sidebar->row(other)->selected(), other == page);
    }
    // A click on the sidebar's empty space below the rows selects nothing and keeps the page.
    root.resize(1020, 680);
    QTest::mouseClick(sidebar, Qt::LeftButton, {}, QPoint(40, sidebar->height() / 2 + 60));
    EXPECT_EQ(store.page(), Page::history);
    EXPECT_EQ(sidebar->selected(), Page::history);
}

TEST_F(ShellTest, EachRowCarriesItsDemoAnchor) {
    Store& store = makeStore();
    Sidebar sidebar(store);
    sidebar.resize(Sidebar::idealWidth, 600);
    sidebar.show();
    QCoreApplication::processEvents();
    const std::pair<Page, const char*> anchors[] = {{Page::night, "side-night"},
                                                    {Page::history, "side-history"},
                                                    {Page::now, "side-now"},
                                                    {Page::battery, "side-battery"},
                                                    {Page::settings, "side-settings"}};
    for (auto [page, name] : anchors) {
        SCOPED_TRACE(name);
        SidebarRow* row = sidebar.row(page);
        const std::optional<QRectF> frame = DemoAnchors::shared().frame(name);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(*frame, QRect(row->mapToGlobal(QPoint()), row->size()));
    }
}

TEST_F(ShellTest, APageChangeMakesAFreshPage) {
    Store& store = makeStore();
    RootView root(store);
    QSignalSpy titles(&root, &RootView::titleChanged);
    store.go(Page::history);
    const QPointer<QWidget> first = root.pageHost()->page();
    store.go(Page::history); // no change, no new page
    EXPECT_EQ(root.pageHost()->page(), first);
    store.go(Page::now);
    store.go(Page::history);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()); // the old view went with its state
    ASSERT_NE(root.pageHost()->page(), nullptr);
    EXPECT_EQ(root.pageHost()->page()->parentWidget(), root.pageHost());
    EXPECT_EQ(root.title(), "History");
    ASSERT_EQ(titles.count(), 3);
    EXPECT_EQ(titles.at(1).at(0).toString(), "Right Now");
}

TEST_F(ShellTest, ANewPageFadesIn) {
    test::SteppedClock stepped;
    Store& store = makeStore();
    PageHost host(store);
    store.go(Page::battery);
    EXPECT_EQ(host.fade(), 0);
    EXPECT_NE(host.page()->graphicsEffect(), nullptr);
    stepped.advance(100ms);
    EXPECT_GT(host.fade(), 0);
    stepped.advance(1s);
    EXPECT_EQ(host.fade(), 1);
    EXPECT_EQ(host.page()->graphicsEffect(), nullptr); // at rest the page draws straight
}

// The spring takes about 0.42 s; under Reduce Motion a 0.2 s ease-in-out takes its place.
TEST_F(ShellTest, UnderReduceMotionThePageFadesInAShortEase) {
    test::SteppedClock stepped;
    Store& store = makeStore();
    PageHost host(store);
    for (bool reduced : {false, true}) {
        SCOPED_TRACE(reduced ? "reduced" : "spring");
        Motion::setReduceMotion(reduced);
        store.go(store.page() == Page::now ? Page::battery : Page::now);
        stepped.advance(210ms);
        EXPECT_EQ(host.fade() == 1, reduced);
        stepped.advance(1s);
    }
    Motion::setReduceMotion(std::nullopt);
}

// A page names itself; one that gives no title is called by its sidebar title.
TEST_F(ShellTest, TheTitleIsWhatThePageCallsItself) {
    Store& store = makeStore();
    PageHost host(store);
    QSignalSpy titles(&host, &PageHost::titleChanged);
    host.page()->setWindowTitle("Tuesday, 8 December night");
    EXPECT_EQ(host.title(), "Tuesday, 8 December night");
    ASSERT_EQ(titles.count(), 1);
    host.page()->setWindowTitle({});
    EXPECT_EQ(host.title(), "Last Night");
}

TEST_F(ShellTest, EveryPageHasAView) {
    Store& store = makeStore();
    QWidget parent;
    for (Page page : Pages::allCases) {
        SCOPED_TRACE(rawValue(page).data());
        QWidget* view = makePage(page, store, &parent);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->parentWidget(), &parent);
        QWidget* other = makePage(page, store, &parent);
        EXPECT_NE(other, view);
    }
    EXPECT_NE(dynamic_cast<SettingsPage*>(makePage(Page::settings, store, &parent)), nullptr);
}

// The form stays at the leading edge and no wider than 700 px with its insets, however wide the window.
TEST_F(ShellTest, TheSettingsPageKeepsToTheLeadingEdge) {
    auto* form = new QWidget;
    form->setMinimumHeight(120);
    SettingsPage page(form);
    page.resize(1600, 900);
    page.show();
    QCoreApplication::processEvents();
    const QRect shown(form->mapTo(&page, QPoint()), form->size());
    EXPECT_EQ(shown.left(), 32);
    EXPECT_EQ(shown.top(), 24);
    EXPECT_LE(shown.right() + 1 + 32, SettingsPage::maximumWidth);
    EXPECT_EQ(page.windowTitle(), "Settings");
}

TEST_F(ShellTest, TheSidebarKeepsItsWidthInBounds) {
    Store& store = makeStore();
    RootView root(store);
    root.resize(1400, 700);
    root.show();
    EXPECT_EQ(root.sidebar()->width(), Sidebar::idealWidth);
    root.splitter()->setSizes({600, 800});
    EXPECT_EQ(root.sidebar()->width(), Sidebar::maximumWidth);
    root.splitter()->setSizes({20, 1380});
    EXPECT_EQ(root.sidebar()->width(), Sidebar::minimumWidth);
}

TEST_F(ShellTest, RefreshReadsTheLogAndSpinsWhileItReads) {
    writeLog(testing::recentNights(2));
    Store& store = makeStore();
    RootView root(store);
    RefreshButton* refresh = root.refreshButton();
    EXPECT_FALSE(refresh->spinning());
    EXPECT_EQ(refresh->toolTip(), "Read the power log again (Ctrl+R)");
    refresh->click();
    EXPECT_TRUE(store.loading());
    EXPECT_TRUE(refresh->spinning());
    refresh->click(); // still pressable: one more read is remembered
    waitForLogRead();
    EXPECT_FALSE(refresh->spinning());
    EXPECT_EQ(store.nights().size(), 2u);
    EXPECT_TRUE(toastText().startsWith("Power log read ·")) << toastText().toStdString();
}

TEST_F(ShellTest, TheSpinnerTurnsOnlyWhileShownAndMotionIsAllowed) {
    test::SteppedClock stepped;
    Motion::setReduceMotion(false);
    writeLog(testing::recentNights(1));
    Store& store = makeStore();
    RefreshButton refresh(store);
    refresh.show();
    store.refresh(false);
    stepped.advance(300ms);
    EXPECT_GT(refresh.turn(), 0);
    refresh.hide();
    stepped.advance(100ms);
    EXPECT_EQ(refresh.turn(), 0);
    waitForLogRead();
    Motion::setReduceMotion(std::nullopt);
}

} // namespace
} // namespace dormio

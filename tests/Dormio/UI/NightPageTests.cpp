// The "Last Night" page over a store of the test's making: which state it shows, the header's words and
// step buttons, the wide and narrow arrangements, the cross-fade between nights, the snapshot scroll
// targets, and the clock text of the night window's hours.
#include "ChartFixtures.h"
#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/DormioDemo.h"
#include "Dormio/UI/Charts/HypnogramView.h"
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/EnergyLedger.h"
#include "Dormio/UI/Pages/HourText.h"
#include "Dormio/UI/Pages/KeptAwakeLedger.h"
#include "Dormio/UI/Pages/MomentRow.h"
#include "Dormio/UI/Pages/MomentsLog.h"
#include "Dormio/UI/Pages/NightBody.h"
#include "Dormio/UI/Pages/NightHeader.h"
#include "Dormio/UI/Pages/NightPage.h"
#include "Dormio/UI/Pages/PageScroll.h"
#include "Dormio/UI/Pages/StateLegend.h"
#include "FakePlatform.h"
#include "FixedClock.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QBackingStore>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace dormio::testing {
namespace {

// 06:00 UTC on 5 March 2024, a Tuesday.
constexpr Date morning = Date::fromUnix(1709618400);

Night nightEnding(std::string id, Date end, bool inProgress = false) {
    Night night = storedNight(std::move(id), end - 8 * 3600, end);
    night.inProgress = inProgress;
    return night;
}

class NightPageTest : public StoreTest {
protected:
    test::BritishUtcClock britishClock;
    FixedClock clock{morning};
    FakePlatform fake;

    Store& storeWith(std::vector<Night> nights) {
        Store& s = makeStore(fake.platform());
        s.setNights(std::move(nights));
        return s;
    }

    static std::vector<Night> threeNights() {
        return {nightEnding("2024-03-03", morning - 2 * 86400), nightEnding("2024-03-04", morning - 86400),
                nightEnding("2024-03-05", morning - 3600)};
    }
};

TEST_F(NightPageTest, ShowsTheNightWhileThereIsOneElseReadingOrWhyNot) {
    Store& s = makeStore(fake.platform());
    NightPage page(s);
    EXPECT_EQ(page.showing(), NightPage::Showing::loading) << "before the first read has finished";
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Last Night"));

    writeLog("");
    readLogOnce();
    ASSERT_EQ(page.showing(), NightPage::Showing::empty);
    EXPECT_EQ(page.emptyState()->message()->text(),
              QStringLiteral(
                  "macOS keeps about a week of sleep history. Once your Mac spends a night between 23:00 "
                  "and 07:00 on record, its trace appears here."));
    page.emptyState()->button()->click();
    EXPECT_EQ(s.page(), Page::now);

    s.setNights(threeNights());
    EXPECT_EQ(page.showing(), NightPage::Showing::night);
    EXPECT_EQ(page.body()->night().id, "2024-03-05");
    s.refreshLog(); // a read while nights are held leaves the night in place
    EXPECT_TRUE(s.loading());
    EXPECT_EQ(page.showing(), NightPage::Showing::night);
    waitForLogRead();
}

// A journal this user may not read says so, and what to do, where "Nothing to read yet" would stand; from
// the first read on, and until a read succeeds.
TEST_F(NightPageTest, AJournalItCannotReadIsWhyThereIsNothingToShow) {
    readUnreadableJournal();
    Store& s = makeStore();
    NightPage page(s);
    readLogOnce();
    ASSERT_EQ(page.showing(), NightPage::Showing::empty);
    EXPECT_EQ(page.emptyState()->title()->text(),
              "Dormio can’t read the system journal. Add yourself to the systemd-journal group and log in "
              "again.");
    EXPECT_EQ(page.emptyState()->button()->text(), "See Right Now");
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const test::InstantClock instant;
        NightPage drawn(s);
        drawn.resize(1100, 600);
        drawn.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(test::writeGallery(
            test::render(drawn, 2),
            QStringLiteral("night-page-unreadable-journal-%1").arg(test::nameOf(appearance))));
    }

    qputenv("DORMIO_LOG_FIXTURE", path("power.log").toUtf8());
    writeLog("");
    Store& readable = makeStore();
    NightPage after(readable);
    readLogOnce();
    ASSERT_EQ(after.showing(), NightPage::Showing::empty);
    EXPECT_EQ(after.emptyState()->title()->text(), "Nothing to read yet");
}

TEST_F(NightPageTest, TheHeaderNamesTheNightAndStepsWithinTheRecord) {
    struct Case {
        const char* what;
        std::vector<Night> nights;
        std::string selected;
        bool previous, next;
        const char* kicker;
        const char* title;
    };
    const Case cases[] = {
        {"newest", threeNights(), "2024-03-05", true, false, "Night of Mon, 4 Mar \u00B7 21:00 \u2192 05:00",
         "Last Night"},
        {"middle", threeNights(), "2024-03-04", true, true, "Night of Sun, 3 Mar \u00B7 22:00 \u2192 06:00",
         "Sunday, 3 March night"},
        {"oldest", threeNights(), "2024-03-03", false, true, "Night of Sat, 2 Mar \u00B7 22:00 \u2192 06:00",
         "Saturday, 2 March night"},
        {"only one, in progress",
         {nightEnding("2024-03-05", morning, true)},
         "2024-03-05",
         false,
         false,
         "Night of Mon, 4 Mar \u00B7 22:00 \u2192 06:00 \u00B7 recording",
         "Tonight, so far"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store& s = storeWith(c.nights);
        s.setSelectedNightID(c.selected);
        const NightHeader header(s, *s.selectedNight());
        EXPECT_EQ(header.previous()->isEnabled(), c.previous);
        EXPECT_EQ(header.next()->isEnabled(), c.next);
        EXPECT_EQ(header.kicker()->text(), QString::fromUtf8(c.kicker));
        EXPECT_EQ(header.title()->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(header.previous()->toolTip(), QStringLiteral("Previous night (Ctrl+[)"));
        EXPECT_EQ(header.next()->toolTip(), QStringLiteral("Next night (Ctrl+])"));
        EXPECT_TRUE(header.sampleTag()->isHidden());
    }

    Store& s = storeWith(threeNights());
    s.setSelectedNightID("2024-03-04");
    NightHeader header(s, *s.selectedNight());
    header.next()->click();
    EXPECT_EQ(s.selectedNightID(), "2024-03-05");
    header.previous()->click();
    EXPECT_EQ(s.selectedNightID(), "2024-03-04");
}

TEST_F(NightPageTest, ASampleNightIsTaggedUnlessTheDemoRecords) {
    Night sample = nightEnding("2024-03-05", morning - 3600);
    sample.isDemo = true;
    Store& s = storeWith({sample});
    {
        const NightHeader header(s, sample);
        EXPECT_FALSE(header.sampleTag()->isHidden());
        EXPECT_EQ(header.sampleTag()->text(), QStringLiteral("SAMPLE DATA"));
    }
    qputenv("DORMIO_DEMO_DIR", "");
    const NightHeader header(s, sample);
    EXPECT_TRUE(header.sampleTag()->isHidden());
    qunsetenv("DORMIO_DEMO_DIR");
}

TEST_F(NightPageTest, TheLowerBlocksStandSideBySideFrom964PointsAndTheColumnStopsAt1180) {
    Store& s = storeWith(threeNights());
    NightPage page(s);
    EXPECT_TRUE(page.wide()) << "before the first measurement";
    page.show();
    struct Case {
        int width;
        bool wide;
    };
    for (const Case c : {Case{964, true}, Case{963, false}, Case{1400, true}, Case{700, false}}) {
        page.resize(c.width, 800);
        QCoreApplication::processEvents();
        EXPECT_EQ(page.wide(), c.wide) << c.width;
        EXPECT_EQ(page.body()->wide(), c.wide) << c.width;
        page.scroller()->widget()->layout()->activate();
        const QRect log = page.body()->moments()->geometry();
        const QRect energy = page.body()->energy()->geometry();
        if (c.wide) {
            EXPECT_EQ(energy.top(), log.top()) << c.width;
            EXPECT_EQ(energy.width(), 320) << c.width;
        } else {
            EXPECT_GT(energy.top(), log.bottom()) << c.width;
            EXPECT_EQ(energy.width(), log.width()) << c.width;
        }
    }
    page.resize(1400, 800);
    page.scroller()->widget()->layout()->activate();
    const QRect header = page.header()->geometry();
    EXPECT_EQ(header.width(), 1180 - 64) << "the column stops at 1180 points, its padding included";
    EXPECT_NEAR(header.center().x(), page.scroller()->viewport()->width() / 2, 1);
}

// Inside the trace's panel the trace and its legend stand a panel's spacing apart, 12 points.
TEST_F(NightPageTest, TheLegendStandsAPanelsSpacingBelowTheTrace) {
    Store& s = storeWith(threeNights());
    NightPage page(s);
    page.resize(1000, 800);
    page.show();
    QCoreApplication::processEvents();
    const auto* trace = page.body()->findChild<HypnogramView*>();
    const StateLegend* legend = nullptr; // not a Q_OBJECT: findChild would take any widget
    for (const QWidget* child : page.body()->findChildren<QWidget*>())
        if (const auto* found = dynamic_cast<const StateLegend*>(child)) legend = found;
    ASSERT_TRUE(trace && legend);
    const int traceBottom = trace->mapTo(page.body(), QPoint(0, trace->height())).y();
    EXPECT_EQ(legend->mapTo(page.body(), QPoint(0, 0)).y() - traceBottom, 12);
}

// A window the new body fills (400 high) shows nothing of the old one once the new one is in: the old night
// is taken as it showed before, so it still fades out there.
TEST_F(NightPageTest, AnotherNightFadesInRisingSixPointsOrOnlyFadesUnderReduceMotion) {
    for (const auto& [reduce, height] : {std::pair{false, 800}, {true, 800}, {false, 400}}) {
        SCOPED_TRACE(::testing::Message() << (reduce ? "reduce motion, " : "full motion, ") << height);
        Motion::setReduceMotion(reduce);
        const test::SteppedClock steps;
        Store& s = storeWith(threeNights());
        NightPage page(s);
        page.resize(1000, height);
        page.show();
        page.scroller()->widget()->layout()->activate();
        const QPoint home = page.body()->pos();

        const NightHeader* header = page.header();
        s.step(-1);
        EXPECT_EQ(page.header(), header) << "the same header, showing another night";
        EXPECT_EQ(page.header()->title()->text(), QStringLiteral("Sunday, 3 March night"));
        EXPECT_NE(page.header()->title()->isTransitioning(), reduce) << "the title cross-fades";
        EXPECT_EQ(page.body()->night().id, "2024-03-04");
        EXPECT_TRUE(page.crossFading());
        EXPECT_EQ(page.body()->pos().y() - home.y(), reduce ? 0 : 6);
        steps.advance(std::chrono::milliseconds(1000));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(page.crossFading());
        EXPECT_EQ(page.body()->pos(), home);
    }
    Motion::setReduceMotion(std::nullopt);
}

// Counts the paints a widget receives.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The window's last frame, as the screen shows it.
QImage lastFrame(const QWidget& window) {
    return static_cast<const QImage*>(window.backingStore()->paintDevice())->copy();
}

// On a painted window a step's first frame shows the old body exactly as it stood, copied from the frame
// before, with nothing of the new one painted under it; the new body is painted from the next frame on.
TEST_F(NightPageTest, AStepsFirstFrameShowsTheOldBodyAsItStoodAndPaintsTheNewOneNext) {
    const test::SteppedClock steps;
    Store& s = storeWith(threeNights());
    NightPage page(s);
    page.resize(1000, 700);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    page.repaint();
    const QImage before = lastFrame(page);
    const QRect header(page.header()->mapTo(&page, QPoint(0, 0)), page.header()->size());

    s.step(-1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const PaintCount bodyPaints(page.body());
    page.repaint();
    const QImage first = lastFrame(page);
    const QRect below(0, header.bottom() + 1, page.width(), page.height() - header.bottom() - 1);
    EXPECT_EQ(first.copy(below), before.copy(below)) << "below the header, the first frame is the one before";
    EXPECT_NE(first.copy(header), before.copy(header)) << "the header tells the new night";
    EXPECT_EQ(bodyPaints.paints, 0);

    steps.advance(std::chrono::milliseconds(16));
    page.repaint();
    EXPECT_GT(bodyPaints.paints, 0);
    EXPECT_NE(lastFrame(page).copy(below), before.copy(below));
}

TEST_F(NightPageTest, TheLiveReadAndTheSameNightAgainLeaveTheBodyInPlace) {
    Store& s = storeWith(threeNights());
    NightPage page(s);
    const NightBody* body = page.body();
    s.setLive({});
    s.setSelectedNightID("2024-03-05");
    EXPECT_EQ(page.body(), body);
    s.setNights(threeNights());
    EXPECT_EQ(page.body(), body) << "the same nights again";
}

TEST_F(NightPageTest, SnapshotScrollBringsItsTargetIntoViewOnlyWhenItChanges) {
    Store& s = storeWith(threeNights());
    NightPage page(s);
    page.resize(1000, 500);
    page.show();
    QScrollBar* bar = page.scroller()->verticalScrollBar();
    QCoreApplication::processEvents();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    ASSERT_GT(bar->maximum(), 0);

    s.demoState().setSnapshotScroll("bottom");
    QWidget* strip = page.scrollTarget(QStringLiteral("bottom"));
    EXPECT_EQ(strip->mapTo(page.scroller()->viewport(), QPoint(0, strip->height())).y(),
              page.scroller()->viewport()->height())
        << "the page's last strip at the bottom edge";
    s.demoState().setSnapshotScroll("kept");
    const int keptTop = page.body()->kept()->mapTo(page.scroller()->widget(), QPoint(0, 0)).y();
    EXPECT_EQ(bar->value(), std::min(keptTop, bar->maximum()));
    bar->setValue(0);
    s.demoState().setSnapshotScroll("kept");
    EXPECT_EQ(bar->value(), 0) << "the same target again does not scroll";
    s.demoState().setSnapshotScroll(std::nullopt);
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(NightPageTest, SnapshotScrollGivenATimeEasesThereAndAnotherTargetTakesOver) {
    const test::SteppedClock steps;
    Store& s = storeWith(threeNights());
    NightPage page(s);
    page.resize(1000, 500);
    page.show();
    QScrollBar* bar = page.scroller()->verticalScrollBar();
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    ASSERT_GT(bar->maximum(), 0);
    const int keptTop = page.body()->kept()->mapTo(page.scroller()->widget(), QPoint(0, 0)).y();
    const int kept = std::min(keptTop, bar->maximum());
    ASSERT_GT(kept, 40);

    s.demoState().setSnapshotScroll("kept", 0.9);
    EXPECT_EQ(bar->value(), 0) << "nothing moves before the clock does";
    steps.advance(std::chrono::milliseconds(150));
    const int early = bar->value();
    EXPECT_GT(early, 0);
    EXPECT_LT(early, kept / 4) << "eased in: slow at first";
    steps.advance(std::chrono::milliseconds(300));
    EXPECT_GT(bar->value(), early);
    EXPECT_LT(bar->value(), kept);
    steps.advance(std::chrono::milliseconds(600));
    EXPECT_EQ(bar->value(), kept);

    s.demoState().setSnapshotScroll("bottom", 0.9);
    steps.advance(std::chrono::milliseconds(300));
    s.demoState().setSnapshotScroll("top");
    const int top = bar->value();
    EXPECT_LT(top, kept) << "a jump to the top at once";
    steps.advance(std::chrono::milliseconds(900));
    EXPECT_EQ(bar->value(), top) << "the jump stopped the eased scroll";
}

TEST_F(NightPageTest, TheTracePanelAndItsDemoHooks) {
    Store& s = storeWith(threeNights());
    NightPage page(s);
    page.resize(1000, 800);
    page.show();
    Panel* trace = page.body()->trace();
    EXPECT_EQ(trace->header()->title(), QStringLiteral("Hypnogram"));
    EXPECT_EQ(trace->header()->note(), QStringLiteral("hover to scrub any minute"));
    EXPECT_EQ(page.body()->kept(), page.scrollTarget(QStringLiteral("kept")));

    const Date scrub = morning - 4 * 3600;
    s.demoState().setDemoScrub(scrub);
    EXPECT_EQ(page.body()->hypnogram()->cursor(), scrub);
    QCoreApplication::processEvents();
    EXPECT_FALSE(DormioDemo::shared().plotFrame().isEmpty());
}

// A step keeps the page's body and tells the new night in the same blocks: once the layouts have settled
// it reads and looks as a body built for that night, whatever the night before it showed.
TEST_F(NightPageTest, ABodyToldAnotherNightLooksAsOneBuiltForIt) {
    std::vector<Night> nights = DemoData::makeNights();
    ASSERT_GE(nights.size(), 8u);
    // Many moments, a list cut behind "Show all", and holders.
    const auto makeBusy = [](Night& night, int wakes) {
        for (int i = 0; i < wakes; ++i) {
            NightEvent wake;
            wake.kind = NightEvent::Kind::darkWake;
            wake.date = night.start + 300.0 * i;
            wake.label = "Wake request " + std::to_string(i);
            wake.duration = 40;
            night.events.push_back(wake);
        }
        for (int i = 0; i < 3; ++i)
            night.keptAwake.push_back(
                {"holder" + std::to_string(i), "reason", "PreventUserIdleSystemSleep", 600.0});
    };
    Night& busy = nights[0];
    makeBusy(busy, 30);
    Night& long2 = nights[7];
    makeBusy(long2, 12);
    Night& run = nights[1]; // one run of like moments, told as a single counted row
    run.events.clear();
    for (int i = 0; i < 5; ++i) {
        NightEvent wake;
        wake.kind = NightEvent::Kind::darkWake;
        wake.date = run.start + 600.0 * i;
        wake.label = "Wake request";
        wake.duration = 30;
        run.events.push_back(wake);
    }
    Night& quiet = nights[2]; // nothing recorded and nothing held
    quiet.events.clear();
    quiet.keptAwake.clear();
    nights[3].inProgress = true; // no closing line yet
    nights[4].hasBattery = !nights[4].hasBattery;
    const std::string plain = nights[5].id;
    const std::string between = nights[6].id;

    struct Case {
        std::string from, to;
        int width;
    };
    const Case cases[] = {
        {plain, busy.id, 1000},      {busy.id, plain, 1000},
        {busy.id, run.id, 1000},     {busy.id, long2.id, 1000},
        {run.id, quiet.id, 1000},    {quiet.id, busy.id, 1000},
        {plain, nights[3].id, 1000}, {nights[3].id, nights[4].id, 1000},
        {busy.id, quiet.id, 700},    {quiet.id, run.id, 700},
    };
    Store& s = storeWith(nights);
    const test::InstantClock instant;
    const auto settle = [] {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    };
    const auto shown = [&](int width) {
        auto page = std::make_unique<NightPage>(s);
        page->resize(width, 800);
        page->show();
        settle();
        return page;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from + " to " + c.to + " at " + std::to_string(c.width));
        // The page keeps the body of the night before last for the next step: the body `to` is told in
        // is the one that showed `from`.
        s.setSelectedNightID(c.from);
        const auto stepped = shown(c.width);
        stepped->body()->moments()->setShowAll(true); // a long list shown whole; the next night's is cut

        settle();
        s.setSelectedNightID(between);
        settle();
        // What the first frame after the step shows: the layouts settled once, as before painting.
        s.setSelectedNightID(c.to);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const auto built = shown(c.width);
        NightBody* told = stepped->body();

        ASSERT_EQ(told->night().id, c.to);
        EXPECT_EQ(told->geometry(), built->body()->geometry());
        EXPECT_EQ(test::render(*told, 1), test::render(*built->body(), 1));
    }
}

TEST_F(NightPageTest, AStepClosesTheRecordCardOfTheNightItLeaves) {
    Store& s = storeWith(DemoData::makeNights());
    NightPage page(s);
    page.resize(1000, 800);
    page.show();
    QCoreApplication::processEvents();
    MomentRow* row = page.body()->moments()->rows().front();
    row->setShowInfo(true);
    ASSERT_TRUE(row->showInfo());
    s.step(-1);
    EXPECT_FALSE(row->showInfo());
}

TEST(HourText, NamesAWholeHourOfTodayOnTheLocalesClock) {
    const test::BritishUtcClock british;
    struct Case {
        const char* zone;
        double unix;
        int hour;
        const char* text;
    };
    const Case cases[] = {
        {"UTC", 1709618400, 23, "23:00"},
        {"UTC", 1709618400, 7, "07:00"},
        {"Europe/London", 1711846800, 1, "02:00"}, // skipped on 31 March 2024: the next time that exists
        {"Asia/Kolkata", 1709618400, 0, "00:00"},
        {"UTC", 1709618415, 25, "06:00"}, // no such hour: the current time
    };
    for (const Case& c : cases) {
        const test::ScopedTZ zone(c.zone);
        const FixedClock clock(Date::fromUnix(c.unix));
        Fmt::resetFormatters();
        EXPECT_EQ(hourText(c.hour), QString::fromUtf8(c.text)) << c.zone << " " << c.hour;
    }
    Fmt::resetFormatters();
}

TEST_F(NightPageTest, DrawsIntoTheGallery) {
    Store& s = makeStore(fake.platform());
    DemoData::apply(s);
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const test::InstantClock instant;
        for (const int width : {1100, 760}) {
            NightPage page(s);
            page.resize(width, 2400);
            page.show();
            page.scroller()->widget()->layout()->activate();
            const int full = page.scroller()->widget()->sizeHint().height();
            page.resize(width, std::max(600, full));
            QCoreApplication::processEvents();
            EXPECT_TRUE(test::writeGallery(test::render(page, 2), QStringLiteral("night-page-%1-%2")
                                                                      .arg(width > 964 ? "wide" : "narrow")
                                                                      .arg(test::nameOf(appearance))));
        }
    }
}

} // namespace
} // namespace dormio::testing

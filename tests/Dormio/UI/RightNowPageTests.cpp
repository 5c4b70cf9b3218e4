// The Right Now page over a store of the test's making: the status line for none, one and several apps,
// the three ledgers with their notes, reason lines and actions, rows kept across live reads, and the quit
// confirmation with its texts and both answers.
#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/KeptAwakeLedger.h"
#include "Dormio/UI/Pages/LiveLedger.h"
#include "Dormio/UI/Pages/RightNowPage.h"
#include "Dormio/UI/Pages/StateLine.h"
#include "DormioKit/Fmt.h"
#include "FakePlatform.h"
#include "FixedClock.h"
#include "KitTest.h"
#include "OstrelKit/Capture/DemoAnchors.h"
#include "PageGallery.h"
#include "StoreTests.h"
#include "SystemHome.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace dormio::testing {
namespace {

constexpr const char* systemSleep = "PreventUserIdleSystemSleep";
constexpr const char* displaySleep = "PreventUserIdleDisplaySleep";

// A row of a user app (or of the system with `userApp` false), stamped as the fake machine runs it.
LiveRow row(int32_t pid, const std::string& name, const char* type,
            const std::string& assertionName = "holding", bool userApp = true, double age = 600) {
    return LiveRow{LiveAssertion{pid, name, type, assertionName, age},
                   AppIdentity{name, std::nullopt, std::nullopt, userApp},
                   ProcessStamp{uint64_t(1000 + pid), "/usr/bin/" + QString::fromStdString(name)}};
}

std::vector<std::string> names(std::initializer_list<const char*> list) {
    return {list.begin(), list.end()};
}

// The widgets of a kind under `widget`: the kit's widgets carry no meta-object of their own, so
// findChildren cannot tell them apart.
template <typename T> std::vector<T*> all(const QWidget& widget) {
    std::vector<T*> found;
    for (QWidget* child : widget.findChildren<QWidget*>())
        if (auto* t = dynamic_cast<T*>(child)) found.push_back(t);
    return found;
}

QStringList texts(const QWidget& widget) {
    QStringList found;
    for (const Label* label : all<Label>(widget))
        found << label->text();
    return found;
}

const Label* labelSaying(const QWidget& widget, const QString& text) {
    for (const Label* label : all<Label>(widget))
        if (label->text() == text) return label;
    return nullptr;
}

class RightNowTest : public StoreTest {
protected:
    FakePlatform fake;

    Store& storeWith(std::vector<LiveRow> rows) {
        Store& s = makeStore(fake.platform());
        s.setLive(std::move(rows));
        return s;
    }

    // The user app as the fake machine runs it, matching the row's stamp.
    void run(const LiveRow& r) {
        fake.apps->run(userApp(r.assertion.pid, QString::fromStdString(r.identity.name), r.owner->executable,
                               r.owner->startTime));
    }

    static Button* quitButton(const QWidget& page, const QString& name) {
        return page.findChild<Button*>(QStringLiteral("quit-") + name);
    }
};

TEST(StateLineWords, HeadlineAndDetailByTheNumberOfApps) {
    struct Case {
        std::vector<std::string> names;
        const char* headline;
        const char* detail;
    };
    const Case cases[] = {
        {{}, "Nothing is keeping your Mac awake", "When you walk away it will sleep on its normal schedule."},
        {names({"Music"}), "Music is holding it awake",
         "While it holds on, your Mac won\u2019t idle-sleep: Music."},
        {names({"Music", "Safari", "Zoom"}), "3 apps are holding it awake",
         "While they hold on, your Mac won\u2019t idle-sleep: Music, Safari, Zoom."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StateLine::headline(c.names), QString::fromUtf8(c.headline));
        EXPECT_EQ(StateLine::detail(c.names), QString::fromUtf8(c.detail));
    }
}

TEST_F(RightNowTest, StatusLineCountsAppsNotAssertions) {
    struct Case {
        const char* what;
        std::vector<LiveRow> live;
        const char* headline;
        const char* detail;
        bool live_;
        DynamicColor dot;
    };
    const std::vector<Case> cases{
        {"nothing held",
         {},
         "Nothing is keeping your Mac awake",
         "When you walk away it will sleep on its normal schedule.",
         false,
         Theme::indigo},
        {"two assertions of one app",
         {row(901, "Music", systemSleep, "Playing audio"), row(901, "Music", systemSleep, "Next track")},
         "Music is holding it awake",
         "While it holds on, your Mac won\u2019t idle-sleep: Music.",
         true,
         Theme::rose},
        {"three apps, listed out of order",
         {row(3, "Zoom", systemSleep), row(1, "Safari", systemSleep), row(2, "Music", systemSleep)},
         "3 apps are holding it awake",
         "While they hold on, your Mac won\u2019t idle-sleep: Music, Safari, Zoom.",
         true,
         Theme::rose},
        {"only the screen kept on",
         {row(4, "Safari", displaySleep)},
         "Nothing is keeping your Mac awake",
         "When you walk away it will sleep on its normal schedule.",
         false,
         Theme::indigo},
    };
    Store& s = storeWith({});
    const RightNowPage page(s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s.setLive(c.live);
        EXPECT_EQ(page.stateLine()->headlineLabel()->text(), QString::fromUtf8(c.headline));
        EXPECT_EQ(page.stateLine()->detailLabel()->text(), QString::fromUtf8(c.detail));
        EXPECT_EQ(page.stateLine()->dot()->live(), c.live_);
        EXPECT_EQ(page.stateLine()->dot()->color(), c.dot);
    }
}

TEST_F(RightNowTest, KickerTellsTheLastReadOrNowOnSampleData) {
    const FixedClock clock(Date::fromUnix(1709600000));
    Store& s = storeWith({});
    const RightNowPage page(s);
    EXPECT_EQ(page.header()->kicker()->text(),
              QStringLiteral("On duty \u00B7 read every 30 s \u00B7 last \u2014"));
    s.demoState().setDemo(true);
    EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("On duty \u00B7 read every 30 s \u00B7 last ") +
                                                   QString::fromStdString(Fmt::clockTime(currentDate())));
    s.demoState().setDemo(false);
    s.refreshNow();
    ASSERT_TRUE(waitUntil([&] { return s.lastLiveRead().has_value(); }));
    EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("On duty \u00B7 read every 30 s \u00B7 last ") +
                                                   QString::fromStdString(Fmt::clockTime(*s.lastLiveRead())));
}

TEST_F(RightNowTest, WithNothingLiveBothLedgersSayWhyAndHousekeepingIsHidden) {
    Store& s = storeWith({});
    RightNowPage page(s);
    page.resize(1020, 680);
    page.show();
    EXPECT_EQ(page.windowTitle(), QStringLiteral("Right Now"));
    EXPECT_EQ(page.header()->title()->text(), QStringLiteral("Right Now"));
    EXPECT_TRUE(labelSaying(*page.holders(), "No app is stopping your Mac from going to sleep."));
    EXPECT_TRUE(labelSaying(*page.screenKeepers(), "Nothing is holding the display on."));
    EXPECT_FALSE(page.holders()->header()->note());
    EXPECT_TRUE(all<LedgerHeader>(*page.holders()).empty());
    EXPECT_FALSE(page.housekeeping()->isVisible());
    EXPECT_TRUE(labelSaying(page,
                            "Read from pmset -g assertions every 30 seconds. Quitting asks the app to close "
                            "normally, so it can save your work first."));

    s.setLive({row(120, "powerd", "BackgroundTask", "", false)});
    EXPECT_TRUE(page.housekeeping()->isVisible());
    EXPECT_EQ(page.housekeeping()->header()->title(), QStringLiteral("macOS housekeeping"));
}

TEST_F(RightNowTest, LedgerNotesCountAssertions) {
    struct Case {
        std::size_t count;
        std::optional<QString> note;
    };
    for (const Case& c :
         {Case{0, std::nullopt}, Case{1, "1 assertion"}, Case{2, "2 assertions"}, Case{12, "12 assertions"}})
        EXPECT_EQ(LiveLedger::note(c.count), c.note) << c.count;

    Store& s =
        storeWith({row(901, "Music", systemSleep, "Playing audio"), row(901, "Music", systemSleep, "Next")});
    const RightNowPage page(s);
    EXPECT_EQ(page.holders()->header()->note(), QStringLiteral("2 assertions"));
    const auto headers = all<LedgerHeader>(*page.holders());
    ASSERT_EQ(headers.size(), 1u);
    const LedgerHeader* titles = headers.front();
    EXPECT_EQ(titles->titles(), (QStringList{"Holder", "Assertion", "Held for", ""}));
}

TEST_F(RightNowTest, ReasonLinesAndTheirColours) {
    struct Case {
        const char* what;
        LiveRow live;
        LiveLedger* (RightNowPage::*ledger)() const;
        const char* second;
        DynamicColor typeColour; // rose only for a hold that is noteworthy
    };
    const std::vector<Case> cases{
        {"a named hold of a user app", row(901, "Music", systemSleep, "Playing audio"),
         &RightNowPage::holders, "\u201CPlaying audio\u201D \u00B7 Music", Theme::rose},
        {"an unnamed hold shows its raw type", row(902, "Safari", displaySleep, ""),
         &RightNowPage::screenKeepers, "PreventUserIdleDisplaySleep", Theme::ink2},
        {"the system's own sleep hold", row(120, "powerd", systemSleep, "Prevent sleep", false),
         &RightNowPage::housekeeping, "\u201CPrevent sleep\u201D \u00B7 powerd", Theme::ink2},
        {"housekeeping", row(310, "backupd", "BackgroundTask", "Time Machine backup", false),
         &RightNowPage::housekeeping, "\u201CTime Machine backup\u201D \u00B7 backupd", Theme::ink2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store& s = storeWith({c.live});
        const RightNowPage page(s);
        const LiveLedger& ledger = *(page.*c.ledger)();
        ASSERT_EQ(ledger.rows().size(), 1u);
        const Label* type = labelSaying(ledger, QString::fromStdString(c.live.assertion.friendlyType()));
        ASSERT_TRUE(type);
        EXPECT_EQ(type->color(), c.typeColour);
        EXPECT_TRUE(labelSaying(ledger, QString::fromUtf8(c.second)))
            << texts(ledger).join(" | ").toStdString();
        EXPECT_TRUE(labelSaying(ledger, QString::fromStdString(Fmt::duration(600, false))));
        EXPECT_TRUE(labelSaying(ledger, QString::fromStdString(c.live.identity.name)));
    }
}

TEST_F(RightNowTest, OnlyUserAppsOfferQuitOthersSayMacOS) {
    Store& s = storeWith({row(901, "Music", systemSleep), row(66, "caffeinate", systemSleep, "", false),
                          row(120, "powerd", systemSleep, "Prevent sleep", false),
                          row(488, "coreaudiod", displaySleep, "context", false),
                          row(310, "backupd", "BackgroundTask", "Backup", false)});
    const RightNowPage page(s);
    const Button* quit = quitButton(page, "Music");
    ASSERT_TRUE(quit);
    EXPECT_EQ(quit->text(), QStringLiteral("Quit\u2026"));
    EXPECT_EQ(quit->toolTip(), QStringLiteral("Ask Music to quit so your Mac can sleep"));
    for (const char* system : {"caffeinate", "powerd", "coreaudiod", "backupd"})
        EXPECT_FALSE(quitButton(page, system)) << system;
    for (const LiveLedger* ledger : {page.holders(), page.screenKeepers(), page.housekeeping()}) {
        const Label* word = labelSaying(*ledger, "macOS");
        ASSERT_TRUE(word) << ledger->header()->title().toStdString();
        EXPECT_EQ(word->toolTip(), QStringLiteral("Part of macOS \u2014 it lets go on its own"));
    }
    EXPECT_EQ(page.findChildren<Button*>().size(), 1u);
}

// A real program started from an installed entry with an icon of its own, on the machine's own process
// table and quit signal: while it holds the machine awake its live row offers Quit and shows the entry's
// icon; asked to quit, it ends, and the night it kept awake then says it is not running.
TEST_F(RightNowTest, AnAppOfAnInstalledEntryOffersQuitWithItsIconAndOnceQuitIsNotRunning) {
    SystemHome home;
    const QString program = home.install(QStringLiteral("/bin/sleep"), QStringLiteral("bin/fakeplayer"));
    QImage blue(32, 32, QImage::Format_ARGB32);
    blue.fill(QColor(0, 0, 255));
    const QString picture = home.path(QStringLiteral("icons")) + QStringLiteral("/blue.png");
    ASSERT_TRUE(blue.save(picture));
    const QString entry =
        home.applicationEntry(QStringLiteral("org.example.FakePlayer.desktop"), QStringLiteral("Fake Player"),
                              program + QStringLiteral(" %U"), "Icon=" + picture.toUtf8() + "\n");
    Child player(program, {QStringLiteral("60")});
    ASSERT_TRUE(player.started);

    auto listing = std::make_shared<FakeAssertions>();
    listing->answer({LiveAssertion{player.pid(), "fakeplayer", systemSleep, "Playing audio", 60}});
    Platform machine = Platform::system();
    machine.battery = fake.battery;
    machine.assertions = listing;
    Store& s = makeStore(machine);
    const auto readLive = [&] {
        QSignalSpy read(&s, &Store::lastLiveReadChanged);
        s.refreshNow();
        return read.wait(10000);
    };
    ASSERT_TRUE(readLive());
    RightNowPage page(s);
    ASSERT_EQ(s.noteworthy().size(), 1u);
    const LiveRow held = s.noteworthy().front();
    EXPECT_EQ(held.identity.name, "Fake Player");
    EXPECT_EQ(held.identity.path, entry.toStdString());
    ASSERT_TRUE(quitButton(page, "Fake Player"));
    const std::vector<HolderGlyph*> glyphs =
        all<HolderGlyph>(*page.holders()->row(LiveLedger::keys({held})[0]));
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_TRUE(glyphs[0]->showsIcon());
    // The entry's blue, greyed as a holder's icon is: dark, and grey, where the generic icon is slate.
    const QColor middle = test::render(*glyphs[0], 2).pixelColor(glyphs[0]->width(), glyphs[0]->height());
    EXPECT_EQ(middle.red(), middle.green());
    EXPECT_EQ(middle.green(), middle.blue());
    EXPECT_LT(middle.red(), 30);

    Night night;
    night.id = "2024-03-05";
    night.start = currentDate() - 10 * hour;
    night.end = currentDate() - 2 * hour;
    night.keptAwake = {{"fakeplayer", "Playing audio", systemSleep, 3600}};
    KeptAwakeLedger ledger(s, night);
    ledger.show();
    const std::vector<Button*> offered = all<Button>(ledger);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0]->text(), QStringLiteral("Quit\u2026"));

    s.quit(held);
    ASSERT_TRUE(player.process.waitForFinished(10000)) << "the quit signal reaches the program";
    listing->answer({});
    ASSERT_TRUE(readLive());
    EXPECT_TRUE(s.noteworthy().empty());
    const Label* word = labelSaying(ledger, QStringLiteral("not running"));
    ASSERT_TRUE(word);
    EXPECT_EQ(word->toolTip(), QStringLiteral("This app isn\u2019t running now"));
}

TEST(LiveLedgerKeys, RepeatedIdsGetTheirOccurrence) {
    const std::vector<LiveRow> rows{row(1, "Music", systemSleep, "a"), row(1, "Music", systemSleep, "a"),
                                    row(2, "Zoom", systemSleep, "a"), row(1, "Music", systemSleep, "a")};
    EXPECT_EQ(LiveLedger::keys(rows), (std::vector<std::string>{rows[0].id(), rows[0].id() + "#1",
                                                                rows[2].id(), rows[0].id() + "#2"}));
}

TEST_F(RightNowTest, ALiveReadChangesOnlyTheRowsThatChanged) {
    const test::InstantClock instant;
    LiveRow music = row(901, "Music", systemSleep, "Playing audio", true, 60);
    const LiveRow twin = music;
    const LiveRow zoom = row(77, "Zoom", systemSleep, "Meeting", true, 30);
    Store& s = storeWith({music, twin, zoom});
    const RightNowPage page(s);
    const auto keys = LiveLedger::keys(s.noteworthy());
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_NE(keys[0], keys[1]) << "two identical assertions are two rows";
    const QPointer<LedgerRow> first = page.holders()->row(keys[0]);
    const QPointer<LedgerRow> second = page.holders()->row(keys[1]);
    const QPointer<LedgerRow> zoomRow = page.holders()->row(keys[2]);
    ASSERT_TRUE(first && second && zoomRow);

    // Thirty seconds on: Music held longer, Zoom let go, Safari came.
    music.assertion.age = 90;
    LiveRow twinLater = twin;
    twinLater.assertion.age = 90;
    const LiveRow safari = row(55, "Safari", systemSleep, "Download", true, 5);
    s.setLive({music, twinLater, safari});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page.holders()->row(keys[0]), first.data()) << "a row that stays keeps its widgets";
    EXPECT_EQ(page.holders()->row(keys[1]), second.data());
    EXPECT_TRUE(labelSaying(*first, QString::fromStdString(Fmt::duration(90, false))));
    EXPECT_FALSE(zoomRow) << "a row that went is gone";
    EXPECT_TRUE(page.holders()->row(LiveLedger::keys(s.noteworthy())[2]));
    EXPECT_EQ(page.holders()->rows().size(), 3u);

    // The same assertion now held for another app: a row of its own.
    LiveRow renamed = music;
    renamed.identity.name = "Music (2)";
    s.setLive({renamed, twinLater, safari});
    EXPECT_FALSE(first);
    EXPECT_TRUE(labelSaying(*page.holders(), "Music (2)"));
}

TEST_F(RightNowTest, RowsComeInWithTheSpringOrUnderReduceMotionA02sEase) {
    struct Case {
        bool reduceMotion;
        bool inPlaceAt200ms;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.reduceMotion ? "Reduce Motion" : "spring");
        Motion::setReduceMotion(c.reduceMotion);
        const test::SteppedClock clock;
        Store& s = storeWith({});
        const RightNowPage page(s);
        s.setLive({row(901, "Music", systemSleep, "Playing audio")});
        LedgerRow* music = page.holders()->row(LiveLedger::keys(s.noteworthy())[0]);
        ASSERT_TRUE(music);
        EXPECT_EQ(music->presence(), 0);
        clock.advance(std::chrono::milliseconds(200));
        EXPECT_EQ(music->presence() >= 1, c.inPlaceAt200ms) << music->presence();
        clock.advance(std::chrono::milliseconds(600));
        EXPECT_GE(music->presence(), 1);
        Motion::setReduceMotion(std::nullopt);
    }
}

TEST_F(RightNowTest, TheColumnKeepsTo1180PointsCentredInAWideWindow) {
    Store& s = storeWith({});
    for (const int width : {814, 1180, 1600}) {
        RightNowPage page(s);
        page.resize(width, 680);
        page.show();
        QCoreApplication::processEvents();
        const int shown = page.viewport()->width();
        const int column = std::min(shown, PageScroll::maxColumnWidth);
        const QRect header(page.header()->mapTo(page.widget(), QPoint()), page.header()->size());
        EXPECT_EQ(header.left(), (shown - column) / 2 + 32) << width;
        EXPECT_EQ(header.width(), column - 64) << width;
        EXPECT_EQ(header.top(), 24) << width;
    }
}

class QuitDialogTest : public RightNowTest {
protected:
    // Presses the Quit button of `name` and returns the box that opens.
    static QMessageBox* ask(RightNowPage& page, const QString& name) {
        Button* quit = quitButton(page, name);
        if (!quit) return nullptr;
        quit->click();
        return page.confirmation();
    }
    static QPushButton* button(QMessageBox& box, const QString& text) {
        for (QAbstractButton* b : box.buttons())
            if (b->text() == text) return qobject_cast<QPushButton*>(b);
        return nullptr;
    }
};

TEST_F(QuitDialogTest, AsksWithTheAppsNameAndQuotesTheAssertionsOwn) {
    struct Case {
        const char* assertionName;
        const char* message;
    };
    for (const Case c :
         {Case{"Playing audio", "Music is asking macOS to stay awake (\u201CPlaying audio\u201D). "
                                "Quitting lets your Mac sleep normally. Unsaved work may prompt you "
                                "first."},
          Case{"", "Music is asking macOS to stay awake (\u201C\u201D). Quitting lets your Mac sleep "
                   "normally. Unsaved work may prompt you first."}}) {
        Store& s = storeWith({row(901, "Music", systemSleep, c.assertionName)});
        QWidget window;
        auto* page = new RightNowPage(s, &window);
        window.show();
        QMessageBox* box = ask(*page, "Music");
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Quit Music?"));
        EXPECT_EQ(box->text(), QStringLiteral("Quit Music?")) << "the question heads the box";
        EXPECT_EQ(box->informativeText(), QString::fromUtf8(c.message));
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (label->text() == box->informativeText() || label->text() == box->text()) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
            }
        ASSERT_EQ(box->buttons().size(), 2);
        QPushButton* cancel = button(*box, "Cancel");
        ASSERT_TRUE(button(*box, "Quit Music"));
        ASSERT_TRUE(cancel);
        EXPECT_EQ(box->escapeButton(), cancel);
        ASSERT_TRUE(page->confirm());
        EXPECT_EQ(page->confirm()->identity.name, "Music");
        box->reject();
    }
}

TEST_F(QuitDialogTest, ConfirmingQuitsTheAppCancellingDoesNothing) {
    const LiveRow music = row(901, "Music", systemSleep, "Playing audio");
    Store& s = storeWith({music});
    run(music);
    QWidget window;
    auto* page = new RightNowPage(s, &window);
    window.resize(1020, 680);
    window.show();
    // The scripted demo finds the button by its anchor.
    const auto anchor = DemoAnchors::shared().frame("quit-Music");
    ASSERT_TRUE(anchor);
    EXPECT_EQ(anchor->size(), quitButton(*page, "Music")->size());

    QPointer<QMessageBox> box = ask(*page, "Music");
    ASSERT_TRUE(box);
    QTest::keyClick(box, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(box) << "Escape is Cancel";
    EXPECT_FALSE(page->confirm());
    EXPECT_TRUE(fake.quit->asked.empty());
    EXPECT_EQ(toastText(), QString());

    box = ask(*page, "Music");
    ASSERT_TRUE(box);
    button(*box, "Quit Music")->click();
    EXPECT_EQ(fake.quit->asked, std::vector<int32_t>{901});
    EXPECT_EQ(toastText(), QStringLiteral("Asked Music to quit"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(page->confirm());
}

TEST_F(QuitDialogTest, ConfirmingAHolderThatIsNoLongerThereSignalsNothing) {
    const LiveRow music = row(901, "Music", systemSleep, "Playing audio");
    LiveRow reused = music; // the pid now belongs to a process started later
    reused.owner->startTime += 500;
    struct Case {
        const char* what;
        std::vector<LiveRow> liveAtConfirmation;
    };
    const std::vector<Case> cases{
        {"the hold was let go", {}},
        {"the pid was reused by another process", {reused}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store& s = storeWith({music});
        run(music);
        QWidget window;
        auto* page = new RightNowPage(s, &window);
        window.show();
        QMessageBox* box = ask(*page, "Music");
        ASSERT_TRUE(box);
        s.setLive(c.liveAtConfirmation); // a live read while the box waits
        ASSERT_TRUE(button(*box, "Quit Music"));
        button(*box, "Quit Music")->click();
        EXPECT_TRUE(fake.quit->asked.empty());
        EXPECT_EQ(toastText(), QStringLiteral("Music has already quit"));
        fake.apps->end(901);
    }
}

TEST_F(QuitDialogTest, OnSampleDataConfirmingRemovesTheRow) {
    Store& s = storeWith(
        {row(901, "Music", systemSleep, "Playing audio"), row(55, "Safari", displaySleep, "Video")});
    s.demoState().setDemo(true);
    QWidget window;
    auto* page = new RightNowPage(s, &window);
    window.show();
    QMessageBox* box = ask(*page, "Music");
    ASSERT_TRUE(box);
    button(*box, "Quit Music")->click();
    EXPECT_TRUE(page->holders()->rows().empty());
    EXPECT_EQ(page->stateLine()->headlineLabel()->text(),
              QStringLiteral("Nothing is keeping your Mac awake"));
    EXPECT_EQ(toastText(), QStringLiteral("Music quit \u2014 your Mac can sleep"));
}

TEST_F(RightNowTest, DrawsIntoTheGallery) {
    const test::InstantClock instant;
    Store& s = makeStore(fake.platform());
    DemoData::apply(s);
    EXPECT_TRUE(test::writePageGallery("right-now-page", [&] { return std::make_unique<RightNowPage>(s); }));
    s.setLive({});
    EXPECT_TRUE(
        test::writePageGallery("right-now-page-empty", [&] { return std::make_unique<RightNowPage>(s); }));
}

} // namespace
} // namespace dormio::testing

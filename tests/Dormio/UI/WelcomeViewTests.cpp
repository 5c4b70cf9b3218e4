// The welcome tour over a store of the test's making: what each step shows, its buttons and keys, the
// direction pages move in, the login switch, the ways it ends, and each step drawn for a person to look at.
#include "ChartFixtures.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Switch.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Shell/TourParts.h"
#include "Dormio/UI/Shell/WelcomePage.h"
#include "Dormio/UI/Shell/WelcomeView.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "StoreTests.h"

namespace dormio::testing {
namespace {

using namespace std::chrono_literals;

class WelcomeViewTest : public StoreTest {
protected:
    const test::BritishUtcClock clock;
    const test::InstantClock motion;
    FakePlatform fake;
    int finished = 0;

    std::unique_ptr<WelcomeView> makeTour() {
        Store& store = makeStore(fake.platform());
        auto tour = std::make_unique<WelcomeView>(store, [this] { ++finished; });
        tour->show();
        return tour;
    }

    static WelcomePage* shownPage(const WelcomeView& tour) {
        return dynamic_cast<WelcomePage*>(tour.pages()->current());
    }

    static void press(WelcomeView& tour, Qt::Key key) { QTest::keyClick(&tour, key); }
};

TEST_F(WelcomeViewTest, EachStepShowsItsPlaceWordsAndButtons) {
    struct Step {
        const char* kicker;
        qreal fraction;
        bool skipShown, backShown;
        const char* primary;
        const char* title;
        const char* message;
    };
    const Step steps[] = {
        {"Dormio · 1 / 4", 0.25, true, false, "Continue", "What your Mac did overnight",
         "Dormio reads macOS’s own power log and draws each night as a trace: when it slept, every time it "
         "woke, "
         "and what kept it up."},
        {"Dormio · 2 / 4", 0.5, true, true, "Continue", "Four levels, one line",
         "Each morning: a hypnogram of the night, a rest grade out of 100, and every wake in plain words — "
         "with the "
         "raw log one click away."},
        {"Dormio · 3 / 4", 0.75, true, true, "Continue", "Catch what keeps it awake",
         "Right Now lists every app holding your Mac awake, with a quiet Quit button. The moon in the menu "
         "bar "
         "changes when one is."},
        {"Dormio · 4 / 4", 1, false, true, "Get Started", "Measure every night",
         "Dormio needs no permissions or admin password. To estimate energy per app it has to be running "
         "overnight."},
    };
    auto tour = makeTour();
    EXPECT_EQ(tour->size(), WelcomeView::fixedSize);
    EXPECT_EQ(tour->skipButton()->toolTip(), "Skip the introduction (Esc)");
    for (int step = 0; step < 4; ++step) {
        const Step& s = steps[step];
        SCOPED_TRACE(s.kicker);
        EXPECT_EQ(tour->step(), step);
        EXPECT_EQ(tour->kicker()->text(), s.kicker);
        EXPECT_EQ(tour->kicker()->shownLines(), QStringList{QString(s.kicker).toUpper()});
        EXPECT_DOUBLE_EQ(tour->progress()->shownFraction(), s.fraction);
        EXPECT_EQ(tour->skipButton()->isVisible(), s.skipShown);
        EXPECT_TRUE(tour->skipButton()->isEnabled()); // never disabled: Esc works on every step
        EXPECT_EQ(tour->backButton()->isVisible(), s.backShown);
        EXPECT_EQ(tour->backButton()->isEnabled(), s.backShown);
        EXPECT_EQ(tour->primaryButton()->text(), s.primary);
        ASSERT_NE(shownPage(*tour), nullptr);
        EXPECT_EQ(shownPage(*tour)->title()->text(), s.title);
        EXPECT_EQ(shownPage(*tour)->message()->text(), s.message);
        if (step < 3) tour->primaryButton()->click();
    }
    EXPECT_EQ(finished, 0);
    tour->primaryButton()->click();
    EXPECT_EQ(finished, 1);
}

TEST_F(WelcomeViewTest, BackGoesToThePreviousStepAndNeverBeforeTheFirst) {
    auto tour = makeTour();
    tour->backButton()->click(); // inert on the first step
    EXPECT_EQ(tour->step(), 0);
    tour->go(-1);
    EXPECT_EQ(tour->step(), 0);
    tour->primaryButton()->click();
    tour->primaryButton()->click();
    EXPECT_EQ(tour->step(), 2);
    EXPECT_TRUE(tour->forward());
    tour->backButton()->click();
    EXPECT_EQ(tour->step(), 1);
    EXPECT_FALSE(tour->forward());
    EXPECT_EQ(shownPage(*tour)->title()->text(), "Four levels, one line");
    tour->primaryButton()->click();
    EXPECT_TRUE(tour->forward());
    EXPECT_EQ(finished, 0);
}

// Esc is Skip on every step, the last one too where Skip is clear; Return is the primary button.
TEST_F(WelcomeViewTest, EscEndsTheTourFromAnyStepAndReturnMovesOnOrEnds) {
    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        auto tour = makeTour();
        for (int k = 0; k < step; ++k)
            press(*tour, Qt::Key_Return);
        EXPECT_EQ(tour->step(), step);
        EXPECT_EQ(finished, 0);
        press(*tour, Qt::Key_Escape);
        EXPECT_EQ(finished, 1);
        // The host ends the tour; one that does nothing leaves it on screen.
        EXPECT_TRUE(tour->isVisible());
        EXPECT_EQ(tour->step(), step);
        finished = 0;
        tour.reset();
        store.reset();
    }
    auto tour = makeTour();
    for (int k = 0; k < 3; ++k)
        press(*tour, Qt::Key_Enter);
    EXPECT_EQ(tour->step(), 3);
    EXPECT_EQ(finished, 0);
    press(*tour, Qt::Key_Return);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(tour->step(), 3);
}

// Onward, the new page comes in from the trailing (right) edge; back, from the leading edge. With Reduce
// Motion on the pages stay in place and only fade.
TEST_F(WelcomeViewTest, PagesSlideFromTheSideTheUserMovesTowardOrFadeWithReduceMotion) {
    for (const bool reduce : {false, true}) {
        SCOPED_TRACE(reduce ? "Reduce Motion" : "motion");
        Motion::setReduceMotion(reduce);
        auto tour = makeTour();
        const test::SteppedClock stepped;
        for (const int delta : {1, -1, 1}) {
            tour->go(delta);
            stepped.advance(100ms);
            QWidget* entering = tour->pages()->current();
            QWidget* leaving = tour->pages()->leaving();
            ASSERT_NE(leaving, nullptr);
            if (reduce) {
                EXPECT_EQ(entering->x(), 0);
                EXPECT_EQ(leaving->x(), 0);
            } else {
                EXPECT_EQ(entering->x() > 0, delta > 0) << entering->x();
                EXPECT_EQ(leaving->x() < 0, delta > 0) << leaving->x();
            }
            const qreal fading = TourPages::opacity(entering);
            EXPECT_GT(fading, 0);
            EXPECT_LT(fading, 1);
            EXPECT_GT(tour->progress()->shownFraction(), 0);
            stepped.advance(1000ms);
            EXPECT_EQ(tour->pages()->leaving(), nullptr);
            EXPECT_EQ(entering->x(), 0);
            EXPECT_EQ(TourPages::opacity(entering), 1);
            EXPECT_DOUBLE_EQ(tour->progress()->shownFraction(), (tour->step() + 1) * 0.25);
        }
        tour.reset();
        store.reset();
    }
    Motion::setReduceMotion(std::nullopt);
}

TEST_F(WelcomeViewTest, TheLoginSwitchShowsWhatTheSystemHolds) {
    auto tour = makeTour();
    for (int k = 0; k < 3; ++k)
        tour->go(1);
    auto* art = tour->pages()->current()->findChild<LoginArt*>();
    ASSERT_NE(art, nullptr);
    Switch* login = art->loginSwitch();
    EXPECT_EQ(login->accessibleName(), "Open Dormio at login");
    EXPECT_FALSE(login->isChecked());
    EXPECT_FALSE(art->message()->isVisible());

    struct Attempt {
        std::optional<std::string> refusal;
        LoginItemStatus after;
        bool on;
        QString message;
    };
    for (const Attempt& a : {Attempt{"Operation not permitted", LoginItemStatus::enabled, false,
                                     "macOS didn’t accept the change (Operation not permitted). You can add "
                                     "Dormio in System Settings › "
                                     "General › Login Items."},
                             Attempt{std::nullopt, LoginItemStatus::requiresApproval, false,
                                     "Approve Dormio in System Settings › General › Login Items."},
                             Attempt{std::nullopt, LoginItemStatus::enabled, true, QString()}}) {
        SCOPED_TRACE(a.message.toStdString());
        fake.loginItem->refusal = a.refusal;
        fake.loginItem->afterRegistering = a.after;
        login->click();
        EXPECT_EQ(fake.loginItem->requests.back(), true);
        EXPECT_EQ(login->isChecked(), a.on);
        EXPECT_EQ(art->message()->isVisible(), !a.message.isEmpty());
        EXPECT_EQ(art->message()->text(), a.message);
    }
    login->click();
    EXPECT_EQ(fake.loginItem->requests.back(), false);
    EXPECT_FALSE(login->isChecked());
    EXPECT_EQ(finished, 0);
}

// The window manager's close is the system's dismissal: the tour is no longer asked for, and not recorded
// as seen. The host's own close says nothing.
TEST_F(WelcomeViewTest, ClosingTheSheetStopsAskingWithoutRecordingItSeen) {
    auto tour = makeTour();
    store->setShowWelcome(true);
    tour->close();
    EXPECT_FALSE(store->showWelcome());
    EXPECT_FALSE(store->welcomeDone());
    EXPECT_FALSE(QSettings().contains("welcomeDone"));
    EXPECT_EQ(finished, 0);

    auto again = std::make_unique<WelcomeView>(*store, [this] { ++finished; });
    again->show();
    store->setShowWelcome(true);
    QSignalSpy asked(store.get(), &Store::showWelcomeChanged);
    again->dismiss();
    EXPECT_FALSE(again->isVisible());
    EXPECT_EQ(asked.count(), 0);
    EXPECT_TRUE(store->showWelcome());
}

TEST_F(WelcomeViewTest, DrawsEachStepIntoTheGallery) {
    auto tour = makeTour();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (int step = 0; step < 4; ++step) {
            while (tour->step() > step)
                tour->go(-1);
            while (tour->step() < step)
                tour->go(1);
            EXPECT_TRUE(test::writeGallery(
                test::render(*tour, 2),
                QStringLiteral("welcome-step-%1-%2").arg(step + 1).arg(test::nameOf(appearance))));
        }
    }
    // The last step with the system's refusal under the switch.
    fake.loginItem->refusal = "Operation not permitted";
    tour->pages()->current()->findChild<LoginArt*>()->loginSwitch()->click();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        EXPECT_TRUE(
            test::writeGallery(test::render(*tour, 2),
                               QStringLiteral("welcome-step-4-refused-%1").arg(test::nameOf(appearance))));
    }
}

} // namespace
} // namespace dormio::testing

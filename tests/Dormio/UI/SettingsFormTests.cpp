// The settings form and the settings window over a store of the test's making: every control's binding,
// what the form shows of settings edited elsewhere, the login item the system refuses, the energy data's
// deletion, "Show Welcome Again", and the window's two layouts drawn for a person to look at.
#include "ChartFixtures.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Pages/EnergyLedger.h"
#include "Dormio/UI/Pages/HourText.h"
#include "Dormio/UI/Pages/SettingsForm.h"
#include "Dormio/UI/Shell/SettingsWindow.h"
#include "DormioKit/EnergyJson.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

namespace dormio::testing {
namespace {

class SettingsFormTest : public StoreTest {
protected:
    const test::BritishUtcClock clock;
    FakePlatform fake;

    Store& makeFakeStore() { return makeStore(fake.platform()); }

    // The user opens the menu and clicks the entry `steps` below the shown one.
    static void pick(QComboBox* box, int steps) {
        box->showPopup();
        QAbstractItemView* menu = box->view();
        const QModelIndex entry = box->model()->index(box->currentIndex() + steps, 0);
        menu->scrollTo(entry);
        QTest::mouseClick(menu->viewport(), Qt::LeftButton, {}, menu->visualRect(entry).center());
        ASSERT_FALSE(menu->isVisible());
    }

    static QStringList entries(const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

    static QString note(const SettingsForm& form) { return *form.nightCard()->header()->note(); }
};

TEST(HourText, IsTheLocalesClockTextOfTheHour) {
    const test::BritishUtcClock clock;
    for (const auto& [hour, text] : {std::pair{23, "23:00"}, {0, "00:00"}, {7, "07:00"}})
        EXPECT_EQ(hourText(hour), text);
}

TEST_F(SettingsFormTest, TheHeaderStandsAboveTheCardsOnlyWhenAskedFor) {
    Store& store = makeFakeStore();
    for (const bool showHeader : {false, true}) {
        SettingsForm form(store, showHeader);
        QWidget* first = form.layout()->itemAt(0)->widget();
        if (showHeader) {
            ASSERT_EQ(first, form.header());
            EXPECT_EQ(form.header()->kicker()->text(), "Preferences");
            EXPECT_EQ(form.header()->title()->text(), "Settings");
        } else {
            EXPECT_EQ(form.header(), nullptr);
            EXPECT_EQ(first, form.nightCard());
        }
        EXPECT_EQ(form.nightCard()->header()->title(), "Your night");
    }
}

TEST_F(SettingsFormTest, ThePickersOfferTheirHoursAndShowTheDefaultWindow) {
    Store& store = makeFakeStore();
    SettingsForm form(store, false);
    EXPECT_EQ(entries(form.startHour()), QStringList({"17:00", "18:00", "19:00", "20:00", "21:00", "22:00",
                                                      "23:00", "00:00", "01:00", "02:00"}));
    EXPECT_EQ(entries(form.endHour()),
              QStringList({"04:00", "05:00", "06:00", "07:00", "08:00", "09:00", "10:00", "11:00"}));
    EXPECT_EQ(entries(form.sampleMinutes()), QStringList({"2 minutes", "5 minutes", "10 minutes"}));
    EXPECT_EQ(form.startHour()->currentData().toInt(), 23);
    EXPECT_EQ(form.endHour()->currentData().toInt(), 7);
    EXPECT_EQ(form.sampleMinutes()->currentData().toInt(), 5);
    EXPECT_EQ(note(form), "23:00 → 07:00 · 8 h");
}

// One choice is one write of the setting and one read of the log; the form showing the new value writes
// nothing back.
TEST_F(SettingsFormTest, AnHourPickWritesOnceAndReadsTheLogOnce) {
    struct Case {
        const char* key;
        bool start;
        int steps;
        int hour;
        const char* note;
    };
    for (const Case c : {Case{"nightStartHour", true, 2, 1, "01:00 → 07:00 · 6 h"},
                         Case{"nightEndHour", false, 3, 10, "23:00 → 10:00 · 11 h"}}) {
        SCOPED_TRACE(c.key);
        QSettings().clear();
        Store& store = makeFakeStore();
        SettingsForm form(store, false);
        QSignalSpy written(&store, c.start ? &Store::nightStartHourChanged : &Store::nightEndHourChanged);
        int reads = 0;
        QObject::connect(&store, &Store::loadingChanged, [&] { reads += store.loading(); });

        pick(c.start ? form.startHour() : form.endHour(), c.steps);
        EXPECT_EQ(QSettings().value(c.key).toInt(), c.hour);
        EXPECT_EQ(note(form), c.note);
        waitForLogRead();
        EXPECT_EQ(written.count(), 1);
        EXPECT_EQ(reads, 1);
    }
}

TEST_F(SettingsFormTest, AChangeMadeElsewhereIsShownWithoutBeingWrittenAgain) {
    Store& store = makeFakeStore();
    SettingsForm form(store, false);
    QSignalSpy written(&store, &Store::sampleMinutesChanged);
    store.setSampleMinutes(10);
    store.setShowMenuBar(false);
    EXPECT_EQ(written.count(), 1);
    EXPECT_EQ(form.sampleMinutes()->currentData().toInt(), 10);
    EXPECT_FALSE(form.showMenuBar()->isChecked());
}

// Settings edited outside the app: a value no menu offers shows as the default, so no menu is left blank,
// and showing it writes nothing.
TEST_F(SettingsFormTest, AStoredValueNoMenuOffersShowsTheDefault) {
    struct Case {
        const char* key;
        QVariant stored;
        const char *start, *end, *minutes;
        const char* note;
    };
    for (const Case& c : {
             Case{"nightStartHour", 5, "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"nightStartHour", "07:00", "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"nightStartHour", "1", "01:00", "07:00", "5 minutes", "01:00 → 07:00 · 6 h"},
             Case{"nightEndHour", 12, "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"nightEndHour", "3", "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"sampleMinutes", 1440, "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"sampleMinutes", 2147483647, "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"sampleMinutes", "ten", "23:00", "07:00", "5 minutes", "23:00 → 07:00 · 8 h"},
             Case{"sampleMinutes", " 10 ", "23:00", "07:00", "10 minutes", "23:00 → 07:00 · 8 h"},
         }) {
        SCOPED_TRACE(c.key + (" stored as " + c.stored.toString().toStdString()));
        QSettings().clear();
        QSettings().setValue(c.key, c.stored);
        Store& store = makeFakeStore();
        SettingsForm form(store, false);
        EXPECT_EQ(form.startHour()->currentText(), c.start);
        EXPECT_EQ(form.endHour()->currentText(), c.end);
        EXPECT_EQ(form.sampleMinutes()->currentText(), c.minutes);
        EXPECT_EQ(note(form), c.note);
        EXPECT_EQ(QSettings().value(c.key), c.stored);
    }
}

TEST_F(SettingsFormTest, TheIntervalIsGreyedOutWhileEnergyIsNotMeasuredAndKeepsItsValue) {
    Store& store = makeFakeStore();
    SettingsForm form(store, false);
    pick(form.sampleMinutes(), 1);
    EXPECT_EQ(store.sampleMinutes(), 10);

    form.trackEnergy()->click();
    EXPECT_FALSE(store.trackEnergy());
    EXPECT_FALSE(QSettings().value("trackEnergy").toBool());
    EXPECT_FALSE(form.sampleMinutes()->isEnabled());
    EXPECT_EQ(form.sampleMinutes()->currentData().toInt(), 10);

    form.trackEnergy()->click();
    EXPECT_TRUE(store.trackEnergy());
    EXPECT_TRUE(form.sampleMinutes()->isEnabled());
    EXPECT_EQ(form.sampleMinutes()->currentData().toInt(), 10);
    store.energy().stop();
}

TEST_F(SettingsFormTest, TheMenuBarToggleWritesTheSetting) {
    Store& store = makeFakeStore();
    SettingsForm form(store, false);
    EXPECT_TRUE(form.showMenuBar()->isChecked());
    form.showMenuBar()->click();
    EXPECT_FALSE(store.showMenuBar());
    EXPECT_FALSE(QSettings().value("showMenuBar").toBool());
    form.showMenuBar()->click();
    EXPECT_TRUE(store.showMenuBar());
}

// The login switch shows what the system holds after each attempt, and the system's words under it.
TEST_F(SettingsFormTest, TheLoginSwitchFollowsTheSystemAndShowsItsRefusal) {
    Store& store = makeFakeStore();
    SettingsForm form(store, false);
    form.show();
    EXPECT_FALSE(form.loginItem()->isChecked());
    EXPECT_FALSE(form.loginMessage()->isVisible());

    fake.loginItem->refusal = "Permission denied";
    form.loginItem()->click();
    EXPECT_EQ(fake.loginItem->requests, std::vector<bool>{true});
    EXPECT_FALSE(form.loginItem()->isChecked());
    EXPECT_TRUE(form.loginMessage()->isVisible());
    EXPECT_EQ(form.loginMessage()->text(), "macOS didn’t accept the change (Permission denied). You can add "
                                           "Dormio in System Settings › General › Login Items.");

    fake.loginItem->refusal.reset();
    fake.loginItem->afterRegistering = LoginItemStatus::requiresApproval;
    form.loginItem()->click();
    EXPECT_FALSE(form.loginItem()->isChecked());
    EXPECT_EQ(form.loginMessage()->text(), "Approve Dormio in System Settings › General › Login Items.");

    fake.loginItem->afterRegistering = LoginItemStatus::enabled;
    form.loginItem()->click();
    EXPECT_TRUE(form.loginItem()->isChecked());
    EXPECT_FALSE(form.loginMessage()->isVisible());
    EXPECT_FALSE(QSettings().contains("loginItemEnabled"));
}

class EnergyDeletionTest : public SettingsFormTest {
protected:
    void SetUp() override {
        SettingsFormTest::SetUp();
        EnergyFile file;
        file.samples = {{currentDate() - 600, {{"firefox", 1200}}},
                        {currentDate() - 300, {{"firefox", 800}}}};
        file.apps = {{"firefox", {"Firefox", std::nullopt}}};
        writeFile(supportDir() + "/energy.json", *encodeEnergyFile(file));
    }
    QString energyPath() const { return supportDir() + "/energy.json"; }

    static QAbstractButton* deleteButton(const QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == "Delete" && box.buttonRole(button) == QMessageBox::DestructiveRole)
                return button;
        return nullptr;
    }
};

TEST_F(EnergyDeletionTest, CancellingChangesNothingAndDeletingClearsTheSamples) {
    for (const bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed ? "Delete" : "Cancel");
        Store& store = makeFakeStore();
        ASSERT_EQ(store.energy().file().samples.size(), 2u);
        SettingsForm form(store, false);
        form.show();
        QSignalSpy cleared(&store.energy(), &EnergyRecorder::cleared);
        // A night's energy ledger open beside the form follows the deletion.
        const Night night = storedNight("night", currentDate() - 3600, currentDate());
        EnergyLedger ledger(store, night);
        ASSERT_EQ(ledger.shown().size(), 1u);

        form.deleteEnergy()->click();
        QMessageBox* confirmation = form.confirmation();
        ASSERT_NE(confirmation, nullptr);
        EXPECT_TRUE(confirmation->isVisible());
        EXPECT_EQ(confirmation->text(), "Delete all measured energy data?");
        EXPECT_EQ(
            confirmation->informativeText(),
            "Per-app estimates for past nights will disappear. Sleep and wake history is not affected.");
        EXPECT_EQ(confirmation->escapeButton(), confirmation->button(QMessageBox::Cancel));
        QAbstractButton* choice = confirmed ? deleteButton(*confirmation) : confirmation->escapeButton();
        ASSERT_NE(choice, nullptr);
        choice->click();
        QCoreApplication::processEvents();

        EXPECT_EQ(form.confirmation(), nullptr);
        store.energy().flush();
        const auto stored = decodeEnergyFile(readFile(energyPath()));
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->samples.size(), confirmed ? 0u : 2u);
        EXPECT_EQ(store.energy().file().samples.size(), confirmed ? 0u : 2u);
        EXPECT_EQ(stored->apps.size(), 1u); // the names stay
        EXPECT_EQ(cleared.count(), confirmed ? 1 : 0);
        EXPECT_EQ(ledger.shown().size(), confirmed ? 0u : 1u);
        EXPECT_EQ(toastText(), confirmed ? "Energy data deleted" : "");
        EXPECT_EQ(toastSymbol(), confirmed ? "trash" : "");
        waitForLogRead();
        this->store.reset();
    }
}

TEST_F(SettingsFormTest, ShowWelcomeAgainClosesTheSettingsWindowOnly) {
    Store& store = makeFakeStore();
    // On the main window's Settings page: the tour shows and no window closes.
    QWidget main;
    main.setObjectName("main");
    auto* page = new SettingsForm(store, true, &main);
    main.show();
    QApplication::setActiveWindow(&main);
    page->showWelcomeAgain()->click();
    EXPECT_TRUE(store.showWelcome());
    EXPECT_TRUE(main.isVisible());

    // In the settings window: that window closes, the main window stays.
    store.setShowWelcome(false);
    SettingsWindow settings(store);
    settings.show();
    QApplication::setActiveWindow(&settings);
    settings.form()->showWelcomeAgain()->click();
    EXPECT_TRUE(store.showWelcome());
    EXPECT_FALSE(settings.isVisible());
    EXPECT_TRUE(main.isVisible());

    // No key window: nothing closes.
    store.setShowWelcome(false);
    settings.show();
    QApplication::setActiveWindow(nullptr);
    settings.form()->showWelcomeAgain()->click();
    EXPECT_TRUE(store.showWelcome());
    EXPECT_TRUE(settings.isVisible());
}

TEST_F(SettingsFormTest, TheWindowKeepsItsSizeAndScrollsTheFormWithoutItsHeader) {
    Store& store = makeFakeStore();
    for (const bool single : {true, false}) {
        SCOPED_TRACE(single ? "single" : "tabs");
        SettingsWindow window(store, single);
        window.show();
        EXPECT_EQ(window.size(), SettingsWindow::fixedSize);
        EXPECT_EQ(window.form()->header(), nullptr);
        EXPECT_EQ(window.tabs() == nullptr, single);
        // The form is longer than the window: it scrolls inside.
        EXPECT_GT(window.scroll()->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(window.scroll()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        if (!single) {
            ASSERT_EQ(window.tabs()->count(), 2);
            EXPECT_EQ(window.tabs()->tabText(0), "General");
            EXPECT_EQ(window.tabs()->tabText(1), "Updates");
        }
    }
}

TEST_F(SettingsFormTest, DrawsTheWindowIntoTheGallery) {
    fake.loginItem->refusal = "Permission denied";
    Store& store = makeFakeStore();
    store.setLoginItem(true);
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const bool single : {true, false}) {
            SettingsWindow window(store, single);
            window.show();
            const QString name = QStringLiteral("settings-window-%1-%2").arg(single ? "single" : "tabs");
            EXPECT_TRUE(test::writeGallery(test::render(window, 2), name.arg(test::nameOf(appearance))));
            if (single) continue;
            window.tabs()->setCurrentIndex(1);
            EXPECT_TRUE(test::writeGallery(
                test::render(window, 2),
                QStringLiteral("settings-window-updates-%1").arg(test::nameOf(appearance))));
        }
        // The form's lower half, scrolled into view.
        SettingsWindow window(store, true);
        window.show();
        window.scroll()->verticalScrollBar()->setValue(window.scroll()->verticalScrollBar()->maximum());
        EXPECT_TRUE(
            test::writeGallery(test::render(window, 2),
                               QStringLiteral("settings-window-scrolled-%1").arg(test::nameOf(appearance))));
    }
}

} // namespace
} // namespace dormio::testing

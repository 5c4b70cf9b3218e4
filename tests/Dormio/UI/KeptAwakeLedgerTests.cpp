// The "What kept it up" panel over a machine of the test's making: its rows and their cells, which rows
// offer "Quit…", and the confirmation with both of its answers.
#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/KeptAwakeLedger.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

namespace dormio::testing {
namespace {

constexpr int32_t musicPid = 4201;

class KeptAwakeLedgerTest : public StoreTest {
protected:
    FakePlatform fake;

    void SetUp() override {
        StoreTest::SetUp();
        // A user app that runs, and an app bundle that runs only as a helper, not as a user app.
        fake.apps->run(userApp(musicPid, "Music", "/Applications/Music.app/Contents/MacOS/Music"));
        fake.apps->run(userApp(4202, "Backup Helper", "/Applications/Backup.app/Contents/MacOS/backup-helper",
                               1000, ActivationPolicy::prohibited));
    }

    static Night nightKeptBy(std::vector<KeptAwake> entries) {
        Night night;
        night.id = "2024-03-05";
        night.start = Date{1709592060};
        night.end = night.start + 8 * 3600;
        night.keptAwake = std::move(entries);
        return night;
    }

    static const std::vector<KeptAwake>& threeHolders() {
        static const std::vector<KeptAwake> entries{
            {"Music", "Playing audio", "PreventUserIdleSystemSleep", 2 * 3600 + 12 * 60},
            {"backup-helper", "", "PreventSystemSleep", 25 * 60},
            {"powerd", "Maintenance wake", "InternalPreventSleep", 40},
        };
        return entries;
    }

    static QStringList texts(const QWidget& widget) {
        QStringList found;
        for (const QWidget* child : widget.findChildren<QWidget*>())
            if (const auto* label = dynamic_cast<const Label*>(child)) found << label->text();
        return found;
    }

    static std::vector<LedgerRow*> ledgerRows(const QWidget& widget) {
        std::vector<LedgerRow*> found;
        for (QWidget* child : widget.findChildren<QWidget*>())
            if (auto* row = dynamic_cast<LedgerRow*>(child)) found.push_back(row);
        return found;
    }

    static QStringList rowTexts(LedgerRow* row) { return texts(*row); }

    static LedgerHeader* ledgerHeader(const QWidget& widget) {
        for (QWidget* child : widget.findChildren<QWidget*>())
            if (auto* header = dynamic_cast<LedgerHeader*>(child)) return header;
        return nullptr;
    }

    static Button* quitButton(LedgerRow* row) {
        for (QWidget* child : row->findChildren<QWidget*>())
            if (auto* button = dynamic_cast<Button*>(child)) return button;
        return nullptr;
    }

    static const Label* labelSaying(const QWidget& widget, const QString& text) {
        for (const QWidget* child : widget.findChildren<QWidget*>())
            if (const auto* label = dynamic_cast<const Label*>(child); label && label->text() == text)
                return label;
        return nullptr;
    }

    static QPushButton* dialogButton(QMessageBox* box, const QString& text) {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text) return qobject_cast<QPushButton*>(button);
        return nullptr;
    }
};

TEST_F(KeptAwakeLedgerTest, ANightWithoutHoldersSaysSoWithoutNoteOrHeader) {
    Store& s = makeStore(fake.platform());
    const KeptAwakeLedger ledger(s, nightKeptBy({}));
    EXPECT_EQ(ledger.header()->title(), QStringLiteral("What kept it up"));
    EXPECT_FALSE(ledger.header()->note());
    EXPECT_EQ(texts(ledger),
              QStringList{QStringLiteral("Nothing held your Mac awake while the screen was off.")});
    EXPECT_EQ(ledgerHeader(ledger), nullptr);
}

TEST_F(KeptAwakeLedgerTest, EachRowNamesTheHolderItsReasonAndTheTimeItHeld) {
    Store& s = makeStore(fake.platform());
    KeptAwakeLedger ledger(s, nightKeptBy(threeHolders()));
    ledger.show();
    EXPECT_EQ(ledger.header()->note(), QStringLiteral("time held awake with the screen off"));
    const auto rows = ledgerRows(ledger);
    ASSERT_EQ(rows.size(), 3u);

    struct Case {
        QStringList cells; // name, first and second reason line, held, then the action word if any
        const char* rowTip;
        const char* actionTip; // the Quit button's or the word's
        bool quit;
    };
    const Case cases[] = {
        {{"Music", "\u201CPlaying audio\u201D", "PreventUserIdleSystemSleep", "2 h 12 m"},
         "PreventUserIdleSystemSleep: \u201CPlaying audio\u201D",
         "Ask Music to quit",
         true},
        {{"Backup Helper", "\u2014", "PreventSystemSleep", "25 m", "not running"},
         "PreventSystemSleep: \u201C\u201D",
         "This app isn\u2019t running now",
         false},
        {{"powerd", "\u201CMaintenance wake\u201D", "InternalPreventSleep", "40 s", "macOS"},
         "InternalPreventSleep: \u201CMaintenance wake\u201D",
         "Part of macOS \u2014 it lets go on its own",
         false},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.rowTip);
        QStringList shown = rowTexts(rows[i]);
        shown.sort();
        QStringList expected = c.cells;
        expected.sort();
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(rows[i]->toolTip(), QString::fromUtf8(c.rowTip));
        Button* quit = quitButton(rows[i]);
        EXPECT_EQ(quit != nullptr, c.quit);
        if (quit) {
            EXPECT_EQ(quit->text(), QStringLiteral("Quit\u2026"));
            EXPECT_EQ(quit->toolTip(), QString::fromUtf8(c.actionTip));
        } else {
            EXPECT_EQ(labelSaying(*rows[i], c.cells.last())->toolTip(), QString::fromUtf8(c.actionTip));
        }
        EXPECT_TRUE(ledger.canQuit(ledger.rows()[i]) == c.quit);
    }
    ASSERT_NE(ledgerHeader(ledger), nullptr);
    EXPECT_EQ(ledgerHeader(ledger)->titles(), (QStringList{"Process", "Reason", "Held for", ""}));
}

TEST_F(KeptAwakeLedgerTest, ShowsOnlyTheFirstEightHolders) {
    std::vector<KeptAwake> many;
    for (int i = 0; i < 11; ++i)
        many.push_back({"daemon" + std::to_string(i), "why", "PreventSystemSleep", 60.0 * i});
    Store& s = makeStore(fake.platform());
    const KeptAwakeLedger ledger(s, nightKeptBy(many));
    ASSERT_EQ(ledgerRows(ledger).size(), 8u);
    EXPECT_EQ(ledger.rows().back().entry.process, "daemon7");
}

TEST_F(KeptAwakeLedgerTest, WhichRowsOfferQuitFollowsWhatRunsOrTheDemo) {
    struct Case {
        const char* what;
        bool demo;
        bool musicRuns;
        std::vector<bool> offers; // Music, Backup Helper, powerd
    };
    const Case cases[] = {
        {"Music runs", false, true, {true, false, false}},
        {"Music has quit", false, false, {false, false, false}},
        {"demo: every app bundle, user app or not", true, true, {true, true, false}},
    };
    for (const Case& c : cases) {
        Store& s = makeStore(fake.platform());
        s.demoState().setDemo(c.demo);
        KeptAwakeLedger ledger(s, nightKeptBy(threeHolders()));
        ledger.show();
        if (!c.musicRuns) {
            fake.apps->end(musicPid);
            writeFile(path("assertions.txt"), "");
            QSignalSpy read(&s, &Store::lastLiveReadChanged);
            s.refreshNow();
            ASSERT_TRUE(read.wait(10000));
        }
        const auto rows = ledgerRows(ledger);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(quitButton(rows[i]) != nullptr, c.offers[i]) << c.what << ", row " << i;
        if (!c.musicRuns)
            fake.apps->run(userApp(musicPid, "Music", "/Applications/Music.app/Contents/MacOS/Music"));
    }
}

// The sample's apps stand for apps of the user's machine, running or not, whatever runs here.
TEST_F(KeptAwakeLedgerTest, TheSampleNightsAppsOfferQuit) {
    fake.apps->end(musicPid);
    Store& s = makeStore(fake.platform());
    DemoData::apply(s);
    const auto night = std::find_if(s.nights().rbegin(), s.nights().rend(), [](const Night& n) {
        return std::any_of(n.keptAwake.begin(), n.keptAwake.end(),
                           [](const KeptAwake& k) { return k.process == "Music"; });
    });
    ASSERT_NE(night, s.nights().rend());
    KeptAwakeLedger ledger(s, *night);
    ledger.show();
    const auto rows = ledgerRows(ledger);
    ASSERT_EQ(rows.size(), ledger.rows().size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& process = ledger.rows()[i].entry.process;
        EXPECT_EQ(quitButton(rows[i]) != nullptr, process == "Music" || process == "Mail") << process;
    }
    fake.apps->run(userApp(musicPid, "Music", "/Applications/Music.app/Contents/MacOS/Music"));
}

TEST_F(KeptAwakeLedgerTest, QuitAsksFirstAndOnlyConfirmingAsksTheApp) {
    Store& s = makeStore(fake.platform());
    KeptAwakeLedger ledger(s, nightKeptBy(threeHolders()));
    ledger.show();
    const auto rows = ledgerRows(ledger);

    // Pressing "Quit…" only opens the question, worded with the app's display name.
    quitButton(rows[0])->click();
    ASSERT_TRUE(ledger.confirm());
    EXPECT_EQ(ledger.confirm()->identity.name, "Music");
    QMessageBox* box = ledger.confirmation();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(fake.quit->asked.empty());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Quit Music?"));
    EXPECT_EQ(box->text(), QStringLiteral("Quit Music?")) << "the question heads the box";
    EXPECT_EQ(box->informativeText(),
              QStringLiteral("Music kept your Mac awake for 2 h 12 m last night. Quitting asks it to "
                             "close normally, so it can save your work first."));
    ASSERT_NE(dialogButton(box, QStringLiteral("Quit Music")), nullptr);
    ASSERT_NE(dialogButton(box, QStringLiteral("Cancel")), nullptr);
    EXPECT_EQ(box->escapeButton(), dialogButton(box, QStringLiteral("Cancel")));

    // Cancel: nothing is asked, nothing waits.
    dialogButton(box, QStringLiteral("Cancel"))->click();
    EXPECT_FALSE(ledger.confirm());
    EXPECT_EQ(ledger.confirmation(), nullptr);
    EXPECT_TRUE(fake.quit->asked.empty());

    // Confirming asks the app that runs now.
    quitButton(rows[0])->click();
    dialogButton(ledger.confirmation(), QStringLiteral("Quit Music"))->click();
    EXPECT_EQ(fake.quit->asked, std::vector<int32_t>{musicPid});
    EXPECT_FALSE(ledger.confirm());
    EXPECT_EQ(toastText(), QStringLiteral("Asked Music to quit"));

    // An app that quit while the question was open is reported, never signalled.
    fake.quit->asked.clear();
    quitButton(rows[0])->click();
    fake.apps->end(musicPid);
    dialogButton(ledger.confirmation(), QStringLiteral("Quit Music"))->click();
    EXPECT_TRUE(fake.quit->asked.empty());
    EXPECT_EQ(toastText(), QStringLiteral("Music isn\u2019t running"));
}

TEST_F(KeptAwakeLedgerTest, DrawsIntoTheGallery) {
    Store& s = makeStore(fake.platform());
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const bool holders : {true, false}) {
            KeptAwakeLedger shown(s, nightKeptBy(holders ? threeHolders() : std::vector<KeptAwake>{}));
            shown.resize(620, shown.heightForWidth(620) > 0 ? shown.heightForWidth(620)
                                                            : shown.sizeHint().height());
            shown.show();
            const QImage image = test::render(shown, 2, QColor(Theme::paper));
            EXPECT_TRUE(test::writeGallery(image, QStringLiteral("kept-awake-ledger-%1-%2")
                                                      .arg(holders ? "rows" : "empty")
                                                      .arg(test::nameOf(appearance))));
        }
    }
}

} // namespace
} // namespace dormio::testing

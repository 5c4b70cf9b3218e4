// The "Energy by app" panel over a store of the test's making: the rows and their bars, the footnote, and
// the explanation with its "Open at Login" button for a night that was not sampled.
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Pages/EnergyLedger.h"
#include "FakePlatform.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QTest>

namespace dormio::testing {
namespace {

class EnergyLedgerTest : public StoreTest {
protected:
    FakePlatform fake;

    Store& storeWithShares(const std::string& night, std::vector<EnergyShare> shares) {
        Store& s = makeStore(fake.platform());
        s.demoState().setDemo(true);
        s.demoState().setDemoEnergy({{night, std::move(shares)}});
        return s;
    }

    static Night nightWithBattery(bool readings) {
        Night night;
        night.id = "2024-03-05";
        night.start = Date{1709592060};
        night.end = night.start + 8 * 3600;
        night.hasBattery = true;
        if (readings) night.battery = {{night.start, 92}, {night.end, 81}};
        return night;
    }

    static std::vector<const Label*> labels(const QWidget& widget) {
        std::vector<const Label*> found;
        for (const QWidget* child : widget.findChildren<QWidget*>())
            if (const auto* label = dynamic_cast<const Label*>(child)) found.push_back(label);
        return found;
    }

    static bool says(const QWidget& widget, const QString& start) {
        for (const Label* label : labels(widget))
            if (label->text().startsWith(start)) return true;
        return false;
    }

    static QAbstractButton* openAtLogin(const QWidget& widget) {
        return widget.findChild<QAbstractButton*>(QStringLiteral("openAtLogin"));
    }
};

TEST(EnergyBar, TheLargestShareFillsTheFrameAndNoneIsUnderTwoPoints) {
    struct Case {
        double share, largest, width;
    };
    for (const Case c :
         {Case{0.5, 0.5, 64}, Case{0.25, 0.5, 32}, Case{0.01, 0.5, 2}, Case{0, 0, 2}, Case{0, 0.4, 2}})
        EXPECT_DOUBLE_EQ(energyBarWidth(c.share, c.largest), c.width) << c.share << " of " << c.largest;
}

TEST_F(EnergyLedgerTest, ShowsTheSixLargestAppsWithTheFootnoteOfTheNight) {
    std::vector<EnergyShare> nine;
    for (int i = 0; i < 9; ++i)
        nine.push_back(
            {.key = "app" + std::to_string(i), .name = "App " + std::to_string(i), .share = 0.4 - i * 0.04});
    struct Case {
        bool readings;
        const char* footnote;
    };
    for (const Case c : {Case{true, "Battery used, split by each app\u2019s share"},
                         Case{false, "Share of the energy Dormio measured for apps running as you."}}) {
        const Night night = nightWithBattery(c.readings);
        Store& s = storeWithShares(night.id, nine);
        const EnergyLedger ledger(s, night);
        ASSERT_EQ(ledger.shown().size(), 6u);
        EXPECT_EQ(ledger.shown().front().name, "App 0");
        EXPECT_EQ(ledger.shown().back().name, "App 5");
        EXPECT_TRUE(says(ledger, "App 5"));
        EXPECT_FALSE(says(ledger, "App 6"));
        EXPECT_TRUE(says(ledger, QString::fromUtf8(c.footnote))) << c.footnote;
        EXPECT_EQ(openAtLogin(ledger), nullptr);
    }
}

TEST_F(EnergyLedgerTest, ANightNotSampledExplainsWhyAndOffersToOpenAtLogin) {
    struct Case {
        const char* what;
        LoginItemStatus before;
        std::optional<std::string> refusal;
        bool button, toast, buttonAfter;
    };
    const Case cases[] = {
        {"already opening at login", LoginItemStatus::enabled, std::nullopt, false, false, false},
        {"registration succeeds", LoginItemStatus::notRegistered, std::nullopt, true, true, false},
        {"registration fails", LoginItemStatus::notRegistered, "denied", true, false, true},
    };
    for (const Case& c : cases) {
        fake.loginItem->state = c.before;
        fake.loginItem->refusal = c.refusal;
        Store& s = storeWithShares("another night", {});
        s.setLoginItem(c.before == LoginItemStatus::enabled); // the store reads the service's state
        fake.loginItem->requests.clear();
        toast.show(QStringLiteral("before"), QStringLiteral("bell"));

        EnergyLedger ledger(s, nightWithBattery(true));
        ledger.show();
        EXPECT_TRUE(says(ledger, QStringLiteral("Dormio wasn\u2019t sampling during this night."))) << c.what;
        EXPECT_TRUE(says(ledger, QStringLiteral("Per-app energy is only measured while Dormio runs.")))
            << c.what;
        ASSERT_EQ(openAtLogin(ledger) != nullptr, c.button) << c.what;
        if (!c.button) continue;

        QTest::mouseClick(openAtLogin(ledger), Qt::LeftButton);
        EXPECT_EQ(fake.loginItem->requests, std::vector<bool>{true}) << c.what;
        const bool toasted =
            toast.current() && toast.current()->text == QStringLiteral("Dormio will open at login");
        EXPECT_EQ(toasted, c.toast) << c.what;
        if (toasted) {
            EXPECT_EQ(toast.current()->symbol, QStringLiteral("power"));
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(openAtLogin(ledger) != nullptr, c.buttonAfter) << c.what;
    }
}

// The scripted demo's sample nights build the night page before their energy shares are in.
TEST_F(EnergyLedgerTest, SharesThatComeAfterThePanelShowInIt) {
    const Night night = nightWithBattery(true);
    Store& s = storeWithShares("another night", {});
    EnergyLedger ledger(s, night);
    ledger.show();
    ASSERT_TRUE(says(ledger, QStringLiteral("Dormio wasn\u2019t sampling during this night.")));

    s.demoState().setDemoEnergy({{night.id, {EnergyShare{"music", "Music", "/Music.app", 9000, 1, 3}}}});
    QCoreApplication::processEvents();
    EXPECT_FALSE(says(ledger, QStringLiteral("Dormio wasn\u2019t sampling during this night.")));
    EXPECT_TRUE(says(ledger, QStringLiteral("Music")));
}

// In its 320-point column beside the logbook, every sentence of the card shows whole, wrapped where it must;
// only an app's name may be cut.
TEST_F(EnergyLedgerTest, ItsSentencesWrapWithinItsColumn) {
    const std::vector<EnergyShare> shares{{.key = "/usr/bin/music", .name = "Music", .share = 0.12}};
    const Night night = nightWithBattery(true);
    Store& s = storeWithShares(night.id, shares);
    for (const bool sampled : {true, false}) {
        if (!sampled) s.demoState().setDemoEnergy({});
        EnergyLedger ledger(s, sampled ? night : nightWithBattery(false));
        ledger.resize(320, ledger.heightForWidth(320));
        ledger.show();
        QCoreApplication::processEvents();
        for (const Label* label : labels(ledger)) {
            if (label->text() == QStringLiteral("Music")) continue;
            const QString shown = label->shownLines().join(QLatin1Char(' '));
            // A caption shows its text in capitals.
            EXPECT_EQ(shown.simplified().toUpper(), label->text().simplified().toUpper())
                << (sampled ? "sampled" : "not sampled");
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
        }
    }
}

// The footnote stands a panel's spacing, 12 points, below the last row's hairline.
TEST_F(EnergyLedgerTest, TheFootnoteStandsAPanelsSpacingBelowTheRows) {
    const Night night = nightWithBattery(true);
    Store& s = storeWithShares(night.id, {{.key = "/usr/bin/music", .name = "Music", .share = 0.12}});
    EnergyLedger ledger(s, night);
    ledger.resize(320, ledger.heightForWidth(320));
    ledger.show();
    QCoreApplication::processEvents();
    const QWidget* note = nullptr;
    for (const Label* label : labels(ledger))
        if (label->text().startsWith(QStringLiteral("Battery used"))) note = label;
    int lastRule = -1;
    for (const QWidget* child : ledger.findChildren<QWidget*>()) // FilledBar is no Q_OBJECT
        if (dynamic_cast<const FilledBar*>(child)) lastRule = std::max(lastRule, child->geometry().bottom());
    ASSERT_TRUE(note);
    EXPECT_EQ(note->y() - lastRule - 1, 12);
}

TEST_F(EnergyLedgerTest, DrawsIntoTheGallery) {
    const std::vector<EnergyShare> shares{
        {.key = "/usr/lib/firefox", .name = "Firefox", .share = 0.46, .estimatedPercent = 5.1},
        {.key = "/usr/bin/backupd", .name = "backupd", .share = 0.21, .estimatedPercent = 2.3},
        {.key = "/usr/bin/music", .name = "Music", .share = 0.12, .estimatedPercent = 1.3},
        {.key = "pid-812", .name = "a very long process name that has to be cut short", .share = 0.004},
    };
    const Night night = nightWithBattery(true);
    Store& s = storeWithShares(night.id, shares);
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const bool sampled : {true, false}) {
            if (!sampled) s.demoState().setDemoEnergy({});
            EnergyLedger shown(s, sampled ? night : nightWithBattery(false));
            shown.resize(320, shown.heightForWidth(320) > 0 ? shown.heightForWidth(320)
                                                            : shown.sizeHint().height());
            shown.show();
            const QImage image = test::render(shown, 2, QColor(Theme::paper));
            EXPECT_TRUE(test::writeGallery(image, QStringLiteral("energy-ledger-%1-%2")
                                                      .arg(sampled ? "rows" : "not-sampled")
                                                      .arg(test::nameOf(appearance))));
            s.demoState().setDemoEnergy({{night.id, shares}});
        }
    }
}

} // namespace
} // namespace dormio::testing

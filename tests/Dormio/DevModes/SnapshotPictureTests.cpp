// The snapshot mode's staged set taken in the tests' own process, on a main window of its own and at a
// fixed moment: the key pictures against their references in tests/data/snapshots/, the dark pass after a
// light one against a dark pass alone, and a state settled on the instant clock against the same state
// after its animations ran on the running clock.

#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/Snapshotter.h"
#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "FixedClock.h"
#include "StoreTests.h"
#include "UI/KitTest.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace dormio {
namespace {

using namespace std::chrono_literals;

// Any moment will do, as long as it is the same on every run: the sample nights and every time shown
// follow from it.
constexpr Date fixedMoment = Date::fromUnix(1773739800); // Tuesday 17 March 2026, 09:30 UTC

using Pass = std::pair<Appearance, const char*>;
constexpr Pass light{Appearance::light, "light"};
constexpr Pass dark{Appearance::dark, "dark"};

// The views a change of look shows first: the four pages, the menu bar extra and the settings window.
const QStringList keyViews{"04-night",   "07-history", "09-now",
                           "11-battery", "21-menubar", "24-settings-window"};

// The references are taken with Debian 12's fonts. A pixel counts as changed when a channel moves by more
// than a few steps (rounding in the rasteriser), and a picture as changed when more than a thousandth of
// its pixels did; a hover wash on one row or a readout card in the wrong colour changes far more.
constexpr int channelTolerance = 4;
constexpr double changedShare = 0.001;

const QString referenceFolder = QStringLiteral(DORMIO_TEST_DATA "/snapshots");
const QString takenFolder = QStringLiteral(DORMIO_GALLERY_DIR "/snapshots");

struct Difference {
    qsizetype pixels = 0; // the pixels with a channel moved by more than the tolerance
    int largest = 0;      // the largest move of any channel
};

Difference difference(const QImage& a, const QImage& b) {
    Difference found;
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < first.height(); ++y) {
        const auto* one = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const auto* other = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            const int moved = std::max(
                {std::abs(qRed(one[x]) - qRed(other[x])), std::abs(qGreen(one[x]) - qGreen(other[x])),
                 std::abs(qBlue(one[x]) - qBlue(other[x])), std::abs(qAlpha(one[x]) - qAlpha(other[x]))});
            found.largest = std::max(found.largest, moved);
            if (moved > channelTolerance) ++found.pixels;
        }
    }
    return found;
}

class SnapshotPictures : public testing::StoreTest {
protected:
    void SetUp() override {
        testing::StoreTest::SetUp();
        makeStore().demoState().setDemo(true);
    }
    void TearDown() override {
        Theme::setAppearance(std::nullopt);
        qunsetenv("DORMIO_SNAPSHOT_ONLY");
        testing::StoreTest::TearDown();
    }

    // Takes the staged set in each appearance in turn, as the snapshot mode does, on a fresh main window,
    // into `folder`, which it empties first.
    void takeStagedSet(const QString& folder, std::initializer_list<Pass> passes) {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        MainWindow window(*store);
        window.show();
        for (const auto& [appearance, suffix] : passes) {
            Theme::setAppearance(appearance);
            Snapshotter::windowScreens(*store, QDir(folder), suffix);
            Snapshotter::standalone(*store, QDir(folder), suffix);
        }
    }

    testing::FixedClock clock{fixedMoment};
    test::InstantClock instant;
};

TEST_F(SnapshotPictures, TheKeyViewsLookAsTheirReferences) {
    qputenv("DORMIO_SNAPSHOT_ONLY", keyViews.join(',').toUtf8());
    takeStagedSet(takenFolder, {light, dark});
    // `make golden` takes the pictures again as the references.
    const bool renew = qEnvironmentVariableIsSet("DORMIO_RENEW_GOLDEN");
    for (const QString& view : keyViews) {
        for (const char* suffix : {"light", "dark"}) {
            const QString file = view + "-" + suffix + ".png";
            SCOPED_TRACE(file.toStdString());
            const QString taken = QDir(takenFolder).filePath(file);
            const QString reference = QDir(referenceFolder).filePath(file);
            if (renew) {
                QFile::remove(reference);
                ASSERT_TRUE(QFile::copy(taken, reference));
                continue;
            }
            const QImage picture(taken);
            const QImage expected(reference);
            ASSERT_FALSE(picture.isNull());
            ASSERT_FALSE(expected.isNull()) << "no reference: run `make golden` and look at the pictures";
            ASSERT_EQ(picture.size(), expected.size());
            const Difference found = difference(picture, expected);
            EXPECT_LE(found.pixels, changedShare * picture.width() * picture.height())
                << found.pixels << " pixels changed, by up to " << found.largest << ", against "
                << reference.toStdString() << "; the picture taken is " << taken.toStdString()
                << ". If the change is meant, run `make golden` and look at the new references.";
        }
    }
}

// The light pass's render windows came and went under the headless platform's resting pointer, which
// entered the main window's "Last Night" row without ever leaving it: every dark window shot showed it
// hovered. The dark pass now looks the same whether a light pass ran before it or not.
TEST_F(SnapshotPictures, TheDarkPassAfterALightPassLooksAsADarkPassAlone) {
    // Pages where the row is not the selected one, at both window sizes; one render window is enough.
    const QStringList windowShots{"07-history", "13-settings", "17-history-min-size"};
    qputenv("DORMIO_SNAPSHOT_ONLY", (windowShots.join(',') + ",20-welcome-1").toUtf8());
    const QString afterLight = path("after-light");
    const QString alone = path("alone");
    takeStagedSet(afterLight, {light, dark});
    takeStagedSet(alone, {dark});
    for (const QString& shot : windowShots) {
        SCOPED_TRACE(shot.toStdString());
        const QString file = shot + "-dark.png";
        const QImage first(QDir(afterLight).filePath(file));
        const QImage second(QDir(alone).filePath(file));
        ASSERT_FALSE(first.isNull());
        ASSERT_EQ(first.size(), second.size());
        const Difference found = difference(first, second);
        EXPECT_EQ(found.pixels, 0) << found.pixels << " pixels changed, by up to " << found.largest;
    }
}

// A page entered with the cursor on the trace, the 30-night span with a night hovered, a toast sliding in:
// photographed on the instant clock once the event loop settles, each looks exactly as on the running clock
// after the old fixed wait, once its loops are stilled.
TEST_F(SnapshotPictures, AStateSettledOnTheInstantClockLooksAsAfterItsAnimationsRan) {
    MainWindow window(*store);
    window.resize(1180, 860);
    window.show();
    DemoData::apply(*store);
    store->setSelectedNightID(store->defaultNightID());
    DemoState& demo = store->demoState();
    const Night* night = store->selectedNight();
    ASSERT_NE(night, nullptr);
    const Date scrub = night->start + 0.6 * night->duration();
    const std::optional<std::string> hovered = store->nights()[store->nights().size() - 4].id;

    const struct {
        const char* name;
        std::function<void()> setup;
    } cases[] = {
        {"night-scrubbed",
         [&] {
             store->setPage(Page::night);
             demo.setDemoScrub(scrub);
         }},
        {"history-30-hovered",
         [&] {
             store->setPage(Page::history);
             demo.setDemoHistorySpan(30);
             demo.setDemoHoverNight(hovered);
         }},
        {"toast",
         [&] {
             store->setPage(Page::now);
             toast.show("Power log refreshed", "arrow.clockwise.circle.fill");
         }},
    };
    const QDir out(home.path("pictures"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto take = [&](const QString& way, bool running) {
            // From the same resting state each time: the settings page, no demo overrides, no toast.
            AnimationClock::shared().setMode(AnimationClock::Mode::instant);
            toast.clear();
            demo.setDemoScrub(std::nullopt);
            demo.setDemoHistorySpan(std::nullopt);
            demo.setDemoHoverNight(std::nullopt);
            store->setPage(Page::settings);
            Snapshotter::settle();
            if (running) {
                AnimationClock::shared().setMode(AnimationClock::Mode::running);
                c.setup();
                QTest::qWait(1500);
                // Loops never end; the snapshot mode shows them at rest.
                AnimationClock::shared().setMode(AnimationClock::Mode::instant);
            } else {
                c.setup();
                Snapshotter::settle();
            }
            Snapshotter::captureWindow(c.name, out, way);
            return QImage(out.filePath(QString(c.name) + "-" + way + ".png"));
        };
        const QImage afterTheWait = take("waited", true);
        const QImage settled = take("settled", false);
        ASSERT_FALSE(settled.isNull());
        ASSERT_EQ(settled.size(), afterTheWait.size());
        const Difference found = difference(settled, afterTheWait);
        EXPECT_EQ(found.pixels, 0) << found.pixels << " pixels changed, by up to " << found.largest;
    }
}

} // namespace
} // namespace dormio

// The on/off switch: a click turns it and says so, a state set from outside moves the knob without a
// click, and both states drawn for a person to look at.
#include "Dormio/UI/Kit/Switch.h"
#include "KitTest.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

TEST(Switch, AClickTurnsItAndTheKnobFollows) {
    const test::SteppedClock clock;
    Switch toggle(QStringLiteral("Open Dormio at login"));
    EXPECT_EQ(toggle.size(), Switch::fixedSize);
    EXPECT_EQ(toggle.accessibleName(), "Open Dormio at login");
    QSignalSpy clicked(&toggle, &QAbstractButton::clicked);

    QTest::mouseClick(&toggle, Qt::LeftButton);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_TRUE(clicked.front().front().toBool());
    EXPECT_TRUE(toggle.isChecked());
    clock.advance(100ms);
    EXPECT_GT(toggle.knobProgress(), 0);
    EXPECT_LT(toggle.knobProgress(), 1);
    clock.advance(1000ms);
    EXPECT_EQ(toggle.knobProgress(), 1);

    // Set from outside, as a caller does with what the system reports: no click.
    toggle.setChecked(false);
    clock.advance(1000ms);
    EXPECT_EQ(toggle.knobProgress(), 0);
    EXPECT_EQ(clicked.count(), 1);

    toggle.setEnabled(false);
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle.isChecked());
    EXPECT_EQ(clicked.count(), 1);
}

TEST(Switch, DrawsIntoTheGallery) {
    const test::InstantClock clock;
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        for (const bool on : {false, true}) {
            Switch toggle(QStringLiteral("Sample"));
            toggle.setChecked(on);
            const QImage image = test::render(toggle, 2, QColor(Theme::panel));
            // The knob sits at the end the state names, white on the track.
            const qreal knobX = on ? Switch::fixedSize.width() - 9 : 9;
            EXPECT_TRUE(test::near(test::probe(image, knobX, 9), QColor(Qt::white), 8));
            EXPECT_TRUE(test::writeGallery(
                image, QStringLiteral("switch-%1-%2").arg(on ? "on" : "off").arg(test::nameOf(appearance))));
        }
    }
}

} // namespace
} // namespace dormio

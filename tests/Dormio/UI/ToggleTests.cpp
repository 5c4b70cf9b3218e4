#include "ChartProbe.h"
#include "Dormio/UI/Kit/Toggle.h"

#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using test::probe;

// The contrast ratio of two opaque colours, as the accessibility guidelines define it.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Toggle, StandsOutFromItsCardOnOrOffInBothAppearances) {
    for (const Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const test::AppearanceScope scope(appearance);
        const QColor card = Theme::panel.resolve(appearance);
        Toggle toggle(QStringLiteral("Show last night’s trace in the menu bar"));
        toggle.resize(toggle.sizeHint());
        const QRectF box = toggle.box();

        const QImage off = test::render(toggle, 2, card);
        test::writeGallery(off, QStringLiteral("toggle-off-%1").arg(test::nameOf(appearance)));
        EXPECT_GE(contrast(probe(off, box.left() + 0.5, box.center().y()), card), 3.0) << "the outline";
        EXPECT_EQ(probe(off, box.center().x(), box.center().y()), card) << "an empty box";

        toggle.setChecked(true);
        const QImage on = test::render(toggle, 2, card);
        test::writeGallery(on, QStringLiteral("toggle-on-%1").arg(test::nameOf(appearance)));
        EXPECT_GE(contrast(probe(on, box.center().x(), box.top() + 1), card), 3.0) << "the filled box";
    }
}

TEST(Toggle, ShowsARingForKeyboardFocusOnly) {
    const test::AppearanceScope scope(Appearance::light);
    const QColor card = Theme::panel.resolve(Appearance::light);
    Toggle toggle(QStringLiteral("Measure energy per app while Dormio is open"));
    toggle.resize(toggle.sizeHint());
    const QRectF box = toggle.box();
    const QPointF ring(box.left() - 1.25, box.center().y());
    for (const auto& [reason, ringed] :
         {std::pair{Qt::MouseFocusReason, false}, {Qt::TabFocusReason, true}}) {
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(&toggle, &in);
        const QImage image = test::render(toggle, 2, card);
        EXPECT_EQ(probe(image, ring.x(), ring.y()) != card, ringed) << reason;
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&toggle, &out);
    }
}

TEST(Toggle, AClickAnywhereOnItsLineFlipsIt) {
    Toggle toggle(QStringLiteral("Open Dormio at login"));
    toggle.resize(toggle.sizeHint());
    QSignalSpy clicked(&toggle, &QAbstractButton::clicked);
    QTest::mouseClick(&toggle, Qt::LeftButton, {}, QPoint(toggle.width() - 4, toggle.height() / 2));
    EXPECT_TRUE(toggle.isChecked());
    EXPECT_EQ(clicked.count(), 1);
}

} // namespace
} // namespace dormio

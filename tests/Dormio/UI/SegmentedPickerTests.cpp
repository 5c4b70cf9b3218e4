// The segmented picker: equal segments, a click tells the owner without choosing by itself, and the chosen
// segment raised on a card in each appearance.
#include "Dormio/UI/Kit/SegmentedPicker.h"
#include "KitTest.h"

#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

TEST(SegmentedPicker, EqualSegmentsAcrossItsWidth) {
    const SegmentedPicker picker({{QStringLiteral("7 nights"), 7}, {QStringLiteral("30 nights"), 30}}, 170);
    EXPECT_EQ(picker.sizeHint(), QSize(170, 24));
    EXPECT_EQ(picker.segment(0), QRectF(0, 0, 85, 24));
    EXPECT_EQ(picker.segment(1), QRectF(85, 0, 85, 24));
    EXPECT_EQ(picker.selection(), 7); // the first option until the owner says otherwise
}

TEST(SegmentedPicker, AClickTellsTheOwnerWhoDecidesWhatShows) {
    SegmentedPicker picker({{QStringLiteral("7 nights"), 7}, {QStringLiteral("30 nights"), 30}}, 170);
    picker.resize(picker.sizeHint());
    std::vector<int> picked;
    picker.onPick([&](int value) { picked.push_back(value); });
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(120, 12));
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(20, 12));
    QTest::mouseClick(&picker, Qt::RightButton, {}, QPoint(120, 12));
    EXPECT_EQ(picked, (std::vector<int>{30, 7}));
    EXPECT_EQ(picker.selection(), 7);
    picker.setSelection(30);
    EXPECT_EQ(picker.selection(), 30);
}

TEST(SegmentedPicker, TheChosenSegmentStandsOnACard) {
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        SCOPED_TRACE(test::nameOf(appearance));
        const test::AppearanceScope scope(appearance);
        SegmentedPicker picker({{QStringLiteral("7 nights"), 7}, {QStringLiteral("30 nights"), 30}}, 170);
        picker.setSelection(30);
        const QImage image = test::render(picker, 2, Theme::paper.resolve(appearance));
        // Inside the chosen card, clear of its label: the panel colour.
        EXPECT_TRUE(test::near(test::probe(image, 90, 12), Theme::panel.resolve(appearance), 2));
        // The other segment lies on the frame's faint wash over the paper.
        const QColor wash = test::over(Theme::wash.resolve(appearance), Theme::paper.resolve(appearance));
        EXPECT_TRUE(test::near(test::probe(image, 5, 12), wash, 2));
        EXPECT_TRUE(
            test::writeGallery(image, QStringLiteral("segmented-picker-%1").arg(test::nameOf(appearance))));
    }
}

} // namespace
} // namespace dormio

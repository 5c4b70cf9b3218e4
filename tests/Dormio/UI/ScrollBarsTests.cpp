#include "ChartProbe.h"
#include "Dormio/UI/Kit/ScrollBars.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// A page twice as tall as its view, scrolled to the top.
struct TallPage {
    TallPage() {
        area.resize(300, 200);
        auto* content = new QWidget;
        content->setFixedSize(280, 400);
        area.setWidget(content);
        ScrollBars::makeThin(&area);
        area.show();
        QApplication::processEvents();
    }
    QScrollArea area;
    QScrollBar* bar() { return area.verticalScrollBar(); }
};

TEST(ScrollBars, AThinThumbWithNoArrowsAndNoGroove) {
    for (const Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        const test::AppearanceScope scope(appearance);
        TallPage page;
        QScrollBar* bar = page.bar();
        EXPECT_EQ(bar->width(), ScrollBars::extent);

        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = Qt::Vertical;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.pageStep = bar->pageStep();
        option.sliderPosition = bar->sliderPosition();
        const auto rect = [&](QStyle::SubControl part) {
            return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
        };
        EXPECT_TRUE(rect(QStyle::SC_ScrollBarAddLine).isEmpty());
        EXPECT_TRUE(rect(QStyle::SC_ScrollBarSubLine).isEmpty());
        const QRect thumb = rect(QStyle::SC_ScrollBarSlider);
        EXPECT_EQ(thumb.top(), 0);
        EXPECT_NEAR(thumb.height(), bar->height() / 2, 2) << "half the page shows";

        const QImage image = test::render(*bar, 2);
        test::writeGallery(image, QStringLiteral("scroll-bar-%1").arg(test::nameOf(appearance)));
        const QColor ink3 = Theme::ink3.resolve(appearance);
        const QColor middle = test::probe(image, ScrollBars::extent / 2.0, thumb.center().y());
        EXPECT_TRUE(test::near(middle, ink3, 2)) << middle.name(QColor::HexArgb).toStdString();
        EXPECT_EQ(test::probe(image, 0.5, thumb.center().y()).alpha(), 0) << "beside the thumb";
        EXPECT_EQ(test::probe(image, ScrollBars::extent / 2.0, bar->height() - 4).alpha(), 0) << "no groove";
    }
}

TEST(ScrollBars, DraggingTheThumbScrollsThePage) {
    TallPage page;
    QScrollBar* bar = page.bar();
    const int x = ScrollBars::extent / 2;
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(x, 10));
    QTest::mouseMove(bar, QPoint(x, 60));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(x, 60));
    EXPECT_GT(bar->value(), 0);
}

} // namespace
} // namespace dormio

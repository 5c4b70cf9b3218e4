#include "Dormio/UI/Kit/AnimationClock.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/ToastView.h"
#include "FixedClock.h"

#include <QGraphicsEffect>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;

Toast::Message message(const QString& text, const QString& symbol = "checkmark") {
    return Toast::Message{QUuid::createUuid(), text, symbol};
}

class ToastViewTest : public ::testing::Test {
protected:
    void SetUp() override { Motion::setReduceMotion(false); }
    void TearDown() override { Motion::setReduceMotion(std::nullopt); }
};

TEST_F(ToastViewTest, AShortSentenceStaysOnOneLine) {
    ToastView view(message("Power log read · 7 nights"));
    EXPECT_EQ(view.textLines(), QStringList{"Power log read · 7 nights"});
    EXPECT_FALSE(view.clockTime().isEmpty());
    EXPECT_EQ(view.accessibleName(), "Power log read · 7 nights, " + view.clockTime());
    // 9 px above and below the tallest item.
    const QFontMetricsF body(Theme::Typo::body());
    EXPECT_GE(view.sizeHint().height(), int(body.lineSpacing()) + 2 * ToastView::verticalPadding);
    EXPECT_LE(view.sizeHint().height(), int(body.lineSpacing()) + 2 * ToastView::verticalPadding + 4);
}

TEST_F(ToastViewTest, ALongSentenceWrapsToAtMostTwoLines) {
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("word%1 ").arg(i);
    ToastView view(message(text.trimmed()));
    view.setAvailableWidth(400);
    ASSERT_EQ(view.textLines().size(), 2);
    EXPECT_TRUE(view.textLines()[1].endsWith(QChar(0x2026)));
    EXPECT_LE(view.sizeHint().width(), 400);

    ToastView roomy(message("Two words"));
    roomy.setAvailableWidth(400);
    EXPECT_EQ(roomy.textLines().size(), 1);
}

TEST_F(ToastViewTest, TheSymbolBouncesOnEveryNewViewUnlessMotionIsReduced) {
    QWidget host;
    host.resize(600, 400);
    auto* view = new ToastView(message("Shown"), &host);
    host.show();
    EXPECT_EQ(view->bounces(), 1);

    Motion::setReduceMotion(true);
    auto* still = new ToastView(message("Shown"), &host);
    still->show();
    EXPECT_EQ(still->bounces(), 0);
}

TEST_F(ToastViewTest, DrawsAPanelWithItsBorder) {
    ToastView view(message("Energy data deleted", "trash"));
    view.resize(view.sizeHint());
    view.graphicsEffect()->setEnabled(false); // the shadow falls outside; only the toast itself is read here
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QColor inside = image.pixelColor(ToastView::horizontalPadding / 2, view.height() / 2);
    EXPECT_EQ(inside.rgb(), QColor(Theme::panel).rgb());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // the rounded corner is clear
}

class ToastOverlayTest : public ToastViewTest {
protected:
    QWidget host;
    Toast toast{1000ms};

    void SetUp() override {
        ToastViewTest::SetUp();
        AnimationClock::shared().setMode(AnimationClock::Mode::stepped);
        host.resize(1020, 680);
        host.show();
    }

    void TearDown() override {
        AnimationClock::shared().setMode(AnimationClock::Mode::running);
        ToastViewTest::TearDown();
    }

    // Moves the animations on by `time`, and lets go of the views that left.
    static void step(std::chrono::milliseconds time) {
        AnimationClock::shared().advance(time);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPoint resting(const ToastView* view) const {
        return {(host.width() - view->width()) / 2,
                host.height() - ToastOverlay::bottomPadding - view->height()};
    }

    QList<ToastView*> views() const { return host.findChildren<ToastView*>(); }
};

TEST_F(ToastOverlayTest, AMessageEntersFromTheBottomAndRestsAboveIt) {
    ToastOverlay overlay(&host, toast);
    EXPECT_EQ(overlay.view(), nullptr);

    toast.show("Power log read", "checkmark");
    ToastView* view = overlay.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->message(), *toast.current());
    EXPECT_EQ(view->y(), host.height()); // starts at the bottom edge, transparent
    EXPECT_EQ(view->opacity(), 0.0);

    // Halfway it is on its way up and half seen, or more: the spring moves fast first.
    step(ToastView::springDuration / 2);
    EXPECT_LT(view->y(), host.height());
    EXPECT_GT(view->y(), resting(view).y() - 10);
    EXPECT_GT(view->opacity(), 0.5);

    step(ToastView::springDuration / 2);
    ASSERT_EQ(overlay.view(), view);
    EXPECT_EQ(view->pos(), resting(view));
    EXPECT_EQ(view->geometry().bottom() + 1, host.height() - ToastOverlay::bottomPadding);
    EXPECT_DOUBLE_EQ(view->opacity(), 1.0);
}

TEST_F(ToastOverlayTest, ANewMessageGetsANewViewAndTheOldOneLeaves) {
    ToastOverlay overlay(&host, toast);
    toast.show("Same words", "checkmark");
    step(ToastView::springDuration);
    QPointer<ToastView> first = overlay.view();
    toast.show("Same words", "checkmark");
    QPointer<ToastView> second = overlay.view();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(first->message(), second->message());
    EXPECT_EQ(second->bounces(), 1);

    // The old view slides down and fades from where it stood, then goes.
    step(ToastView::springDuration / 2);
    ASSERT_FALSE(first.isNull());
    EXPECT_GT(first->y(), resting(first).y());
    EXPECT_LT(first->opacity(), 0.5);
    step(ToastView::springDuration / 2);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(views(), QList<ToastView*>{second.data()});
}

TEST_F(ToastOverlayTest, AMessageReplacedWhileEnteringLeavesFromWhereItWas) {
    ToastOverlay overlay(&host, toast);
    toast.show("First", "checkmark");
    step(ToastView::springDuration / 4);
    QPointer<ToastView> first = overlay.view();
    const QPoint reached = first->pos();
    toast.show("Second", "checkmark");
    // Its entrance has stopped: the next frame takes it down, not further up.
    step(16ms);
    ASSERT_FALSE(first.isNull());
    EXPECT_GE(first->y(), reached.y());
    step(ToastView::springDuration);
    EXPECT_TRUE(first.isNull());
}

TEST_F(ToastOverlayTest, TheViewGoesWhenTheToastHides) {
    testing::FixedClock clock;
    ToastOverlay overlay(&host, toast);
    toast.show("Asked Player to quit", "checkmark");
    clock.step(toast.hideDelay());
    EXPECT_EQ(overlay.view(), nullptr);
    step(ToastView::springDuration);
    EXPECT_TRUE(views().isEmpty());
}

TEST_F(ToastOverlayTest, AMessageAlreadyShownAppearsAtOnceAndFollowsTheWindowSize) {
    toast.show("Shown before the window", "checkmark");
    ToastOverlay overlay(&host, toast);
    ASSERT_NE(overlay.view(), nullptr);
    step(ToastView::springDuration);
    host.resize(1200, 800);
    QCoreApplication::processEvents();
    EXPECT_EQ(overlay.view()->geometry().bottom() + 1, 800 - ToastOverlay::bottomPadding);
    EXPECT_EQ(overlay.view()->x(), (1200 - overlay.view()->width()) / 2);

    // A resize during the entrance is followed by its frames.
    toast.show("Another", "checkmark");
    step(ToastView::springDuration / 2);
    host.resize(900, 600);
    QCoreApplication::processEvents();
    step(ToastView::springDuration / 2);
    EXPECT_EQ(overlay.view()->pos(), resting(overlay.view()));
}

TEST_F(ToastOverlayTest, ReducedMotionStillMovesAndFadesButQuicker) {
    Motion::setReduceMotion(true);
    ToastOverlay overlay(&host, toast);
    toast.show("Quietly", "checkmark");
    ToastView* view = overlay.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->bounces(), 0);
    step(ToastView::reducedDuration / 2);
    EXPECT_GT(view->opacity(), 0.0);
    EXPECT_LT(view->opacity(), 1.0);
    step(ToastView::reducedDuration / 2);
    EXPECT_DOUBLE_EQ(view->opacity(), 1.0);
    EXPECT_EQ(view->pos(), resting(view));
}

TEST_F(ToastOverlayTest, TheSymbolBouncesAndSettles) {
    ToastOverlay overlay(&host, toast);
    toast.show("Bounce", "checkmark");
    ToastView* view = overlay.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->bounces(), 1);
    EXPECT_EQ(AnimationClock::shared().running(), 2); // the entrance and the bounce
    step(ToastView::bounceDuration);
    EXPECT_EQ(AnimationClock::shared().running(), 0);
}

} // namespace
} // namespace dormio

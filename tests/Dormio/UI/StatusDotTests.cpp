#include "Dormio/UI/Kit/StatusDot.h"
#include "KitTest.h"

#include <QApplication>
#include <QPainter>
#include <gtest/gtest.h>
#include <optional>

namespace dormio {
namespace {

using namespace std::chrono_literals;

class StatusDotTest : public testing::Test {
protected:
    void TearDown() override { Motion::setReduceMotion(std::nullopt); }
    // A dot in a window, the way a page holds one.
    QWidget window;
    StatusDot* dot(DynamicColor color, bool live) {
        auto* made = new StatusDot(color, live, &window);
        made->move(20, 20);
        return made;
    }
};

TEST_F(StatusDotTest, PulsesOnlyWhileLiveWithMotionOnTheRunningClock) {
    struct Case {
        bool live;
        bool reduceMotion;
        bool instant; // the snapshots' clock
        bool pulses;
    };
    const Case cases[] = {
        {true, false, false, true},
        {false, false, false, false},
        {true, true, false, false},
        {true, false, true, false},
    };
    for (const Case& c : cases) {
        Motion::setReduceMotion(c.reduceMotion);
        std::optional<test::InstantClock> instant;
        if (c.instant) instant.emplace();
        QWidget host;
        auto* made = new StatusDot(Theme::rose, c.live, &host);
        host.show();
        EXPECT_EQ(made->pulsing(), c.pulses) << c.live << c.reduceMotion << c.instant;
    }
}

// A dot follows its live input for as long as it is shown: sampling switched off stops a grey dot's
// pulse, a new holder starts it, and a hidden or minimised window stops it and leaves no timer running.
TEST_F(StatusDotTest, FollowsItsLiveInputWhileShownAndRestsWhenUnseen) {
    Motion::setReduceMotion(false);
    StatusDot* sampling = dot(Theme::indigo, true);
    window.show();
    EXPECT_TRUE(sampling->pulsing());

    sampling->setLive(false);
    sampling->setColor(Theme::ink3);
    EXPECT_FALSE(sampling->pulsing());
    EXPECT_FALSE(AnimationClock::shared().isTicking());

    sampling->setLive(true);
    EXPECT_TRUE(sampling->pulsing());

    struct Case {
        const char* what;
        std::function<void()> away;
        std::function<void()> back;
    };
    const Case cases[] = {
        {"window hidden", [&] { window.hide(); }, [&] { window.show(); }},
        {"window minimised", [&] { window.showMinimized(); }, [&] { window.showNormal(); }},
        {"dot hidden", [&] { sampling->hide(); }, [&] { sampling->show(); }},
    };
    for (const Case& c : cases) {
        c.away();
        EXPECT_FALSE(sampling->pulsing()) << c.what;
        EXPECT_FALSE(AnimationClock::shared().isTicking()) << c.what;
        c.back();
        EXPECT_TRUE(sampling->pulsing()) << c.what;
    }
    sampling->setLive(false);
}

// The 7 px dot with a steady 3 px ring at 0.35 around it, drawn past the dot's own frame.
TEST_F(StatusDotTest, DrawsTheDotAndItsSteadyRing) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        QWidget host;
        host.resize(40, 40);
        auto* made = new StatusDot(Theme::indigo, false, &host);
        made->move(10, 10);
        host.show();
        QApplication::processEvents();
        const QColor paper = Theme::paper.resolve(appearance);
        const QImage image = test::render(host, 2, paper);
        const QColor indigo = Theme::indigo.resolve(appearance);
        const QPointF centre(13.5, 13.5);
        EXPECT_EQ(test::probe(image, centre.x(), centre.y()), indigo) << test::nameOf(appearance);
        const QColor ring = test::over(Theme::indigo.opacity(0.35).resolve(appearance), paper);
        EXPECT_TRUE(test::near(test::probe(image, centre.x() + 4.25, centre.y()), ring, 3))
            << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, centre.x(), centre.y() - 4.25), ring, 3))
            << test::nameOf(appearance);
        EXPECT_EQ(test::probe(image, centre.x() + 6, centre.y()), paper) << test::nameOf(appearance);
    }
}

TEST_F(StatusDotTest, APulseGrowsTheHaloWhileItFades) {
    QImage early(40, 40, QImage::Format_ARGB32_Premultiplied), late = early;
    for (auto& [image, phase] : {std::pair<QImage&, qreal>{early, 0.1}, {late, 0.8}}) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        StatusDot::paint(painter, QPointF(20, 20), Qt::red, phase);
    }
    // At 0.8 the halo stands 1.72 times out, at 0.1 it is still close and strong.
    EXPECT_EQ(early.pixelColor(20 + 8, 20).alpha(), 0);
    EXPECT_GT(late.pixelColor(20 + 6, 20).alpha(), 0);
    EXPECT_GT(early.pixelColor(20 + 4, 20).alpha(), late.pixelColor(20 + 6, 20).alpha());
}

} // namespace
} // namespace dormio

// The main window under the keyboard alone, driven by key events as the platform delivers them to the
// window: Tab walks the sidebar, the toolbar and the page's controls, each showing a ring while it has the
// focus; Return and Space act on what has it.

#include "Dormio/UI/Kit/FocusRing.h"
#include "Dormio/UI/Shell/MainWindow.h"
#include "Dormio/UI/Shell/PageLabels.h"
#include "Dormio/UI/Shell/RefreshButton.h"
#include "Dormio/UI/Shell/RootView.h"
#include "Dormio/UI/Shell/Sidebar.h"
#include "Dormio/UI/Shell/SidebarRow.h"
#include "KitTest.h"
#include "StoreTests.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

namespace dormio {
namespace {

class KeyboardWalk : public testing::StoreTest {
protected:
    test::InstantClock instant;
    std::unique_ptr<MainWindow> window;

    Store& openWindow() {
        writeLog(testing::recentNights(3));
        Store& store = makeStore();
        readLogOnce();
        store.setSelectedNightID(store.nights().at(1).id); // a night with one before and one after it
        window = std::make_unique<MainWindow>(store);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return store;
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }

    QWidget* focus() const { return QApplication::focusWidget(); }

    // Tabs from where the focus is until it comes back round: every widget it stopped on, in order.
    QList<QWidget*> walk() {
        press(Qt::Key_Tab);
        QList<QWidget*> stops{focus()};
        for (int i = 0; i < 100; ++i) {
            press(Qt::Key_Tab);
            if (focus() == stops.front()) return stops;
            stops << focus();
        }
        ADD_FAILURE() << "the focus never came back round";
        return stops;
    }

    SidebarRow* row(Page page) const { return window->rootView()->sidebar()->row(page); }

    // Tabs until `target` has the focus.
    void tabTo(QWidget* target) {
        for (int i = 0; i < 100 && focus() != target; ++i)
            press(Qt::Key_Tab);
        ASSERT_EQ(focus(), target);
    }
};

QString nameOf(const QWidget* widget) {
    if (!widget) return QStringLiteral("nothing");
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
           (button && !button->text().isEmpty() ? button->text() : widget->toolTip());
}

TEST_F(KeyboardWalk, TabReachesEverySidebarRowTheToolbarAndThePagesButtons) {
    openWindow();
    const QList<QWidget*> stops = walk();
    QStringList names;
    for (const QWidget* stop : stops)
        names << nameOf(stop);
    SCOPED_TRACE(names.join(" | ").toStdString());
    for (const Page page : Pages::allCases)
        EXPECT_TRUE(stops.contains(row(page))) << PageLabels::title(page).toStdString();
    EXPECT_TRUE(stops.contains(window->rootView()->refreshButton()));
    int nightSteps = 0;
    for (const QWidget* stop : stops)
        nightSteps +=
            stop->toolTip().startsWith("Previous night") || stop->toolTip().startsWith("Next night");
    EXPECT_EQ(nightSteps, 2);

    // Shift+Tab walks the same stops the other way.
    QList<QWidget*> back;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        back.prepend(focus());
    }
    EXPECT_EQ(back, stops);
}

// The ring is drawn where the focus is, and only there: the widget's picture changes at its edge as the
// focus comes and goes.
TEST_F(KeyboardWalk, EveryStopShowsARingWhileItHasTheFocus) {
    openWindow();
    const QList<QWidget*> stops = walk();
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope shown(appearance);
        const QString suffix = QLatin1Char('-') + QLatin1String(test::nameOf(appearance));
        for (QWidget* stop : stops) {
            SCOPED_TRACE(nameOf(stop).toStdString() + " " + test::nameOf(appearance));
            tabTo(stop);
            const QImage focused = stop->grab().toImage();
            if (stop == row(Page::night))
                test::writeGallery(window->grab().toImage(), "keyboard-focus-selected-row" + suffix);
            if (stop == window->rootView()->refreshButton())
                test::writeGallery(window->grab().toImage(), "keyboard-focus-refresh" + suffix);
            press(Qt::Key_Tab);
            const QImage unfocused = stop->grab().toImage();
            ASSERT_EQ(focused.size(), unfocused.size());
            // Across the edge at mid-height, a few pixels in: the ring's two lines.
            int change = 0;
            for (int x = 0; x < int(4 * focused.devicePixelRatio()); ++x) {
                const QColor with = focused.pixelColor(x, focused.height() / 2);
                const QColor without = unfocused.pixelColor(x, focused.height() / 2);
                change = std::max({change, std::abs(with.red() - without.red()),
                                   std::abs(with.green() - without.green()),
                                   std::abs(with.blue() - without.blue())});
            }
            EXPECT_GE(change, 48);
            if (const auto* ring = stop->findChild<FocusRing*>(QString(), Qt::FindDirectChildrenOnly)) {
                EXPECT_FALSE(ring->shown());
            }
        }
    }
}

TEST_F(KeyboardWalk, AClickGivesNoRing) {
    openWindow();
    QTest::mouseClick(row(Page::history), Qt::LeftButton);
    for (const FocusRing* ring : window->findChildren<FocusRing*>())
        EXPECT_FALSE(ring->shown());
}

TEST_F(KeyboardWalk, ReturnAndSpaceActOnWhatHasTheFocus) {
    Store& store = openWindow();
    tabTo(row(Page::history));
    press(Qt::Key_Return);
    EXPECT_EQ(store.page(), Page::history);
    tabTo(row(Page::battery));
    press(Qt::Key_Space);
    EXPECT_EQ(store.page(), Page::battery);
    tabTo(row(Page::night));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(store.page(), Page::night);

    const std::string before = *store.selectedNightID();
    QWidget* previous = nullptr;
    for (QWidget* widget : window->findChildren<QAbstractButton*>())
        if (widget->toolTip().startsWith("Previous night") && widget->isVisible()) previous = widget;
    ASSERT_NE(previous, nullptr);
    tabTo(previous);
    press(Qt::Key_Space);
    EXPECT_EQ(store.selectedNightID(), store.nights().at(0).id) << "from " << before;

    QSignalSpy reads(&store, &Store::loadingChanged);
    tabTo(window->rootView()->refreshButton());
    press(Qt::Key_Return);
    EXPECT_GE(reads.count(), 1) << "a read of the log began";
}

} // namespace
} // namespace dormio

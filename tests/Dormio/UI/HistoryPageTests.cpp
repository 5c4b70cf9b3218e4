// The History page over a store of the test's making: the nights it shows for each span, the forced span
// and the picker, the empty state and its button, the figures and the trend, the rows' size, mark, click
// and hover, what makes the rows again (and what does not), the demo anchors, and PNGs of the whole page.
#include "ChartProbe.h"
#include "Dormio/Core/DemoData.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/SegmentedPicker.h"
#include "Dormio/UI/Pages/Actogram.h"
#include "Dormio/UI/Pages/HistoryPage.h"
#include "DormioKit/NightSummary.h"
#include "FakePlatform.h"
#include "HistoryFixtures.h"
#include "KitTest.h"
#include "OstrelKit/Capture/DemoAnchors.h"
#include "StoreTests.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QScrollArea>
#include <QTest>
#include <map>

namespace dormio::testing {
namespace {

using test::historyNight;
using test::historyNights;

Night inProgress(Night night) {
    night.inProgress = true;
    return night;
}

std::vector<QString> texts(const QWidget& widget) {
    std::vector<QString> found;
    for (const QWidget* child : widget.findChildren<QWidget*>())
        if (const auto* label = dynamic_cast<const Label*>(child)) found.push_back(label->text());
    return found;
}

bool shows(const QWidget& widget, const QString& text) {
    const auto all = texts(widget);
    return std::find(all.begin(), all.end(), text) != all.end();
}

class HistoryPageTest : public StoreTest {
protected:
    FakePlatform fake;
    test::InstantClock instant;
    test::AppearanceScope light{Appearance::light};

    Store& storeWith(std::vector<Night> nights) {
        Store& s = makeStore(fake.platform());
        s.setNights(std::move(nights));
        return s;
    }

    // The page in a window of its own, laid out at the size of the main window's detail column.
    static void showPage(HistoryPage& page, QSize size = {1000, 760}) {
        page.resize(size);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
};

TEST_F(HistoryPageTest, ShowsTheLastFinishedNightsOfTheSpan) {
    struct Case {
        const char* what;
        int finished;
        bool tonight; // a night in progress after them
        int span;
        std::size_t shown;
    };
    for (const Case& c :
         {Case{"a week of a month", 31, false, 7, 7}, Case{"a month of a month", 31, false, 30, 30},
          Case{"fewer than the span: all of them", 12, false, 30, 12},
          Case{"the newest, in progress, is left out", 8, true, 7, 7},
          Case{"only the night in progress: none", 0, true, 7, 0}, Case{"nothing read", 0, false, 30, 0}}) {
        SCOPED_TRACE(c.what);
        std::vector<Night> nights = historyNights(c.finished);
        if (c.tonight) nights.push_back(inProgress(historyNight(c.finished)));
        const std::vector<Night> shown = HistoryPage::shownNights(nights, c.span);
        ASSERT_EQ(shown.size(), c.shown);
        if (shown.empty()) continue;
        EXPECT_EQ(shown.back().id, nights[std::size_t(c.finished - 1)].id);
        EXPECT_EQ(shown.front().id, nights[std::size_t(c.finished) - c.shown].id);
    }
}

TEST_F(HistoryPageTest, AForcedSpanWinsUntilTheUserPicksOne) {
    Store& s = storeWith(historyNights(31));
    s.demoState().setDemoHistorySpan(30);
    HistoryPage page(s);
    EXPECT_EQ(page.effectiveSpan(), 30);
    EXPECT_EQ(page.picker()->selection(), 30);
    EXPECT_EQ(page.shown().size(), 30u);
    EXPECT_EQ(page.actogram()->rowHeight(), 11);

    // Picking "7 nights" with the mouse ends the forced span for good.
    QTest::mouseClick(page.picker(), Qt::LeftButton, {}, page.picker()->segment(0).center().toPoint());
    EXPECT_FALSE(s.demoState().demoHistorySpan());
    EXPECT_EQ(page.picker()->selection(), 7);
    EXPECT_EQ(page.shown().size(), 7u);
    EXPECT_EQ(page.actogram()->rowHeight(), 22);

    QTest::mouseClick(page.picker(), Qt::LeftButton, {}, page.picker()->segment(1).center().toPoint());
    EXPECT_EQ(page.effectiveSpan(), 30);
    EXPECT_EQ(page.shown().size(), 30u);

    // A developer mode may force a span again later; the page follows it.
    s.demoState().setDemoHistorySpan(7);
    EXPECT_EQ(page.picker()->selection(), 7);
    EXPECT_EQ(page.shown().size(), 7u);
}

TEST_F(HistoryPageTest, ANewSpanFadesItsRowsIn) {
    Store& s = storeWith(historyNights(12));
    test::SteppedClock clock;
    HistoryPage page(s);
    EXPECT_EQ(page.body()->graphicsEffect(), nullptr); // the first rows are simply there
    page.pick(30);
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(page.body()->graphicsEffect());
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->opacity(), 0);
    clock.advance(std::chrono::milliseconds(200));
    EXPECT_GT(fade->opacity(), 0);
    clock.advance(std::chrono::milliseconds(1000));
    // Done, the effect goes: it would draw the rows through an offscreen picture at every repaint.
    EXPECT_EQ(page.body()->graphicsEffect(), nullptr);
}

TEST_F(HistoryPageTest, WithoutFinishedNightsShowsTheEmptyStateAndItsButtonReadsAgain) {
    for (const bool tonight : {false, true}) {
        SCOPED_TRACE(tonight ? "only the night in progress" : "nothing read");
        Store& s =
            storeWith(tonight ? std::vector<Night>{inProgress(historyNight(0))} : std::vector<Night>{});
        s.demoState().setDemo(true);
        HistoryPage page(s);
        EXPECT_EQ(page.header()->kicker()->text(), QStringLiteral("Nightly record"));
        EXPECT_EQ(page.header()->title()->text(), QStringLiteral("History"));
        EXPECT_TRUE(page.picker()->isVisibleTo(&page));
        EXPECT_EQ(page.picker()->toolTip(), QStringLiteral("How many nights to show"));
        ASSERT_NE(page.emptyState(), nullptr);
        EXPECT_EQ(page.actogram(), nullptr);
        EXPECT_TRUE(page.figures().empty());
        for (const char* text :
             {"Actogram empty", "No history yet",
              "Nights appear here as macOS records them. Dormio also keeps each night it reads, so history "
              "grows past the week macOS keeps."})
            EXPECT_TRUE(shows(*page.emptyState(), QString::fromUtf8(text))) << text;
        Button* read = page.emptyState()->button();
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->text(), QStringLiteral("Read the Power Log Again"));
        read->click();
        // In demo mode a refresh reads nothing and announces at once.
        EXPECT_TRUE(toastText().startsWith(QStringLiteral("Power log read \u00B7 ")))
            << toastText().toStdString();
    }
}

TEST_F(HistoryPageTest, FiguresFromOneNightAndTheTrendFromThree) {
    auto withoutBattery = [](std::vector<Night> nights) {
        for (Night& night : nights) {
            night.hasBattery = false;
            night.battery.clear();
        }
        return nights;
    };
    struct Case {
        const char* what;
        std::vector<Night> nights;
        std::vector<QString> labels;
        bool trend;
    };
    const QString rest = QStringLiteral("avg rest"), wakes = QStringLiteral("wakes / night"),
                  drain = QStringLiteral("drain / night");
    const std::vector<Case> cases{
        {"one night", historyNights(1), {rest, wakes, drain}, false},
        {"two nights", historyNights(2), {rest, wakes, drain}, false},
        {"three nights", historyNights(3), {rest, wakes, drain}, true},
        {"no battery: no drain", withoutBattery(historyNights(4)), {rest, wakes}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store& s = storeWith(c.nights);
        HistoryPage page(s);
        const auto averages = NightSummary::averages(page.shown());
        ASSERT_TRUE(averages);
        ASSERT_EQ(page.figures().size(), c.labels.size());
        std::vector<QString> values{QString::number(averages->rest), QString::number(averages->wakes)};
        if (averages->drain) values.push_back(QString::fromStdString(Fmt::drop(*averages->drain)));
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            EXPECT_EQ(page.figures()[i]->label()->text(), c.labels[i]);
            EXPECT_EQ(page.figures()[i]->value()->text(), values[i]);
        }
        ASSERT_EQ(page.trend() != nullptr, c.trend);
        if (!c.trend) continue;
        EXPECT_EQ(page.trend()->size(), QSize(180, 30));
        QStringList scores;
        for (const Night& night : page.shown())
            scores << QString::number(night.score());
        EXPECT_EQ(page.trend()->accessibleDescription(), scores.join(QStringLiteral(", ")));
    }
}

TEST_F(HistoryPageTest, RowsFollowTheSpanNotTheNumberOfNights) {
    struct Case {
        int span;
        int nights;
        std::size_t rows;
        qreal height, spacing, dateSize;
    };
    for (const Case& c :
         {Case{7, 12, 7, 22, 4, 11}, Case{30, 12, 12, 11, 2, 9.5}, Case{30, 3, 3, 11, 2, 9.5}}) {
        SCOPED_TRACE(c.span);
        Store& s = storeWith(historyNights(c.nights));
        s.demoState().setDemoHistorySpan(c.span);
        HistoryPage page(s);
        showPage(page);
        const Actogram* actogram = page.actogram();
        ASSERT_NE(actogram, nullptr);
        ASSERT_EQ(actogram->rows().size(), c.rows);
        EXPECT_EQ(actogram->rowHeight(), c.height);
        const ActogramLine* first = actogram->rows()[0];
        const ActogramLine* second = actogram->rows()[1];
        EXPECT_EQ(first->barRect().height(), c.height);
        EXPECT_EQ(first->dateFont().pixels(), c.dateSize);
        EXPECT_EQ(second->geometry().top() - first->geometry().bottom() - 1, c.spacing);
        // Every bar stands over the ruler: the same left edge and width.
        const QRect ruler = actogram->ruler()->geometry();
        const QRectF bar = first->barRect().translated(first->pos());
        EXPECT_EQ(bar.left(), ruler.left());
        EXPECT_EQ(bar.width(), ruler.width());
    }
}

TEST_F(HistoryPageTest, OnlyTheDefaultNightsDateCarriesTheMark) {
    std::vector<Night> nights = historyNights(5);
    nights.push_back(inProgress(historyNight(5)));
    Store& s = storeWith(nights);
    HistoryPage page(s);
    const auto& rows = page.actogram()->rows();
    ASSERT_EQ(rows.size(), 5u);
    for (const ActogramLine* row : rows) {
        const QString day = QString::fromStdString(Fmt::day(row->night().start)).toUpper();
        const bool isDefault = row->night().id == s.defaultNightID();
        EXPECT_EQ(row->label(), isDefault ? day + QStringLiteral(" \u25C2") : day);
    }
    EXPECT_EQ(rows.back()->night().id, nights[4].id);
    EXPECT_TRUE(rows.back()->label().endsWith(QStringLiteral(" \u25C2")));
}

TEST_F(HistoryPageTest, ClickingARowOpensItsNight) {
    Store& s = storeWith(historyNights(5));
    s.setPage(Page::history);
    HistoryPage page(s);
    showPage(page);
    ActogramLine* row = page.actogram()->rows()[1];
    QTest::mouseClick(row, Qt::LeftButton, {}, row->rect().center());
    ASSERT_TRUE(waitUntil([&] { return s.page() == Page::night; }));
    EXPECT_EQ(s.selectedNightID(), row->night().id);
}

TEST_F(HistoryPageTest, ThePointerOrTheForcedHoverHighlightsARow) {
    Store& s = storeWith(historyNights(5));
    HistoryPage page(s);
    const auto& rows = page.actogram()->rows();
    auto lit = [&] {
        std::vector<bool> on;
        for (const ActogramLine* row : rows)
            on.push_back(row->highlighted());
        return on;
    };
    EXPECT_EQ(lit(), std::vector<bool>(5, false));
    EXPECT_EQ(rows[1]->dateFont().weight(), QFont::Normal);

    test::enter(rows[1]);
    EXPECT_EQ(lit(), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(rows[1]->dateFont().weight(), QFont::DemiBold);
    test::leave(rows[1]);
    EXPECT_EQ(lit(), std::vector<bool>(5, false));

    s.demoState().setDemoHoverNight(rows[3]->night().id);
    EXPECT_EQ(lit(), (std::vector<bool>{false, false, false, true, false}));
    EXPECT_EQ(rows[3]->dateFont().weight(), QFont::DemiBold);
    s.demoState().setDemoHoverNight(std::nullopt);
    EXPECT_EQ(lit(), std::vector<bool>(5, false));
}

TEST_F(HistoryPageTest, RowsAreMadeOnlyWhenTheShownNightsChange) {
    std::vector<Night> nights = historyNights(8);
    nights.push_back(inProgress(historyNight(8)));
    Store& s = storeWith(nights);
    HistoryPage page(s);
    // Held weakly: a new actogram may well take the old one's address.
    const QPointer<Actogram> first = page.actogram();

    // The same nights again, a live read, and the night in progress growing: the rows stay.
    emit s.nightsChanged();
    s.setLive({});
    emit s.liveChanged();
    nights.back().end = nights.back().end + 600;
    s.setNights(nights);
    EXPECT_TRUE(first);
    EXPECT_EQ(page.actogram(), first);

    // A night finished: new rows.
    nights.back().inProgress = false;
    s.setNights(nights);
    EXPECT_FALSE(first);
    EXPECT_EQ(page.shown().back().id, nights.back().id);
}

// Counts the paints each watched widget receives.
class PaintCounter : public QObject {
public:
    std::map<QObject*, int> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched];
        return false;
    }
};

TEST_F(HistoryPageTest, HoveringARowRepaintsThatRowAlone) {
    Store& s = storeWith(historyNights(7));
    HistoryPage page(s);
    showPage(page);
    const auto& rows = page.actogram()->rows();
    PaintCounter counter;
    for (ActogramLine* row : rows)
        row->installEventFilter(&counter);
    QTest::qWait(20);
    counter.paints.clear();

    test::enter(rows[2]);
    QTest::qWait(50);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(counter.paints[rows[i]] > 0, i == 2) << "row " << i;
}

TEST_F(HistoryPageTest, RegistersTheRowsAndThe30NightsHalfAsDemoAnchors) {
    Store& s = storeWith(historyNights(3));
    HistoryPage page(s);
    showPage(page);
    for (const ActogramLine* row : page.actogram()->rows()) {
        const auto frame =
            DemoAnchors::shared().frame(QStringLiteral("history-") + QString::fromStdString(row->night().id));
        ASSERT_TRUE(frame);
        EXPECT_EQ(*frame, QRect(row->mapToGlobal(QPoint(0, 0)), row->size()));
    }
    const auto thirty = DemoAnchors::shared().frame(QStringLiteral("span30"));
    ASSERT_TRUE(thirty);
    const QRect half = page.picker()->segment(1).toRect();
    EXPECT_EQ(*thirty, half.translated(page.picker()->mapToGlobal(QPoint(0, 0))));
}

TEST_F(HistoryPageTest, PaintsThePageAndItsRowsInEachAppearance) {
    Store& s = storeWith(historyNights(5));
    s.demoState().setDemoHoverNight(historyNight(2).id);
    HistoryPage page(s);
    showPage(page);
    for (Appearance appearance : test::bothAppearances) {
        SCOPED_TRACE(test::nameOf(appearance));
        test::AppearanceScope scope(appearance);
        const CanvasPalette palette(appearance);
        const QImage image = test::render(page, 2);
        // The page's ground.
        EXPECT_TRUE(test::near(test::probe(image, 4, 4), Theme::paper.resolve(appearance)));
        for (const ActogramLine* row : page.actogram()->rows()) {
            const QPointF origin = row->mapTo(&page, QPointF(0, 0));
            const QRectF bar = row->barRect().translated(origin);
            // 100 minutes into the night the Mac slept: the asleep bar is indigo.
            const qreal asleep = bar.left() + bar.width() * 100.0 / 480.0;
            EXPECT_TRUE(test::near(test::probe(image, asleep, bar.center().y()), palette.indigo, 4));
            // The highlighted row alone is outlined in ink.
            const QColor edge = test::probe(image, bar.left() + bar.width() / 3, bar.top() + 0.5);
            EXPECT_EQ(test::near(edge, palette.ink, 24), row->highlighted()) << row->night().id;
        }
    }
}

TEST_F(HistoryPageTest, WritesThePageToTheGallery) {
    struct Shot {
        const char* name;
        QSize size;
        std::optional<int> span;
        bool empty;
    };
    // The detail column of the main window at its normal and its minimum size, beside the sidebar.
    for (const Shot& shot :
         {Shot{"7-normal", {1234, 830}, 7, false}, Shot{"30-normal", {1234, 830}, 30, false},
          Shot{"30-minimum", {814, 628}, 30, false}, Shot{"7-minimum", {814, 628}, 7, false},
          Shot{"empty", {814, 628}, std::nullopt, true}}) {
        Store& s = makeStore(fake.platform());
        if (!shot.empty) DemoData::apply(s);
        s.demoState().setDemoHistorySpan(shot.span);
        if (!shot.empty) s.demoState().setDemoHoverNight(s.nights()[s.nights().size() - 4].id);
        HistoryPage page(s);
        showPage(page, shot.size);
        for (Appearance appearance : test::bothAppearances) {
            test::AppearanceScope scope(appearance);
            EXPECT_TRUE(test::writeGallery(
                test::render(page, 2),
                QStringLiteral("history-page-%1-%2")
                    .arg(QString::fromLatin1(shot.name), QString::fromLatin1(test::nameOf(appearance)))));
        }
    }
}

} // namespace
} // namespace dormio::testing

#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "Dormio/UI/Kit/Text.h"
#include "KitTest.h"

#include <QBoxLayout>
#include <QPointer>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using namespace std::chrono_literals;
using Slot = LedgerColumns::Slot;

TEST(LedgerColumns, FixedColumnsAroundAReasonThatTakesWhatIsLeft) {
    struct Case {
        qreal width;
        std::array<std::pair<qreal, qreal>, 4> columns; // x and width of process, reason, held, action
    };
    const Case cases[] = {
        {1000, {{{4, 210}, {226, 582}, {820, 76}, {908, 88}}}},
        {600, {{{4, 210}, {226, 182}, {420, 76}, {508, 88}}}},
        {418, {{{4, 210}, {226, 0}, {238, 76}, {326, 88}}}},
        {300, {{{4, 210}, {226, 0}, {238, 76}, {326, 88}}}}, // too narrow: the fixed columns keep their width
    };
    EXPECT_EQ(LedgerColumns::fixedWidth, 418);
    for (const Case& c : cases) {
        const auto columns = LedgerColumns::columns(c.width);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(columns[i].x, c.columns[i].first) << c.width << " column " << i;
            EXPECT_EQ(columns[i].width, c.columns[i].second) << c.width << " column " << i;
        }
        EXPECT_EQ(columns[Slot::process].alignment, Qt::AlignLeading);
        EXPECT_EQ(columns[Slot::reason].alignment, Qt::AlignLeading);
        EXPECT_EQ(columns[Slot::held].alignment, Qt::AlignTrailing);
        EXPECT_EQ(columns[Slot::action].alignment, Qt::AlignTrailing);
    }
}

// A label that says how wide it would like to be.
Label* text(const QString& words) {
    auto* label = new Label(words, Theme::Typo::body(), Theme::ink);
    label->setElide(Qt::ElideRight);
    return label;
}

TEST(LedgerRow, PlacesEachCellInItsColumn) {
    auto* name = text("A process with a name far too long for its column of 210 pixels");
    auto* reason = text("\u201CPlaying audio\u201D");
    auto* held = text("2 h 14 m");
    auto* action = text("macOS");
    LedgerRow row(name, reason, held, action);
    row.resize(1000, row.heightForWidth(1000));
    row.show();
    const int cell = name->sizeHint().height();
    EXPECT_EQ(row.height(), cell + 2 * 8 + 1);

    // A cell too wide for its column gets exactly the column and cuts its text; a narrow one keeps its own
    // width at its column's leading or trailing edge.
    const auto at = [&](QWidget* widget) { return widget->mapTo(&row, QPoint(0, 0)); };
    EXPECT_EQ(name->width(), 210);
    EXPECT_EQ(at(name).x(), 4);
    EXPECT_TRUE(name->shownLines().front().endsWith(QChar(0x2026)));
    EXPECT_EQ(at(reason).x(), 226);
    EXPECT_EQ(reason->width(), reason->sizeHint().width());
    EXPECT_EQ(at(held).x() + held->width(), 820 + 76);
    EXPECT_EQ(at(action).x() + action->width(), 908 + 88);
    for (QWidget* cellWidget : {static_cast<QWidget*>(name), static_cast<QWidget*>(reason),
                                static_cast<QWidget*>(held), static_cast<QWidget*>(action)})
        EXPECT_EQ(at(cellWidget).y(), 8);

    // In a narrow window the reason column gives way; the others keep their widths.
    row.resize(300, row.heightForWidth(300));
    EXPECT_EQ(reason->width(), 0);
    EXPECT_EQ(name->width(), 210);
    EXPECT_EQ(at(action).x() + action->width(), 326 + 88);
}

TEST(LedgerRow, CentresCellsOnEachOtherAndFillsACellThatExpands) {
    auto* tall = new QWidget;
    tall->setFixedSize(30, 40);
    auto* wide = new QWidget;
    wide->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    wide->setFixedHeight(10);
    LedgerRow row(tall, wide, text("14 m"), text("Quit"));
    row.resize(700, row.heightForWidth(700));
    row.show();
    EXPECT_EQ(row.height(), 40 + 16 + 1);
    EXPECT_EQ(wide->geometry(), QRect(226, 8 + 15, 700 - 418, 10));
    EXPECT_EQ(tall->geometry().topLeft(), QPoint(4, 8));
}

// The hover covers the cells with their 8 px above and below; the hairline under them is no part of it.
TEST(LedgerRow, HoverCoversThePaddedCellsButNotTheHairline) {
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        const test::InstantClock instant;
        LedgerRow row(text("Music"), text("Reason"), text("1 m"), text("Quit"));
        row.resize(600, row.heightForWidth(600));
        row.show();
        EXPECT_EQ(row.cells()->geometry(), QRect(0, 0, 600, row.height() - 1));
        test::enter(row.cells());
        EXPECT_TRUE(row.hover()->hovering());

        const QColor paper = Theme::paper.resolve(appearance);
        const QImage image = test::render(row, 2, paper);
        const QColor washed = test::over(Theme::wash.resolve(appearance), paper);
        const qreal bottom = row.height();
        EXPECT_TRUE(test::near(test::probe(image, 300, 1), washed, 1)) << test::nameOf(appearance);
        EXPECT_TRUE(test::near(test::probe(image, 300, bottom - 1.75), washed, 1));
        EXPECT_TRUE(test::near(test::probe(image, 300, bottom - 0.25),
                               test::over(Theme::rule.resolve(appearance), paper), 1))
            << test::nameOf(appearance);
    }
}

TEST(LedgerHeader, ShowsItsTitlesInCapitalsOverAStrongRule) {
    struct Case {
        QStringList given;
        QStringList shown;
    };
    const Case cases[] = {
        {{"Holder", "Assertion", "Held for", ""}, {"Holder", "Assertion", "Held for", ""}},
        {{"Process", "Reason", "Held for"}, {"Process", "Reason", "Held for", ""}},
        // Fewer than three: what is missing shows as empty, nothing is read past the list.
        {{"Process"}, {"Process", "", "", ""}},
        {{}, {"", "", "", ""}},
        {{"A", "B", "C", "D", "E"}, {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases) {
        const LedgerHeader header(c.given);
        EXPECT_EQ(header.titles(), c.shown) << c.given.join(',').toStdString();
    }
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        const test::AppearanceScope scope(appearance);
        LedgerHeader header({"Process", "Reason", "Held for"});
        header.resize(600, header.sizeHint().height());
        const QColor paper = Theme::paper.resolve(appearance);
        const QImage image = test::render(header, 2, paper);
        EXPECT_EQ(header.height(), int(std::ceil(Kicker::font().height())) + 6 + 1);
        EXPECT_TRUE(test::near(test::probe(image, 300, header.height() - 0.5),
                               test::over(Theme::ruleStrong.resolve(appearance), paper), 1))
            << test::nameOf(appearance);
        EXPECT_EQ(test::probe(image, 300, header.height() - 1.5), paper);
    }
}

// Titles and cells share one grid.
TEST(LedgerHeader, LinesUpWithTheRows) {
    QWidget table;
    auto* stack = new QVBoxLayout(&table);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    auto* header = new LedgerHeader({"Process", "Reason", "Held for"});
    std::array<Label*, 4> cells = {text("Music"), text("Playing"), text("2 h"), text("Quit")};
    stack->addWidget(header);
    stack->addWidget(new LedgerRow(cells[0], cells[1], cells[2], cells[3]));
    table.resize(800, table.sizeHint().height());
    table.show();
    const QList<Kicker*> titles = header->findChildren<Kicker*>();
    ASSERT_EQ(titles.size(), 4);
    const auto left = [&](QWidget* w) { return w->mapTo(&table, QPoint(0, 0)).x(); };
    const auto right = [&](QWidget* w) { return left(w) + w->width(); };
    EXPECT_EQ(left(titles[0]), left(cells[0]));
    EXPECT_EQ(left(titles[1]), left(cells[1]));
    EXPECT_EQ(right(titles[2]), right(cells[2]));
    EXPECT_EQ(titles[3]->text(), "");
}

TEST(LedgerRow, ComesInFromItsTopEdgeAndGoesBackUp) {
    const test::SteppedClock time;
    QWidget list;
    auto* stack = new QVBoxLayout(&list);
    auto* row = new LedgerRow(text("Music"), text("Playing"), text("2 h"), text("Quit"));
    stack->addWidget(row);
    list.resize(600, 200);
    list.show();
    const int full = row->heightForWidth(600);

    row->appear(Motion::linear(0.2));
    EXPECT_EQ(row->presence(), 0);
    EXPECT_EQ(row->heightForWidth(600), 0);
    time.advance(100ms);
    EXPECT_NEAR(row->heightForWidth(600), full / 2.0, 1);
    EXPECT_NE(row->graphicsEffect(), nullptr); // fading in
    time.advance(100ms);
    EXPECT_EQ(row->heightForWidth(600), full);
    EXPECT_EQ(row->graphicsEffect(), nullptr);

    const QPointer<LedgerRow> going(row);
    row->disappear(Motion::linear(0.2));
    time.advance(100ms);
    EXPECT_TRUE(going);
    time.advance(100ms);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(going);

    // Without an animation a row simply stands in full.
    auto* plain = new LedgerRow(text("Mail"), text("Fetching"), text("1 m"), text("Quit"));
    stack->addWidget(plain);
    plain->appear(Motion::Curve{});
    EXPECT_EQ(plain->presence(), 1);
}

} // namespace
} // namespace dormio

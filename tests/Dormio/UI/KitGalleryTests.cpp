// Every component of the kit drawn in both appearances at twice the pixels, into build/gallery/, for a
// person to open and look at.
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/FlatTrace.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "KitTest.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEnterEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// A page-coloured sheet holding rows of components.
class Sheet : public QWidget {
public:
    explicit Sheet(int width) {
        stack_->setContentsMargins(16, 16, 16, 16);
        stack_->setSpacing(14);
        setFixedWidth(width);
    }
    void add(std::initializer_list<QWidget*> widgets) {
        auto* row = new QHBoxLayout;
        row->setSpacing(16);
        for (QWidget* widget : widgets)
            row->addWidget(widget, 0, Qt::AlignVCenter);
        row->addStretch(1);
        stack_->addLayout(row);
    }
    void addWide(QWidget* widget) { stack_->addWidget(widget); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(Theme::paper)); }

private:
    QVBoxLayout* stack_ = new QVBoxLayout(this);
};

Label* caption(const QString& text) {
    auto* label = new Label(text, Theme::Typo::small(), Theme::ink3);
    return label;
}

// One frame of a live dot's pulse, which the gallery cannot catch running.
class PulseFrame : public QWidget {
public:
    explicit PulseFrame(qreal phase) : phase_(phase) { setFixedSize(20, 20); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal eased = Motion::easeOut(1.6).easing.valueForProgress(phase_);
        StatusDot::paint(painter, QRectF(rect()).center(), Theme::rose, eased);
    }

private:
    qreal phase_;
};

using Scene = std::function<void(Sheet&)>;

struct Entry {
    const char* name;
    int width;
    Scene scene;
};

const Entry entries[] = {
    {"text", 640,
     [](Sheet& sheet) {
         sheet.add({new Kicker("Night of Tue 4 Mar", Theme::ink3),
                    new Label("Body text", Theme::Typo::body(), Theme::ink),
                    new Label("Small, second", Theme::Typo::small(), Theme::ink2)});
         auto* cut = new Label("com.apple.dasd:task:refresh-photos-library-analysis", Theme::Typo::small(),
                               Theme::ink2);
         cut->setElide(Qt::ElideMiddle);
         cut->setFixedWidth(200);
         auto* tail = new Label("A very long name that does not fit", Theme::Typo::bodyStrong(), Theme::ink);
         tail->setFixedWidth(160);
         sheet.add({cut, tail, new Label("<b>not bold</b>", Theme::Typo::body(), Theme::rose)});
         auto* wrapped =
             new Label("macOS keeps about a week of sleep history. Once your Mac spends a night between "
                       "23:00 and 07:00 on record, its trace appears here.",
                       Theme::Typo::body(), Theme::ink2);
         wrapped->setWrapping(420);
         sheet.addWide(wrapped);
         sheet.add({new Label("Title 22", Theme::Typo::title(), Theme::ink),
                    new Label("Lede 18", Theme::Typo::lede(), Theme::ink),
                    new Label("42\u202F%  \u22123\u202F%", Theme::Typo::time(), Theme::ink)});
     }},
    {"panel", 560,
     [](Sheet& sheet) {
         sheet.addWide(new Panel("What kept it up", "time held awake with the screen off", Theme::Space::l,
                                 new Label("Nothing held your Mac awake while the screen was off.",
                                           Theme::Typo::body(), Theme::ink2)));
         sheet.addWide(
             new Panel(std::nullopt, "a note without a title shows no header", Theme::Space::l,
                       new Label("Content starts at the top padding.", Theme::Typo::body(), Theme::ink)));
         auto* narrow = new Panel("Logbook", "a long note that has to give way to the title caption", 12,
                                  new Label("Narrow", Theme::Typo::body(), Theme::ink));
         narrow->setFixedWidth(260);
         sheet.add({narrow});
     }},
    {"headers", 620,
     [](Sheet& sheet) {
         auto* steps = new QWidget;
         auto* row = new QHBoxLayout(steps);
         row->setContentsMargins(0, 0, 0, 0);
         row->setSpacing(12);
         row->addWidget(new Tag("SAMPLE DATA", Theme::amber));
         row->addWidget(Button::withSymbol(IconButtonStyle{26}, "chevron.left"));
         auto* next = Button::withSymbol(IconButtonStyle{26}, "chevron.right");
         next->setEnabled(false);
         row->addWidget(next);
         sheet.addWide(new PageHeader("Night of Tue 4 Mar \u00B7 23:41 \u2192 07:00", "Last Night", steps));
         sheet.addWide(new SectionHeader("Hypnogram", "hover to scrub any minute"));
         auto* tight = new SectionHeader("Energy by app", "estimate of what each app used while it ran");
         tight->setFixedWidth(240);
         sheet.add({tight});
     }},
    {"figures", 560,
     [](Sheet& sheet) {
         sheet.add({new Figure("7 h 42 m", "asleep", Theme::ink), new Figure("3", "wakes", Theme::rose),
                    new Figure("\u221212\u202F%", "battery", Theme::ink),
                    new Figure("23:41", "asleep from", Theme::ink)});
         sheet.add({new RestGrade(82, false), new RestGrade(50, false), new RestGrade(100, false),
                    new RestGrade(9, false)});
         sheet.add({new RestGrade(82, true), new RestGrade(50, true), new RestGrade(100, true),
                    new RestGrade(9, true)});
     }},
    {"badges", 420,
     [](Sheet& sheet) {
         sheet.add({new Tag("SAMPLE DATA", Theme::amber), new Tag("\u00D713", Theme::rose),
                    new Tag("Mixed Case", Theme::indigo)});
         sheet.add({new KeyCap("\u2318"), new KeyCap("1"), new KeyCap("["), new KeyCap("Esc")});
     }},
    {"holder-glyphs", 420,
     [](Sheet& sheet) {
         static QTemporaryDir apps;
         QDir(apps.path()).mkpath("Music.app");
         const std::string bundle = apps.filePath("Music.app").toStdString();
         sheet.add({new HolderGlyph(bundle, "Music", 16), new HolderGlyph(std::nullopt, "coreaudiod", 16),
                    new HolderGlyph(std::nullopt, "backupd", 16),
                    new HolderGlyph("/usr/bin/caffeinate", "caffeinate", 16),
                    new HolderGlyph("/Applications/Gone.app", "sharingd", 14),
                    new HolderGlyph(std::nullopt, "dasd", 32)});
     }},
    {"status-dots", 760,
     [](Sheet& sheet) {
         sheet.add({new StatusDot(Theme::indigo, false), caption("steady"), new StatusDot(Theme::rose, true),
                    caption("live, still for snapshots"), new StatusDot(Theme::ink3, false), caption("off")});
         std::vector<QWidget*> pulse;
         for (const qreal phase : {0.0, 0.25, 0.5, 0.75}) {
             pulse.push_back(new PulseFrame(phase));
             pulse.push_back(caption(QStringLiteral("pulse %1").arg(phase)));
         }
         sheet.add({pulse[0], pulse[1], pulse[2], pulse[3], pulse[4], pulse[5], pulse[6], pulse[7]});
     }},
    {"flat-trace", 560,
     [](Sheet& sheet) {
         auto* scanning = new FlatTrace(true);
         scanning->setFixedSize(260, 30);
         auto* still = new FlatTrace(false);
         still->setFixedSize(220, 26);
         sheet.add({scanning, still});
     }},
    {"empty-state", 560,
     [](Sheet& sheet) {
         sheet.addWide(
             new EmptyState("No nights on record", "Nothing to read yet",
                            "macOS keeps about a week of sleep history. Once your Mac spends a night "
                            "between 23:00 and 07:00 on record, its trace appears here.",
                            QString("See Right Now"), [] {}));
         sheet.addWide(new EmptyState("Actogram empty", "No history yet", "No button without an action.",
                                      QString("Read"), nullptr));
     }},
    {"buttons", 900,
     [](Sheet& sheet) {
         const auto states = [&](const ButtonStyle& style, const QString& text,
                                 const std::string& symbol = {}) {
             std::array<Button*, 4> buttons;
             for (auto*& button : buttons)
                 button = symbol.empty() ? new Button(style, text) : Button::withSymbol(style, symbol);
             test::enter(buttons[1]);
             test::enter(buttons[2]);
             buttons[2]->setDown(true);
             buttons[3]->setEnabled(false);
             sheet.add({buttons[0], buttons[1], buttons[2], buttons[3]});
         };
         sheet.add({caption("rest"), caption("hover"), caption("pressed"), caption("disabled")});
         states(PrimaryButtonStyle{true}, "Get Started");
         states(PrimaryButtonStyle{false}, "Continue");
         states(QuietButtonStyle{Theme::ink, false}, "Quit\u2026");
         states(QuietButtonStyle{Theme::rose, false}, "Delete Measured Energy Data\u2026");
         states(QuietButtonStyle{Theme::ink, true}, "See Right Now");
         states(IconButtonStyle{26}, {}, "chevron.left");
         states(IconButtonStyle{22}, {}, "text.alignleft");
     }},
    {"ledger", 760,
     [](Sheet& sheet) {
         auto* table = new QWidget;
         auto* rows = new QVBoxLayout(table);
         rows->setContentsMargins(0, 0, 0, 0);
         rows->setSpacing(0);
         rows->addWidget(new LedgerHeader({"Process", "Reason", "Held for"}));
         const auto cell = [](const QString& text, const Font& font, DynamicColor color,
                              Qt::TextElideMode mode) {
             auto* label = new Label(text, font, color);
             label->setElide(mode);
             return label;
         };
         for (const auto& [name, detail, held] :
              {std::tuple{"Music", "\u201CPlaying audio\u201D", "2 h 14 m"},
               {"backupd", "\u201Ccom.apple.backupd.scheduled-backup-with-a-very-long-name\u201D", "14 m"},
               {"A process with a name far too long for its column", "\u2014", "45 s"}}) {
             auto* who = new QWidget;
             auto* line = new QHBoxLayout(who);
             line->setContentsMargins(0, 0, 0, 0);
             line->setSpacing(8);
             line->addWidget(new HolderGlyph(std::nullopt, name, 16));
             line->addWidget(cell(name, Theme::Typo::bodyStrong(), Theme::ink, Qt::ElideRight), 1);
             auto* row = new LedgerRow(
                 who, cell(detail, Theme::Typo::small(), Theme::ink2, Qt::ElideMiddle),
                 cell(held, Font(12, QFont::Medium, Font::Design::monospaced), Theme::ink, Qt::ElideRight),
                 new Button(QuietButtonStyle{Theme::ink, false}, "Quit\u2026"));
             rows->addWidget(row);
             if (std::string_view(name) == "backupd") test::enter(row->cells());
         }
         sheet.addWide(
             new Panel("What kept it up", "time held awake with the screen off", Theme::Space::l, table));
     }},
};

class Gallery : public testing::TestWithParam<Appearance> {};

// Drawn as the snapshot mode draws: every animation at its end, loops still.
TEST_P(Gallery, DrawsEveryComponent) {
    const test::AppearanceScope scope(GetParam());
    const test::InstantClock instant;
    for (const Entry& entry : entries) {
        Sheet sheet(entry.width);
        entry.scene(sheet);
        sheet.adjustSize();
        sheet.show();
        QApplication::processEvents();
        const QImage image = test::render(sheet, 2);
        EXPECT_EQ(image.size(), sheet.size() * 2) << entry.name;
        EXPECT_TRUE(
            test::writeGallery(image, QStringLiteral("%1-%2").arg(entry.name, test::nameOf(GetParam()))))
            << entry.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Appearances, Gallery, testing::Values(Appearance::light, Appearance::dark),
                         [](const auto& info) { return std::string(test::nameOf(info.param)); });

} // namespace
} // namespace dormio

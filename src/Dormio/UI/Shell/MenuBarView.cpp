#include "Dormio/UI/Shell/MenuBarView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/MiniHypnogramView.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace dormio {

namespace {

constexpr int padding = 12;
constexpr int contentWidth = MenuBarView::fixedWidth - 2 * padding;
constexpr qreal glyphSize = 14;

QHBoxLayout* hbox(int spacing) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

// As wide as the column: it holds the view at its width whatever else shows.
class Divider : public QWidget {
public:
    Divider() { setFixedSize(contentWidth, 1); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(Theme::rule)); }
};

} // namespace

MenuBarView::HolderLine::HolderLine(const LiveRow& row)
    : path_(row.identity.path), process_(row.assertion.process),
      name_(new Label({}, Theme::systemFont(13), Theme::ink)),
      age_(new Label({}, Theme::systemFont(11, QFont::Normal, true), Theme::ink2)) {
    auto* layout = hbox(8);
    setLayout(layout);
    layout->addWidget(new HolderGlyph(path_, process_, glyphSize), 0, Qt::AlignVCenter);
    // A long name is cut; the duration keeps its place at the right.
    name_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(name_, 1, Qt::AlignVCenter);
    layout->addWidget(age_, 0, Qt::AlignVCenter);
    setRow(row);
}

void MenuBarView::HolderLine::setRow(const LiveRow& row) {
    name_->setText(text(row.identity.name));
    age_->setText(text(Fmt::duration(row.assertion.age, false)));
}

bool MenuBarView::HolderLine::drawsGlyphOf(const LiveRow& row) const {
    return path_ == row.identity.path && process_ == row.assertion.process;
}

MenuBarView::MenuBarView(Store& store, QWidget* parent)
    : QWidget(parent), store_(store),
      title_(new Label({}, Theme::systemFont(13, QFont::DemiBold), Theme::ink)),
      grade_(new RestGrade(0, true)), night_(new QWidget), trace_(new MiniHypnogramView(true)),
      start_(new Label({}, Theme::systemFont(9.5, QFont::Normal, true), Theme::ink3)),
      end_(new Label({}, Theme::systemFont(9.5, QFont::Normal, true), Theme::ink3)),
      line_(new Label({}, Theme::systemFont(12, QFont::Normal, true), Theme::ink)),
      summary_(new Label({}, Theme::systemFont(13), Theme::ink2)), dot_(new StatusDot(Theme::indigo, false)),
      headline_(new Label({}, Theme::systemFont(13, QFont::Medium), Theme::ink)), holders_(new QWidget),
      open_(new Button(PrimaryButtonStyle{}, QStringLiteral("Open Dormio"))),
      quit_(new Button(QuietButtonStyle{Theme::ink}, QStringLiteral("Quit"))) {
    setFixedWidth(fixedWidth);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(10);
    // The height follows the content, as the night and the holders come and go.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The title and "REST 57" share their first baseline: whichever lies higher in its own box moves down.
    auto* titleRow = hbox(8);
    const qreal titleBaseline = title_->textFont().ascent(); // at its natural height
    const qreal gradeBaseline = RestGrade::geometry(0, true).kicker.y();
    const auto lowered = [](QWidget* cell, qreal by) {
        auto* box = new QVBoxLayout;
        box->setContentsMargins(0, int(std::lround(std::max<qreal>(by, 0))), 0, 0);
        box->addWidget(cell, 0, Qt::AlignTop);
        return box;
    };
    titleRow->addLayout(lowered(title_, gradeBaseline - titleBaseline), 1);
    titleRow->addLayout(lowered(grade_, titleBaseline - gradeBaseline));
    layout->addLayout(titleRow);

    auto* nightLayout = new QVBoxLayout(night_);
    nightLayout->setContentsMargins(0, 0, 0, 0);
    nightLayout->setSpacing(3);
    trace_->setFixedSize(contentWidth, 30);
    nightLayout->addWidget(trace_);
    auto* times = hbox(0);
    times->addWidget(start_);
    times->addStretch(1);
    times->addWidget(end_);
    nightLayout->addLayout(times);
    layout->addWidget(night_);
    line_->setWrapping(contentWidth);
    layout->addWidget(line_);
    summary_->setWrapping(contentWidth);
    layout->addWidget(summary_);

    layout->addWidget(new Divider);
    auto* headlineRow = hbox(8);
    headlineRow->addWidget(dot_, 0, Qt::AlignVCenter);
    headline_->setElide(Qt::ElideRight);
    headline_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    headlineRow->addWidget(headline_, 1, Qt::AlignVCenter);
    layout->addLayout(headlineRow);
    auto* holderList = new QVBoxLayout(holders_);
    holderList->setContentsMargins(15, 0, 0, 0);
    holderList->setSpacing(4);
    holders_->setFixedWidth(contentWidth);
    layout->addWidget(holders_);

    layout->addWidget(new Divider);
    auto* buttons = hbox(8);
    buttons->addWidget(open_);
    buttons->addStretch(1);
    quit_->setToolTip(QStringLiteral("Quit Dormio (sampling stops)"));
    buttons->addWidget(quit_);
    layout->addLayout(buttons);

    connect(open_, &Button::clicked, this, &MenuBarView::openMainWindow);
    connect(quit_, &Button::clicked, this, &MenuBarView::quitApplication);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, open_, &Button::click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, quit_,
            &Button::click);

    for (auto changed : {&Store::nightsChanged, &Store::loadedOnceChanged, &Store::logFailureChanged})
        connect(&store_, changed, this, &MenuBarView::showNight);
    connect(&store_, &Store::liveChanged, this, &MenuBarView::showHolders);
    showNight();
    showHolders();
}

void MenuBarView::showNight() {
    const std::optional<std::string> id = store_.defaultNightID();
    const std::vector<Night>& nights = store_.nights();
    const auto shown = std::find_if(nights.begin(), nights.end(), [&](const Night& n) { return n.id == id; });
    const bool has = shown != nights.end();
    title_->setText(has ? store_.title(*shown) : QStringLiteral("Last Night"));
    grade_->setVisible(has);
    night_->setVisible(has);
    line_->setVisible(has);
    summary_->setVisible(!has);
    if (!has) {
        summary_->setText(store_.menuSummary());
        return;
    }
    grade_->setScore(shown->score());
    trace_->setNight(*shown);
    start_->setText(text(Fmt::clockTime(shown->start)));
    end_->setText(text(Fmt::clockTime(shown->end)));
    line_->setText(text(NightSummary::line(*shown)));
}

void MenuBarView::showHolders() {
    const std::vector<LiveRow> noteworthy = store_.noteworthy();
    const std::vector<std::string> names = store_.holderNames();
    dot_->setColor(names.empty() ? Theme::indigo : Theme::rose);
    dot_->setLive(!names.empty());
    if (names.empty())
        headline_->setText(QStringLiteral("Nothing is keeping your Mac awake"));
    else if (names.size() == 1)
        headline_->setText(text(names.front()) + QStringLiteral(" is holding it awake"));
    else
        headline_->setText(QString::number(names.size()) + QStringLiteral(" apps are holding it awake"));

    // Lines are kept by their row's key, so a line that stays is updated in place rather than made anew.
    const std::vector<std::string> keys = uniqueKeys(noteworthy);
    const size_t count = std::min<size_t>(noteworthy.size(), shownHolders);
    std::map<std::string, HolderLine*> kept;
    auto* list = static_cast<QVBoxLayout*>(holders_->layout());
    for (size_t i = 0; i < count; ++i) {
        auto found = lines_.find(keys[i]);
        HolderLine* line = nullptr;
        if (found != lines_.end() && found->second->drawsGlyphOf(noteworthy[i])) {
            line = found->second;
            lines_.erase(found);
            line->setRow(noteworthy[i]);
        } else {
            line = new HolderLine(noteworthy[i]);
        }
        list->removeWidget(line);
        list->insertWidget(int(i), line);
        kept.emplace(keys[i], line);
    }
    for (auto& [key, line] : lines_)
        delete line;
    lines_ = std::move(kept);
    holders_->setVisible(count > 0);
}

std::vector<MenuBarView::HolderLine*> MenuBarView::holderLines() const {
    std::vector<HolderLine*> shown;
    const QLayout* list = holders_->layout();
    for (int i = 0; i < list->count(); ++i)
        shown.push_back(static_cast<HolderLine*>(list->itemAt(i)->widget()));
    return shown;
}

} // namespace dormio

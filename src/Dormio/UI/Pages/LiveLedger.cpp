#include "Dormio/UI/Pages/LiveLedger.h"

#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "DormioKit/Fmt.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QBoxLayout>
#include <QPainter>
#include <algorithm>
#include <map>

namespace dormio {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString held(const LiveAssertion& assertion) {
    return qs(Fmt::duration(assertion.age, false));
}

// The checkmark before an empty ledger's sentence.
class Checkmark : public QWidget {
public:
    Checkmark() { setFixedSize(11, 11); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        Symbols::paint(painter, QRectF(rect()), ViewSymbols::nothingHeld, Theme::indigo,
                       Symbols::Weight::semibold);
    }
};

QWidget* hbox(int spacing, std::initializer_list<QWidget*> widgets) {
    auto* box = new QWidget;
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(spacing);
    for (QWidget* widget : widgets)
        line->addWidget(widget, 0, Qt::AlignVCenter);
    return box;
}

QWidget* processCell(const LiveRow& row) {
    return LedgerCells::holder(row.identity.path, row.assertion.process, qs(row.identity.name),
                               Qt::ElideMiddle);
}

QWidget* reasonCell(const LiveAssertion& assertion) {
    auto* type = new Label(qs(assertion.friendlyType()), Theme::Typo::small(),
                           assertion.isNoteworthy() ? Theme::rose : Theme::ink2);
    static const Font detailFont = Theme::systemFont(9.5, QFont::Normal, true);
    auto* detail = new Label(LiveLedger::detail(assertion), detailFont, Theme::ink3);
    detail->setElide(Qt::ElideMiddle);
    return LedgerCells::twoLines(type, detail);
}

// Quit for a user app; for anything else the word "macOS", since the system lets go of its own holds.
QWidget* actionCell(const LiveRow& row, std::function<void()> quit) {
    const QString name = qs(row.identity.name);
    if (!row.identity.isUserApp) return LedgerCells::partOfMacOS();
    auto* button = new Button(QuietButtonStyle{Theme::ink, false}, QStringLiteral("Quit\u2026"));
    button->setToolTip(QStringLiteral("Ask ") + name + QStringLiteral(" to quit so your Mac can sleep"));
    button->setObjectName(QStringLiteral("quit-") + name);
    demoAnchor(button, button->objectName());
    QObject::connect(button, &QAbstractButton::clicked, button, std::move(quit));
    return button;
}

} // namespace

// A row that keeps its widgets while its holder stays the same: a new reading changes only the time held.
class LiveLedger::RowView : public LedgerRow {
public:
    RowView(const LiveRow& row, const Quit& onQuit)
        : RowView(row, onQuit, new Label(held(row.assertion), heldFont(), Theme::ink)) {}

    // Whether the row can show `next` (of the same key) by a new time alone.
    bool shows(const LiveRow& next) const {
        return next.identity == row_.identity && next.assertion.process == row_.assertion.process;
    }
    void update(const LiveRow& next) {
        if (next == row_) return;
        row_ = next;
        held_->setText(held(row_.assertion));
    }

private:
    RowView(const LiveRow& row, const Quit& onQuit, Label* heldLabel)
        : LedgerRow(processCell(row), reasonCell(row.assertion), heldLabel,
                    actionCell(row, [this, onQuit] { onQuit(row_); })),
          row_(row), held_(heldLabel) {}

    static const Font& heldFont() {
        static const Font font = Theme::systemFont(12, QFont::Medium, true);
        return font;
    }

    LiveRow row_;
    Label* held_;
};

LiveLedger::LiveLedger(const QString& title, const QString& empty, Quit onQuit, QWidget* parent)
    : Panel(title, std::nullopt, Theme::Space::l, nullptr, parent), empty_(empty),
      onQuit_(std::move(onQuit)) {
    showEmpty();
}

QStringList LiveLedger::columnTitles() {
    return {QStringLiteral("Holder"), QStringLiteral("Assertion"), QStringLiteral("Held for"), QString()};
}

std::optional<QString> LiveLedger::note(std::size_t count) {
    if (count == 0) return std::nullopt;
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" assertion") : QStringLiteral(" assertions"));
}

std::vector<std::string> LiveLedger::keys(const std::vector<LiveRow>& rows) {
    std::map<std::string, int> seen;
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const LiveRow& row : rows) {
        std::string id = row.id();
        const int occurrence = seen[id]++;
        keys.push_back(occurrence == 0 ? std::move(id) : id + "#" + std::to_string(occurrence));
    }
    return keys;
}

QString LiveLedger::detail(const LiveAssertion& assertion) {
    if (assertion.name.empty()) return qs(assertion.type);
    return QStringLiteral("\u201C") + qs(assertion.name) + QStringLiteral("\u201D \u00B7 ") +
           qs(assertion.process);
}

LedgerRow* LiveLedger::row(const std::string& key) const {
    for (const auto& [shownKey, view] : shown_)
        if (shownKey == key) return view;
    return nullptr;
}

void LiveLedger::showEmpty() {
    auto* sentence = new Label(empty_, Theme::Typo::body(), Theme::ink2);
    sentence->setWrapping(QWIDGETSIZE_MAX);
    QWidget* line = hbox(8, {new Checkmark, sentence});
    static_cast<QHBoxLayout*>(line->layout())->setStretchFactor(sentence, 1);
    table_ = nullptr;
    shown_.clear();
    setContent(line);
}

QWidget* LiveLedger::table() {
    if (table_) return table_;
    table_ = new QWidget;
    auto* stack = new QVBoxLayout(table_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new LedgerHeader(columnTitles()));
    setContent(table_);
    return table_;
}

void LiveLedger::setRows(const std::vector<LiveRow>& rows, const Motion::Curve& curve) {
    if (rows.size() != rows_.size()) header()->setNote(note(rows.size()));
    rows_ = rows;
    if (rows.empty()) {
        if (table_) showEmpty();
        return;
    }
    table();
    const std::vector<std::string> order = keys(rows);
    std::map<std::string, RowView*> before(shown_.begin(), shown_.end());
    shown_.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto found = before.find(order[i]);
        RowView* view = found == before.end() ? nullptr : found->second;
        if (view && view->shows(rows[i])) {
            view->update(rows[i]);
        } else {
            delete view; // the same assertion now stands for another holder: a row of its own
            view = new RowView(rows[i], onQuit_);
            if (found == before.end()) view->appear(curve);
        }
        if (found != before.end()) before.erase(found);
        shown_.emplace_back(order[i], view);
    }
    for (const auto& [key, gone] : before) {
        if (curve.milliseconds > 0)
            gone->disappear(curve);
        else
            delete gone;
    }
    place();
}

// Puts the rows in their order under the header; rows on their way out end up below them.
void LiveLedger::place() {
    auto* stack = static_cast<QVBoxLayout*>(table_->layout());
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        QWidget* view = shown_[i].second;
        const int at = int(i) + 1;
        if (stack->indexOf(view) == at) continue;
        stack->removeWidget(view);
        stack->insertWidget(std::min(at, stack->count()), view);
    }
}

} // namespace dormio

#include "Dormio/UI/Pages/KeptAwakeLedger.h"

#include "Dormio/Core/Store.h"
#include "Dormio/Core/System/AppLookup.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Ledger.h"
#include "Dormio/UI/Kit/QuitConfirmation.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QMessageBox>

namespace dormio {

namespace {

QString nameOf(const KeptAwakeRow& row) {
    return text(row.identity.name);
}

QString heldFor(const KeptAwakeRow& row) {
    return text(Fmt::duration(row.entry.seconds, false));
}

bool pathIsApp(const KeptAwakeRow& row) {
    return AppLookup::isApplication(row.identity.path);
}

QString quoted(const std::string& s) {
    return QStringLiteral("\u201C") + text(s) + QStringLiteral("\u201D");
}

QWidget* processCell(const KeptAwakeRow& row) {
    return LedgerCells::holder(row.identity.path, row.entry.process, nameOf(row), Qt::ElideRight);
}

QWidget* reasonCell(const KeptAwakeRow& row) {
    const QString detail = row.entry.detail.empty() ? QStringLiteral("\u2014") : quoted(row.entry.detail);
    auto* first = new Label(detail, Theme::Typo::small(), Theme::ink2);
    first->setElide(Qt::ElideMiddle);
    static const Font typeFont = Theme::systemFont(9.5, QFont::Normal, true);
    auto* second = new Label(text(row.entry.type), typeFont, Theme::ink3);
    second->setElide(Qt::ElideRight);
    return LedgerCells::twoLines(first, second);
}

QWidget* heldCell(const KeptAwakeRow& row) {
    static const Font font = Theme::systemFont(12, QFont::Medium, true);
    return new Label(heldFor(row), font, Theme::ink);
}

} // namespace

// The action column of one row: "Quit…" while the app can be asked, otherwise why it cannot.
class QuitCell : public QWidget {
public:
    QuitCell(const KeptAwakeRow& row, std::function<void()> press) : row_(row), press_(std::move(press)) {
        auto* line = new QHBoxLayout(this);
        line->setContentsMargins(0, 0, 0, 0);
    }

    void offerQuit(bool offer) {
        if (shown_ && offer == offersQuit_) return;
        delete shown_;
        offersQuit_ = offer;
        shown_ = offer ? quitButton() : word();
        layout()->addWidget(shown_);
    }

private:
    QWidget* quitButton() {
        auto* button = new Button(QuietButtonStyle{Theme::ink, false}, QStringLiteral("Quit\u2026"));
        button->setToolTip(QStringLiteral("Ask ") + nameOf(row_) + QStringLiteral(" to quit"));
        connect(button, &QAbstractButton::clicked, this, [this] { press_(); });
        return button;
    }

    QWidget* word() const {
        if (!pathIsApp(row_)) return LedgerCells::partOfMacOS();
        return LedgerCells::word(QStringLiteral("not running"),
                                 QStringLiteral("This app isn\u2019t running now"));
    }

    KeptAwakeRow row_;
    std::function<void()> press_;
    QWidget* shown_ = nullptr;
    bool offersQuit_ = false;
};

KeptAwakeLedger::KeptAwakeLedger(Store& store, Night night, QWidget* parent)
    : Panel(std::nullopt, std::nullopt, Theme::Space::l, nullptr, parent), store_(store),
      night_(std::move(night)) {
    showNight();
    // Apps start and quit while the page stays open: look again after each live read, which sees what
    // runs, and whenever the user comes back to the app.
    connect(&store_, &Store::lastLiveReadChanged, this, &KeptAwakeLedger::refreshActions);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) refreshActions();
    });
}

void KeptAwakeLedger::setNight(Night night) {
    if (confirmation_) confirmation_->close();
    night_ = std::move(night);
    showNight();
}

void KeptAwakeLedger::showNight() {
    rows_ = store_.keptAwakeRows(night_);
    actions_.clear();
    const QString title = QStringLiteral("What kept it up");
    // The note says what the column of times means, so it goes with the table.
    if (rows_.empty()) {
        setHeader(title, std::nullopt);
        setContent(new Label(QStringLiteral("Nothing held your Mac awake while the screen was off."),
                             Theme::Typo::body(), Theme::ink2));
        return;
    }
    setHeader(title, QStringLiteral("time held awake with the screen off"));
    setContent(table());
}

QWidget* KeptAwakeLedger::table() {
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new LedgerHeader(
        {QStringLiteral("Process"), QStringLiteral("Reason"), QStringLiteral("Held for"), QString()}));
    for (const KeptAwakeRow& row : rows_) {
        auto* action = new QuitCell(row, [this, row] { askToQuit(row); });
        actions_.push_back(action);
        auto* line = new LedgerRow(processCell(row), reasonCell(row), heldCell(row), action);
        line->setToolTip(text(row.entry.type) + QStringLiteral(": ") + quoted(row.entry.detail));
        stack->addWidget(line);
    }
    refreshActions();
    return content;
}

void KeptAwakeLedger::showEvent(QShowEvent* event) {
    Panel::showEvent(event);
    refreshActions();
}

void KeptAwakeLedger::refreshActions() {
    for (std::size_t i = 0; i < actions_.size(); ++i)
        actions_[i]->offerQuit(canQuit(rows_[i]));
}

bool KeptAwakeLedger::canQuit(const KeptAwakeRow& row) const {
    if (store_.demoState().demo()) return pathIsApp(row);
    return row.identity.isUserApp && store_.runningApp(row).has_value();
}

void KeptAwakeLedger::askToQuit(const KeptAwakeRow& row) {
    if (confirmation_) confirmation_->close();
    confirm_ = row;
    const QString name = nameOf(row);
    const QString message = name + QStringLiteral(" kept your Mac awake for ") + heldFor(row) +
                            QStringLiteral(" last night. Quitting asks it to close normally, so it can save "
                                           "your work first.");
    // The store looks again at what runs when the user confirms: an app gone by then is reported, not
    // signalled.
    confirmation_ = confirmQuit(this, name, message, [this, row] { store_.quit(row); });
    connect(confirmation_, &QDialog::finished, this, [this] {
        confirm_.reset();
        confirmation_ = nullptr;
    });
}

} // namespace dormio

#include "Dormio/UI/Pages/RightNowPage.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/QuitConfirmation.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/LiveLedger.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "Dormio/UI/Pages/StateLine.h"
#include "DormioKit/Fmt.h"

#include <QMessageBox>
#include <algorithm>

namespace dormio {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The same assertion of the same process: its pid, type and name, and the process that the pid ran.
bool sameHolder(const LiveRow& a, const LiveRow& b) {
    return a.id() == b.id() && a.assertion.ownerPID() == b.assertion.ownerPID() && a.owner == b.owner;
}

} // namespace

QString RightNowPage::kicker(const Store& store) {
    std::optional<Date> time = store.lastLiveRead();
    if (store.demoState().demo()) time = currentDate();
    return QStringLiteral("On duty \u00B7 read every 30 s \u00B7 last ") +
           (time ? qs(Fmt::clockTime(*time)) : QStringLiteral("\u2014"));
}

QString RightNowPage::quitMessage(const LiveRow& row) {
    return qs(row.identity.name) + QStringLiteral(" is asking macOS to stay awake (\u201C") +
           qs(row.assertion.name) +
           QStringLiteral(
               "\u201D). Quitting lets your Mac sleep normally. Unsaved work may prompt you first.");
}

RightNowPage::RightNowPage(Store& store, QWidget* parent)
    : PageScroll(QStringLiteral("Right Now"), parent), store_(store),
      header_(new PageHeader(kicker(store), QStringLiteral("Right Now"), nullptr)),
      stateLine_(new StateLine) {
    const auto ask = [this](const LiveRow& row) { this->ask(row); };
    holders_ = new LiveLedger(QStringLiteral("Holding the Mac awake"),
                              QStringLiteral("No app is stopping your Mac from going to sleep."), ask);
    screenKeepers_ = new LiveLedger(QStringLiteral("Keeping the screen on"),
                                    QStringLiteral("Nothing is holding the display on."), ask);
    housekeeping_ = new LiveLedger(QStringLiteral("macOS housekeeping"), QString(), ask);

    static const Font footnoteFont = Theme::systemFont(10.5, QFont::Normal, true);
    auto* footnote = new Label(SourceTexts::liveFootnote(), footnoteFont, Theme::ink3);
    footnote->setWrapping(QWIDGETSIZE_MAX);

    for (QWidget* block : {static_cast<QWidget*>(header_), static_cast<QWidget*>(stateLine_),
                           static_cast<QWidget*>(holders_), static_cast<QWidget*>(screenKeepers_),
                           static_cast<QWidget*>(housekeeping_), static_cast<QWidget*>(footnote)})
        addBlock(block);

    follow({});
    connect(&store_, &Store::liveChanged, this, [this] { follow(Motion::standardOrReduced()); });
    connect(&store_, &Store::lastLiveReadChanged, this, [this] { header_->setKicker(kicker(store_)); });
    connect(&store_.demoState(), &DemoState::demoChanged, this,
            [this] { header_->setKicker(kicker(store_)); });
}

void RightNowPage::showEvent(QShowEvent* event) {
    // On sample data the kicker tells the time of showing.
    header_->setKicker(kicker(store_));
    PageScroll::showEvent(event);
}

void RightNowPage::follow(const Motion::Curve& curve) {
    header_->setKicker(kicker(store_));
    stateLine_->setNames(store_.holderNames());
    holders_->setRows(store_.noteworthy(), curve);
    screenKeepers_->setRows(store_.screenKeepers(), curve);
    const std::vector<LiveRow> other = store_.otherLive();
    housekeeping_->setRows(other, curve);
    housekeeping_->setVisible(!other.empty());
}

void RightNowPage::ask(const LiveRow& row) {
    confirm_ = row;
    confirmation_ =
        confirmQuit(this, qs(row.identity.name), quitMessage(row), [this, row] { quitConfirmed(row); });
    connect(confirmation_, &QDialog::finished, this, [this] { confirm_.reset(); });
}

// The box may have waited through live reads: the holder may have let go, and its pid may now be another
// process's. Only the very process the user saw is asked to quit.
void RightNowPage::quitConfirmed(const LiveRow& row) {
    const std::vector<LiveRow>& live = store_.live();
    const auto now =
        std::find_if(live.begin(), live.end(), [&](const LiveRow& r) { return sameHolder(r, row); });
    if (now == live.end()) {
        store_.toast().show(qs(row.identity.name) + QStringLiteral(" has already quit"), ToastSymbols::done);
        return;
    }
    store_.quit(LiveRow(*now));
}

} // namespace dormio

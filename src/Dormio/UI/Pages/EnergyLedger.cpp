#include "Dormio/UI/Pages/EnergyLedger.h"

#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QBoxLayout>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace dormio {

namespace {

constexpr qreal barFrame = 64;
constexpr qreal leastBar = 2;

// A share's bar, trailing-aligned in its frame.
class ShareBar : public QWidget {
public:
    explicit ShareBar(qreal width) : width_(width) { setFixedSize(int(barFrame), 2); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRectF(barFrame - width_, 0, width_, 2), QColor(Theme::ink3));
    }

private:
    qreal width_;
};

QWidget* row(const EnergyShare& share, double largest) {
    auto* box = new QWidget;
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 8, 0, 8);
    line->setSpacing(8);
    line->addWidget(new HolderGlyph(share.path, share.name, 14), 0, Qt::AlignVCenter);
    auto* name = new Label(text(share.name), Theme::Typo::body(), Theme::ink);
    name->setElide(Qt::ElideRight);
    line->addWidget(name, 1, Qt::AlignVCenter);
    line->addSpacing(6 - line->spacing());
    line->addWidget(new ShareBar(energyBarWidth(share.share, largest)), 0, Qt::AlignVCenter);
    static const Font figure = Theme::systemFont(11.5, QFont::Medium, true);
    auto* label = new Label(text(share.label()), figure, Theme::ink);
    label->setAlignment(Qt::AlignTrailing);
    label->setFixedWidth(62);
    line->addWidget(label, 0, Qt::AlignVCenter);
    return box;
}

} // namespace

qreal energyBarWidth(double share, double largest) {
    const double width = share * barFrame / largest;
    if (!std::isfinite(width)) return leastBar;
    return std::clamp<qreal>(width, leastBar, barFrame);
}

EnergyLedger::EnergyLedger(Store& store, Night night, QWidget* parent)
    : Panel(QStringLiteral("Energy by app"), QStringLiteral("estimate"), Theme::Space::l, nullptr, parent),
      store_(store), night_(std::move(night)) {
    // Queued: a change can come from this panel's own button, which a rebuild deletes.
    connect(
        &store_, &Store::loginItemEnabledChanged, this, [this] { rebuild(); }, Qt::QueuedConnection);
    connect(
        &store_.energy(), &EnergyRecorder::sampleApplied, this, [this] { rebuild(); }, Qt::QueuedConnection);
    connect(
        &store_.energy(), &EnergyRecorder::cleared, this, [this] { rebuild(); }, Qt::QueuedConnection);
    // The sample data may bring its shares after the nights that built this panel.
    connect(
        &store_.demoState(), &DemoState::demoEnergyChanged, this, [this] { rebuild(); },
        Qt::QueuedConnection);
    rebuild();
}

void EnergyLedger::setNight(const Night& night) {
    night_ = night;
    rebuild();
}

void EnergyLedger::rebuild() {
    shown_ = store_.energyShares(night_);
    if (shown_.size() > shownApps) shown_.resize(shownApps);
    setContent(shown_.empty() ? notSampled() : rows());
}

QWidget* EnergyLedger::rows() const {
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    const double largest = shown_.front().share;
    for (const EnergyShare& share : shown_) {
        stack->addWidget(row(share, largest));
        stack->addWidget(FilledBar::hairline());
    }
    const QString footnote =
        night_.lost()
            ? QStringLiteral("Battery used, split by each app\u2019s share of the energy Dormio measured. "
                             "macOS\u2019s own processes aren\u2019t visible without admin rights.")
            : QStringLiteral("Share of the energy Dormio measured for apps running as you.");
    auto* note = new Label(footnote, Theme::Typo::small(), Theme::ink3);
    note->setWrapping(QWIDGETSIZE_MAX);
    // The rows and the footnote stand apart as two children of the panel's own stack would.
    stack->addSpacing(int(Theme::Space::m));
    stack->addWidget(note);
    return content;
}

QWidget* EnergyLedger::notSampled() {
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(int(Theme::Space::s));
    // The card is 320 points wide beside the logbook: its sentences wrap there rather than being cut.
    auto* what = new Label(QStringLiteral("Dormio wasn\u2019t sampling during this night."),
                           Theme::Typo::bodyStrong(), Theme::ink);
    what->setWrapping(QWIDGETSIZE_MAX);
    stack->addWidget(what);
    auto* why = new Label(
        QStringLiteral("Per-app energy is only measured while Dormio runs. Keep it open "
                       "overnight \u2014 or let it open at login \u2014 and this fills in tomorrow."),
        Theme::Typo::small(), Theme::ink2);
    why->setWrapping(QWIDGETSIZE_MAX);
    stack->addWidget(why);
    if (!store_.loginItemEnabled()) {
        auto* open = new Button(QuietButtonStyle{Theme::ink, false}, QStringLiteral("Open at Login"));
        open->setObjectName(QStringLiteral("openAtLogin"));
        connect(open, &QAbstractButton::clicked, this, [this] {
            store_.setLoginItem(true);
            if (store_.loginItemEnabled())
                store_.toast().show(QStringLiteral("Dormio will open at login"), ToastSymbols::opensAtLogin);
        });
        stack->addSpacing(2);
        stack->addWidget(open, 0, Qt::AlignLeading);
    }
    return content;
}

} // namespace dormio

#include "Dormio/UI/Pages/NightBody.h"

#include "Dormio/Core/DormioDemo.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/HypnogramView.h"
#include "Dormio/UI/Charts/PlotFrameKey.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Pages/EnergyLedger.h"
#include "Dormio/UI/Pages/KeptAwakeLedger.h"
#include "Dormio/UI/Pages/MomentsLog.h"
#include "Dormio/UI/Pages/NightSummaryBlock.h"
#include "Dormio/UI/Pages/StateLegend.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QBoxLayout>

namespace dormio {

namespace {

// A hidden widget's new size reaches the layouts above it only once it shows, one turn of the event loop
// per level, and a layout nested in another keeps the sizes it measured until it is told: every layout of
// a body told another night measures afresh, as in a body built anew.
void forgetSizes(QLayoutItem* item) {
    item->invalidate();
    if (QLayout* nested = item->layout())
        for (int i = 0; i < nested->count(); ++i)
            forgetSizes(nested->itemAt(i));
}

} // namespace

NightBody::NightBody(Store& store, const Night& night, bool wide, QWidget* parent)
    : QWidget(parent), night_(night), stack_(new QVBoxLayout(this)), lower_(new QHBoxLayout),
      summary_(new NightSummaryBlock(night)), kept_(new KeptAwakeLedger(store, night)),
      moments_(new MomentsLog(night)), energy_(new EnergyLedger(store, night)) {
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->setSpacing(int(Theme::Space::xl));
    stack_->addWidget(summary_);
    stack_->addWidget(tracePanel(store));
    stack_->addWidget(kept_);
    lower_->setContentsMargins(0, 0, 0, 0);
    lower_->setSpacing(int(Theme::Space::l));
    lower_->setAlignment(Qt::AlignTop);
    stack_->addLayout(lower_);
    wide_ = !wide;
    setWide(wide);
}

QWidget* NightBody::tracePanel(Store& store) {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    // The trace and its legend stand apart as two children of the panel's own stack would.
    column->setSpacing(int(Theme::Space::m));
    hypnogram_ = new HypnogramView(HypnogramView::pageHeight);
    hypnogram_->setNight(night_);
    hypnogram_->setScrub(store.demoState().demoScrub());
    connect(&store.demoState(), &DemoState::demoScrubChanged, hypnogram_,
            [this, &store] { hypnogram_->setScrub(store.demoState().demoScrub()); });
    // The demo driver aims the pointer at the trace through the frame it last reported.
    connect(hypnogram_, &HypnogramView::plotFrameChanged, this, [](QRectF frame) {
        QRectF held = DormioDemo::shared().plotFrame();
        PlotFrameKey::reduce(held, frame);
        DormioDemo::shared().setPlotFrame(held);
    });
    column->addWidget(hypnogram_);
    legend_ = new StateLegend(night_);
    column->addWidget(legend_);
    tracePanel_ = new Panel(QStringLiteral("Hypnogram"), QStringLiteral("hover to scrub any minute"),
                            Theme::Space::l, content);
    demoAnchor(tracePanel_, QStringLiteral("hypnogram"));
    return tracePanel_;
}

void NightBody::setNight(const Night& night) {
    night_ = night;
    summary_->setNight(night_);
    hypnogram_->setNight(night_);
    replace(legend_, legend_->parentWidget()->layout());
    kept_->setNight(night_);
    moments_->setNight(night_);
    energy_->setNight(night_);
    forgetSizes(layout());
    for (QWidget* part : findChildren<QWidget*>()) {
        if (part->layout()) forgetSizes(part->layout());
        part->updateGeometry();
    }
}

template <typename Block> void NightBody::replace(Block*& block, QLayout* layout) {
    auto* next = new Block(night_);
    delete layout->replaceWidget(block, next);
    delete block;
    block = next;
    next->show();
}

void NightBody::setWide(bool wide) {
    if (wide == wide_) return;
    wide_ = wide;
    stack_->removeWidget(moments_);
    stack_->removeWidget(energy_);
    lower_->removeWidget(moments_);
    lower_->removeWidget(energy_);
    if (wide) {
        energy_->setFixedWidth(int(energyWidth));
        lower_->addWidget(moments_, 1, Qt::AlignTop);
        lower_->addWidget(energy_, 0, Qt::AlignTop);
    } else {
        energy_->setMinimumWidth(0);
        energy_->setMaximumWidth(QWIDGETSIZE_MAX);
        stack_->addWidget(moments_);
        stack_->addWidget(energy_);
    }
}

} // namespace dormio

#include "Dormio/UI/Shell/SidebarFooter.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/StatusDot.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace dormio {

namespace {

constexpr int dotSpacing = 7;

Font samplingFont() {
    return Theme::systemFont(10, QFont::Medium, true).withTracking(0.6);
}

} // namespace

SidebarFooter::SidebarFooter(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), dot_(new StatusDot(Theme::indigo, false)),
      sampling_(new Label({}, samplingFont(), Theme::ink2)),
      login_(new Label({}, Theme::Typo::small(), Theme::ink3)) {
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(dotSpacing);
    line->addWidget(dot_, 0, Qt::AlignVCenter);
    line->addWidget(sampling_, 1, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(line);
    // Under the sampling word, past the dot and its spacing.
    auto* indented = new QHBoxLayout;
    indented->setContentsMargins(int(StatusDot::diameter) + dotSpacing, 0, 0, 0);
    indented->addWidget(login_);
    layout->addLayout(indented);

    for (auto changed :
         {&Store::trackEnergyChanged, &Store::sampleMinutesChanged, &Store::loginItemEnabledChanged})
        connect(&store_, changed, this, &SidebarFooter::showStore);
    connect(&store_.demoState(), &DemoState::demoChanged, this, &SidebarFooter::showStore);
    showStore();
}

void SidebarFooter::showStore() {
    const bool sampling = store_.trackEnergy();
    const QString minutes = QString::number(store_.sampleMinutes());
    dot_->setColor(sampling ? Theme::indigo : Theme::ink3);
    // Sample data samples nothing, so its dot stays still.
    dot_->setLive(sampling && !store_.demoState().demo());
    sampling_->setText(sampling ? QStringLiteral("SAMPLING · ") + minutes + QStringLiteral(" MIN")
                                : QStringLiteral("SAMPLING OFF"));
    login_->setText(store_.loginItemEnabled() ? QStringLiteral("Opens at login")
                                              : QStringLiteral("Measures only while open"));
    setToolTip(sampling
                   ? QStringLiteral("Per-app energy is sampled every ") + minutes + QStringLiteral(" minutes")
                   : QStringLiteral("Turn on energy sampling in Settings"));
}

} // namespace dormio

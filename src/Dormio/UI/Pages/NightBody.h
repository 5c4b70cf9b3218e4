#pragma once

// Everything the night page tells about one night, under its header: the summary, the trace with its
// legend, who kept the Mac awake, the logbook and the energy by app. Wide, the logbook and the energy
// ledger stand side by side; narrow, one under the other.

#include "DormioKit/Night.h"

#include <QWidget>

class QBoxLayout;

namespace dormio {

class EnergyLedger;
class HypnogramView;
class KeptAwakeLedger;
class MomentsLog;
class NightSummaryBlock;
class Panel;
class StateLegend;
class Store;

class NightBody : public QWidget {
public:
    static constexpr qreal energyWidth = 320;

    NightBody(Store& store, const Night& night, bool wide, QWidget* parent = nullptr);

    const Night& night() const { return night_; }
    bool wide() const { return wide_; }
    // Shows another night in the same blocks, as a body built for it would.
    void setNight(const Night& night);
    // Moves the logbook and the energy ledger between the two arrangements; nothing is rebuilt.
    void setWide(bool wide);

    Panel* trace() const { return tracePanel_; }
    HypnogramView* hypnogram() const { return hypnogram_; }
    KeptAwakeLedger* kept() const { return kept_; }
    MomentsLog* moments() const { return moments_; }
    EnergyLedger* energy() const { return energy_; }

private:
    QWidget* tracePanel(Store& store);
    // Puts a block built for the night in the place of the one before it, which goes.
    template <typename Block> void replace(Block*& block, QLayout* layout);

    Night night_;
    bool wide_ = true;
    QBoxLayout* stack_;
    QBoxLayout* lower_;
    Panel* tracePanel_ = nullptr;
    NightSummaryBlock* summary_;
    HypnogramView* hypnogram_ = nullptr;
    StateLegend* legend_ = nullptr;
    KeptAwakeLedger* kept_;
    MomentsLog* moments_;
    EnergyLedger* energy_;
};

} // namespace dormio

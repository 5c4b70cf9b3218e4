#pragma once

// The "Energy by app" panel of the night page: the six apps that used most of the energy measured during
// the night, each with a bar scaled to the largest, or, for a night that was not sampled, why not and how
// to have it next time.

#include "Dormio/UI/Kit/Panel.h"
#include "DormioKit/Energy.h"
#include "DormioKit/Night.h"

#include <vector>

namespace dormio {

class Store;

// The width of a share's bar in points: the largest share's is 64, none is under 2.
qreal energyBarWidth(double share, double largest);

class EnergyLedger : public Panel {
public:
    static constexpr size_t shownApps = 6;

    EnergyLedger(Store& store, Night night, QWidget* parent = nullptr);

    const std::vector<EnergyShare>& shown() const { return shown_; }
    void setNight(const Night& night);

private:
    // Asks the store afresh; the store's shares and its login item can change while the page is open.
    void rebuild();
    QWidget* rows() const;
    QWidget* notSampled();

    Store& store_;
    Night night_;
    std::vector<EnergyShare> shown_;
    QWidget* content_ = nullptr;
};

} // namespace dormio

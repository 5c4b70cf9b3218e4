#pragma once

// What the sample data and the developer modes set on the store, apart from the user's data: demo mode
// (the store shows sample data and reads nothing, and the texts that name a source name the Mac's, whose
// records the samples are), the sample nights' energy shares, and the views'
// positions that the snapshot and demo modes force (a scroll target, the history page's span, the scrub
// position on the night trace, the hovered night). The pages read them.

#include "DormioKit/Date.h"
#include "DormioKit/Energy.h"

#include <QObject>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

// Energy shares of the sample nights, by night id.
using DemoEnergy = std::map<std::string, std::vector<EnergyShare>>;

class DemoState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool demo READ demo WRITE setDemo NOTIFY demoChanged)
    Q_PROPERTY(std::optional<std::string> snapshotScroll READ snapshotScroll WRITE setSnapshotScroll NOTIFY
                   snapshotScrollChanged)
    Q_PROPERTY(std::optional<int> demoHistorySpan READ demoHistorySpan WRITE setDemoHistorySpan NOTIFY
                   demoHistorySpanChanged)
    Q_PROPERTY(
        std::optional<dormio::Date> demoScrub READ demoScrub WRITE setDemoScrub NOTIFY demoScrubChanged)
    Q_PROPERTY(std::optional<std::string> demoHoverNight READ demoHoverNight WRITE setDemoHoverNight NOTIFY
                   demoHoverNightChanged)
    Q_PROPERTY(dormio::DemoEnergy demoEnergy READ demoEnergy WRITE setDemoEnergy NOTIFY demoEnergyChanged)

public:
    using QObject::QObject;
    ~DemoState() override;

    bool demo() const { return demo_; }
    void setDemo(bool demo);
    const std::optional<std::string>& snapshotScroll() const { return snapshotScroll_; }
    // `seconds` is how long the night page takes to get there, eased in and out; 0 jumps.
    void setSnapshotScroll(std::optional<std::string> target, double seconds = 0);
    double snapshotScrollSeconds() const { return snapshotScrollSeconds_; }
    std::optional<int> demoHistorySpan() const { return demoHistorySpan_; }
    void setDemoHistorySpan(std::optional<int> span);
    std::optional<Date> demoScrub() const { return demoScrub_; }
    void setDemoScrub(std::optional<Date> scrub);
    const std::optional<std::string>& demoHoverNight() const { return demoHoverNight_; }
    void setDemoHoverNight(std::optional<std::string> id);
    const DemoEnergy& demoEnergy() const { return demoEnergy_; }
    void setDemoEnergy(DemoEnergy energy);

signals:
    void demoChanged();
    void snapshotScrollChanged();
    void demoHistorySpanChanged();
    void demoScrubChanged();
    void demoHoverNightChanged();
    void demoEnergyChanged();

private:
    bool demo_ = false;
    std::optional<std::string> snapshotScroll_;
    double snapshotScrollSeconds_ = 0;
    std::optional<int> demoHistorySpan_;
    std::optional<Date> demoScrub_;
    std::optional<std::string> demoHoverNight_;
    DemoEnergy demoEnergy_;
};

} // namespace dormio

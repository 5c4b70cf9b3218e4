#pragma once

// The key under the night's trace: for each power state a swatch, its name and the time the Mac spent in
// it, and for a Mac with a battery the battery line's key with the charge at the start and at the end.

#include "DormioKit/Night.h"

#include <QWidget>

class QHBoxLayout;

namespace dormio {

class StateLegend : public QWidget {
public:
    // Where the legend starts: under the plot, past the trace's left margin.
    static constexpr int indent = 96;

    explicit StateLegend(const Night& night, QWidget* parent = nullptr);

    // Whether the battery key stands on a line of its own, the panel being too narrow for one line.
    bool batteryBelow() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QHBoxLayout* states_;
    QHBoxLayout* below_;
    QWidget* battery_ = nullptr;
};

} // namespace dormio

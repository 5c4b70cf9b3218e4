#pragma once

// What the views and the scripted demo exchange while the demo records: the night trace's plot rectangle,
// which the demo aims the pointer at, and the request to open one moment's raw records.

#include <QObject>
#include <QRectF>
#include <QString>
#include <optional>

namespace dormio {

class DormioDemo : public QObject {
    Q_OBJECT

public:
    static DormioDemo& shared();

    // The night trace's plot rectangle in the window's coordinates; empty until a trace reports one.
    QRectF plotFrame() const { return plotFrame_; }
    void setPlotFrame(const QRectF& frame) { plotFrame_ = frame; }

    // Opens the raw records of the story item with that id and closes every other; none closes them all.
    void postShowInfo(const std::optional<QString>& itemID) { emit showInfo(itemID); }

    // The presence of these variables (any value, the empty one too) is all that counts.
    static bool recordingDemo() { return qEnvironmentVariableIsSet("DORMIO_DEMO_DIR"); }

signals:
    void showInfo(const std::optional<QString>& itemID);

private:
    QRectF plotFrame_;
};

} // namespace dormio

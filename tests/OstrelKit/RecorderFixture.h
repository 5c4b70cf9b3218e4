#pragma once

// A demo recording on a clock the test steps by hand, into a folder of the test's own, with windows of
// plain colours to record.

#include "OstrelKit/Capture/DemoRecorder.h"
#include "OstrelKit/KitClock.h"

#include <QColor>
#include <QFile>
#include <QJsonDocument>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace dormio::test {

// A frameless window, or a part of one, of one colour.
class Swatch : public QWidget {
public:
    Swatch(QColor colour, QRect geometry, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window)
        : QWidget(parent, parent ? Qt::WindowFlags(Qt::Widget) : flags | Qt::FramelessWindowHint),
          colour_(colour) {
        setGeometry(geometry);
    }

    void setColour(QColor colour) {
        colour_ = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

class RecorderTest : public ::testing::Test {
protected:
    QTemporaryDir home;
    KitClock clock{KitClock::Mode::step};
    std::vector<std::unique_ptr<QWidget>> windows;

    QString folder() const { return home.filePath("demo"); }
    QString file(const QString& name) const { return folder() + "/" + name; }

    std::unique_ptr<DemoRecorder> record(const QRectF& region, int fps = 30,
                                         const QList<QColor>& backdrop = {QColor(242, 242, 242),
                                                                          QColor(224, 224, 224)}) {
        return std::make_unique<DemoRecorder>(folder(), region, fps, backdrop, clock);
    }

    // A shown window of one colour at `geometry`, in Qt's global coordinates.
    QWidget& show(QRect geometry, QColor colour = QColor(200, 40, 40), Qt::WindowFlags flags = Qt::Window) {
        windows.push_back(std::make_unique<Swatch>(colour, geometry, nullptr, flags));
        windows.back()->show();
        return *windows.back();
    }

    QJsonDocument json(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(in.readAll()) : QJsonDocument();
    }
};

} // namespace dormio::test

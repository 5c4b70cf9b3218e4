#pragma once

// An on/off switch: a pill whose knob slides to the trailing end when on. A click announces itself with
// `clicked`; a caller whose setting is decided elsewhere sets the state it learns back with setChecked.

#include "Dormio/UI/Kit/Motion.h"

#include <QAbstractButton>

namespace dormio {

class Switch : public QAbstractButton {
public:
    static constexpr QSize fixedSize{32, 18};

    // `name` is read by assistive technologies; the switch shows no text.
    explicit Switch(const QString& name, QWidget* parent = nullptr);

    qreal knobProgress() const { return knob_.value(); } // 0 off, 1 on

    QSize sizeHint() const override { return fixedSize; }
    QSize minimumSizeHint() const override { return fixedSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    Motion::Value knob_;
};

} // namespace dormio

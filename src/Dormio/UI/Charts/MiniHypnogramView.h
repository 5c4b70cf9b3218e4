#pragma once

// The mini trace as a widget: the menu bar extra and the welcome tour show it.

#include "DormioKit/Night.h"

#include <QWidget>

namespace dormio {

class MiniHypnogramView : public QWidget {
public:
    explicit MiniHypnogramView(bool ticks, QWidget* parent = nullptr);

    void setNight(const Night& night);
    QSize sizeHint() const override { return {220, 30}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Night night_;
    bool ticks_;
};

} // namespace dormio

#pragma once

// One row of the History page's actogram as a widget. The actogram gives every row the same span and
// says which row is highlighted.

#include "DormioKit/Night.h"

#include <QWidget>

namespace dormio {

class ActogramRowView : public QWidget {
public:
    explicit ActogramRowView(QWidget* parent = nullptr);

    void setNight(const Night& night);
    void setSpan(double seconds);
    void setHighlighted(bool highlighted);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Night night_;
    double span_ = 0;
    bool highlighted_ = false;
};

} // namespace dormio

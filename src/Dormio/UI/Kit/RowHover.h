#pragma once

// A faint rounded highlight behind a row's content while the pointer is over it, exactly the row's own
// frame. Attached to any widget; it lives as long as the row.

#include "Dormio/UI/Kit/Motion.h"

#include <QObject>

class QWidget;

namespace dormio {

class RowHover : public QObject {
public:
    static RowHover* attach(QWidget* row);

    bool hovering() const { return highlight_.target() == 1; }
    qreal highlight() const { return highlight_.value(); } // 0 to 1 as the wash eases in

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit RowHover(QWidget* row);
    QWidget* row_;
    Motion::Value highlight_;
};

} // namespace dormio

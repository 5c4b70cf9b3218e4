#pragma once

// The moving parts of the welcome tour: the bar that fills a quarter per step, and the page area whose
// pages slide in from the side the user moves toward. Both move with the page-change spring, or a short
// ease while Reduce Motion is on, when the pages only cross-fade.

#include "Dormio/UI/Kit/Motion.h"

#include <QPointer>
#include <QWidget>

namespace dormio {

class TourProgress : public QWidget {
public:
    explicit TourProgress(QWidget* parent = nullptr);

    // The share of the track to fill, 0 to 1; it grows or shrinks there.
    void setFraction(qreal fraction);
    qreal fraction() const { return fill_.target(); }
    qreal shownFraction() const { return fill_.value(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Motion::Value fill_;
};

class TourPages : public QWidget {
public:
    explicit TourPages(QWidget* parent = nullptr);

    // Puts `page` in place of the shown one: at once the first time, else moving in from the trailing
    // edge when `forward`, from the leading edge otherwise, while the old page leaves the other way.
    void present(QWidget* page, bool forward);
    QWidget* current() const { return current_; }
    // The page on its way out, while a change runs.
    QWidget* leaving() const { return leaving_; }
    // How opaque a page is drawn, 0 to 1.
    static qreal opacity(const QWidget* page);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(qreal progress);

    QPointer<QWidget> current_;
    QPointer<QWidget> leaving_;
    int direction_ = 1; // 1: the new page comes from the trailing edge
    Motion::Value change_;
};

} // namespace dormio

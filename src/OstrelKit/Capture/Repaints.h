#pragma once

// What the application's widgets have drawn anew since it was last asked, in Qt's global coordinates, so
// that a recording redraws only that. Qt says so itself: a widget's paint event carries the area it
// repaints. A widget that moves or changes size inside its window is copied on screen without a paint
// event, so the places it left and took count too. A window's own move, or a window shown or hidden, is
// for the caller to see: it changes which window covers what.

#include <QObject>
#include <QRegion>

class QWidget;

namespace dormio {

class Repaints : public QObject {
public:
    // Listens to every widget of the application for as long as it lives.
    Repaints();
    ~Repaints() override;

    // Paints now what the windows have been asked to repaint but have not yet, so that a change made just
    // before a frame is in that frame, as it would be on screen; and counts every part drawn through a
    // graphics effect as repainted, since Qt redraws such a part from a picture of it kept by the effect
    // (a fade, say) without a paint event.
    void paintPending(const QList<QWidget*>& windows);
    // The area repainted since the last call; forgets it.
    QRegion take();

    // Paint events while this lives are the caller's own drawing of the windows, not news of a change; a
    // part that moves meanwhile still counts, as the drawing may have missed it.
    class Quiet {
    public:
        explicit Quiet(Repaints& repaints) : repaints_(repaints) { ++repaints_.quiet_; }
        ~Quiet() { --repaints_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        Repaints& repaints_;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRegion area_;
    int quiet_ = 0;
};

} // namespace dormio

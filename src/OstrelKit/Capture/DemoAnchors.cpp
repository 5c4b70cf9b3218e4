#include "OstrelKit/Capture/DemoAnchors.h"

#include <QEvent>

namespace dormio {

namespace {

QRectF onScreen(const QWidget& view) {
    return {view.mapToGlobal(QPointF(0, 0)), QSizeF(view.size())};
}

// Lives as a child of the marked view, so it goes with it, and reports the view's comings and goings.
class AnchorReporter : public QObject {
public:
    explicit AnchorReporter(QWidget* view) : QObject(view), view_(view) { view->installEventFilter(this); }

    void rename(const QString& name) {
        if (!name_.isEmpty()) DemoAnchors::shared().release(name_, view_);
        name_ = name;
        if (view_->isVisible()) report();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ParentChange:
            if (view_->isVisible()) report();
            break;
        case QEvent::Hide:
            // The place it had on screen, as the window closes or the view goes away.
            if (reported_) DemoAnchors::shared().release(name_, view_);
            break;
        default:
            break;
        }
        return false;
    }

private:
    void report() {
        DemoAnchors::shared().report(name_, view_);
        reported_ = true;
    }

    QWidget* view_;
    QString name_;
    bool reported_ = false;
};

} // namespace

DemoAnchors& DemoAnchors::shared() {
    static DemoAnchors anchors;
    return anchors;
}

std::optional<QRectF> DemoAnchors::frame(const QString& name) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return std::nullopt;
    if (found->view && found->view->isVisible()) found->frame = onScreen(*found->view);
    return found->frame;
}

void DemoAnchors::report(const QString& name, QWidget* view) {
    entries_.insert(name, {onScreen(*view), view});
}

void DemoAnchors::release(const QString& name, const QWidget* view) {
    const auto found = entries_.find(name);
    if (found == entries_.end() || found->view != view) return;
    found->frame = onScreen(*view);
    found->view = nullptr;
}

void demoAnchor(QWidget* view, const QString& name) {
    AnchorReporter* reporter = nullptr;
    for (QObject* child : view->children())
        if ((reporter = dynamic_cast<AnchorReporter*>(child))) break;
    if (!reporter) reporter = new AnchorReporter(view);
    reporter->rename(name);
}

} // namespace dormio

#include "Dormio/UI/Kit/DemoAnchors.h"

namespace dormio {

DemoAnchors& DemoAnchors::shared() {
    static DemoAnchors anchors;
    return anchors;
}

void DemoAnchors::add(const QString& name, QWidget* view) {
    views_.insert(name, view);
}

std::optional<QRect> DemoAnchors::frame(const QString& name) const {
    const QPointer<QWidget> view = views_.value(name);
    if (!view || !view->isVisible()) return std::nullopt;
    return QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
}

QStringList DemoAnchors::names() const {
    QStringList names;
    for (auto it = views_.cbegin(); it != views_.cend(); ++it)
        if (it.value()) names << it.key();
    names.sort();
    return names;
}

} // namespace dormio

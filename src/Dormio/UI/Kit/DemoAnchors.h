#pragma once

// Named places on the screen where the scripted demo and its recorder move the pointer and click. A view
// registers itself under a name and changes nothing the user sees; its frame is taken when asked, so it is
// where the view is now, after any layout or scroll since.

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>

namespace dormio {

class DemoAnchors {
public:
    static DemoAnchors& shared();

    // A later view under the same name takes the name over.
    void add(const QString& name, QWidget* view);
    // The view's frame in screen coordinates; none while no view of that name is on screen.
    std::optional<QRect> frame(const QString& name) const;
    QStringList names() const;

private:
    QHash<QString, QPointer<QWidget>> views_;
};

// Registers `view` under `name` in the shared table.
inline void demoAnchor(QWidget* view, const QString& name) {
    DemoAnchors::shared().add(name, view);
}

} // namespace dormio

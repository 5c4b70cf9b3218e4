#pragma once

// Named places on the screen where a scripted demo moves its recorded pointer and clicks. A view marked
// with `demoAnchor(view, name)` reports under that name when it is shown, moved into a window, laid out or
// renamed; from then on the name gives the view's rectangle in Qt's global coordinates, where the view is
// at the moment of asking, and once the view is hidden or gone, the last rectangle it had on screen. A name
// no view ever reported from the screen has none. Marking a view changes nothing the user sees.

#include <QHash>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>

namespace dormio {

class DemoAnchors {
public:
    static DemoAnchors& shared();

    std::optional<QRectF> frame(const QString& name) const;
    // Takes the view's rectangle now and follows the view under that name; the last view to report a name
    // has it.
    void report(const QString& name, QWidget* view);
    // The name stops following the view and keeps its rectangle as it is now.
    void release(const QString& name, const QWidget* view);

private:
    struct Entry {
        QRectF frame;
        QPointer<QWidget> view;
    };
    mutable QHash<QString, Entry> entries_;
};

// Marks `view` with `name`, or renames a marked view; a view on screen reports at once.
void demoAnchor(QWidget* view, const QString& name);

} // namespace dormio

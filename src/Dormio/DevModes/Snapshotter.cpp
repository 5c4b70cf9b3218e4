#include "Dormio/DevModes/Snapshotter.h"

#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

namespace dormio::Snapshotter {

namespace {

// Every picture is drawn at this ratio, whatever the screen says.
constexpr qreal pictureRatio = 2;

// A view that asks for work on every turn would keep the run from settling; this many turns end it.
constexpr int settleTurns = 1000;

// Counts every event the application delivers while it lives.
class Deliveries : public QObject {
public:
    Deliveries() { qApp->installEventFilter(this); }
    ~Deliveries() override { qApp->removeEventFilter(this); }
    int take() { return std::exchange(count_, 0); }

protected:
    bool eventFilter(QObject*, QEvent*) override {
        ++count_;
        return false;
    }

private:
    int count_ = 0;
};

// A picture shows no pointer. A headless platform keeps its pointer at a fixed point, and a window shown
// or hidden over it tells the widget beneath that the pointer entered, and never that it left (a render
// window vanishing over the sidebar would leave a row hovered); a real pointer may rest anywhere. So every
// widget that holds the pointer is told it left, the innermost first, as the toolkit tells it.
void sendPointerAway() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        std::for_each(widgets.rbegin(), widgets.rend(), [](QWidget* widget) {
            if (!widget->underMouse()) return;
            widget->setAttribute(Qt::WA_UnderMouse, false);
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(widget, &leave);
        });
    }
}

// Draws `widget` on `ground` into an image of its logical size times the ratio and writes it as PNG.
void writePicture(QWidget& widget, const QString& path, const QColor& ground, QWidget::RenderFlags flags) {
    sendPointerAway();
    settle();
    QImage image(widget.size() * pictureRatio, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return;
    image.setDevicePixelRatio(pictureRatio);
    image.fill(ground);
    widget.render(&image, QPoint(), QRegion(), flags);
    image.save(path, "PNG");
}

} // namespace

QMainWindow* mainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<QMainWindow*>(widget)) return window;
    return nullptr;
}

bool wanted(const QString& name) {
    const QString only = qEnvironmentVariable("DORMIO_SNAPSHOT_ONLY");
    if (only.isEmpty()) return true;
    const QStringList pieces = only.split(',', Qt::SkipEmptyParts);
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const QString& piece) { return name.contains(piece, Qt::CaseSensitive); });
}

void settle() {
    Deliveries delivered;
    for (int turn = 0; turn < settleTurns; ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (delivered.take() == 0) return;
    }
}

void pause(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(qRound64(seconds * 1000)), &loop, &QEventLoop::quit);
    loop.exec();
}

void centre(QWidget& window) {
    if (QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

void captureWindow(const QString& name, const QDir& out, const QString& suffix) {
    QMainWindow* window = mainWindow();
    if (!window) return;
    writePicture(*window, out.filePath(name + "-" + suffix + ".png"), Theme::paper,
                 QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void render(QWidget* view, const QString& file) {
    std::unique_ptr<QWidget> owned(view);
    if (!wanted(QFileInfo(file).fileName())) return;
    view->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->ensurePolished();
    view->resize(view->sizeHint());
    centre(*view);
    view->show();
    settle();
    // The view alone on the paper colour: its own ground, where it paints one, covers the paper.
    writePicture(*view, file, Theme::paper, QWidget::DrawChildren);
    view->hide();
}

} // namespace dormio::Snapshotter

#include "Dormio/DevModes/Snapshotter.h"

#include "Dormio/UI/Kit/Theme.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace dormio::Snapshotter {

namespace {

// Every picture is drawn at this ratio, whatever the screen says.
constexpr qreal pictureRatio = 2;

// Draws `widget` on `ground` into an image of its logical size times the ratio and writes it as PNG.
void writePicture(QWidget& widget, const QString& path, const QColor& ground,
                  QWidget::RenderFlags flags) {
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

void pause(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(qRound64(seconds * 1000)), &loop, &QEventLoop::quit);
    loop.exec();
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
    view->show();
    pause(1.2);
    // The view alone on the paper colour: its own ground, where it paints one, covers the paper.
    writePicture(*view, file, Theme::paper, QWidget::DrawChildren);
    view->hide();
}

} // namespace dormio::Snapshotter

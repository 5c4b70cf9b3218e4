#include "OstrelKit/Windows/WindowHost.h"

#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace dormio::WindowHost {

namespace {

// A utility window: follows its content's height at a fixed width, and moves when dragged by a part of
// the background that no control takes.
class UtilityWindow : public QWidget {
public:
    UtilityWindow(const QString& title, int width, QWidget* content) : width_(width), content_(content) {
        setWindowTitle(title);
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        content->installEventFilter(this);
        fitToContent();
    }

    void fitToContent() {
        const int height =
            content_->hasHeightForWidth() ? content_->heightForWidth(width_) : content_->sizeHint().height();
        setFixedSize(width_, std::max(height, 1));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == content_ && event->type() == QEvent::LayoutRequest) fitToContent();
        return QWidget::eventFilter(watched, event);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
    }

private:
    int width_;
    QWidget* content_;
};

QHash<QString, QPointer<QWidget>>& windows() {
    static QHash<QString, QPointer<QWidget>> table;
    static const bool cleanedAtExit = [] {
        // Windows outlive no application: they go with it, never after it.
        qAddPostRoutine([] { qDeleteAll(table); });
        return true;
    }();
    (void)cleanedAtExit;
    return table;
}

void bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void show(const QString& id, const QString& title, QSize size, const std::function<QWidget*()>& content) {
    QPointer<QWidget>& entry = windows()[id];
    if (entry && entry->isVisible()) return bringForward(entry);

    auto* window = new UtilityWindow(title, size.width(), content());
    delete entry;
    entry = window;
    bringForward(window);
    // Centred with its frame, which exists only once the window is shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QWidget* window(const QString& id) {
    return windows().value(id);
}

} // namespace dormio::WindowHost

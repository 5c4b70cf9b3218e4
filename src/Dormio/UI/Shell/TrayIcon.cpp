#include "Dormio/UI/Shell/TrayIcon.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Shell/MenuBarView.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

namespace dormio {

namespace {

constexpr int iconPixels = 22;

} // namespace

TrayIcon::TrayIcon(Store& store, QObject* parent)
    : QObject(parent), store_(store), icon_(new QSystemTrayIcon(this)),
      popup_(new QWidget(nullptr, Qt::Popup)), content_(new MenuBarView(store, popup_)), menu_(new QMenu) {
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(content_);
    icon_->setToolTip("Dormio");

    connect(content_, &MenuBarView::openMainWindow, this, [this] {
        popup_->hide();
        emit openMainWindow();
    });
    connect(content_, &MenuBarView::quitApplication, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    // A click opens the popup; the context click, the panel's small menu.
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger) return;
        const QRect at = icon_->geometry();
        togglePopup(at.isValid() ? at.center() : QCursor::pos());
    });
    connect(menu_->addAction(QStringLiteral("Open Dormio")), &QAction::triggered, this,
            &TrayIcon::openMainWindow);
    connect(menu_->addAction(QStringLiteral("Refresh")), &QAction::triggered, this,
            [this] { store_.refresh(true); });
    menu_->addSeparator();
    connect(menu_->addAction(QStringLiteral("Quit")), &QAction::triggered, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    icon_->setContextMenu(menu_);
    connect(&store_, &Store::showMenuBarChanged, this, &TrayIcon::followSetting);
    connect(&store_, &Store::liveChanged, this, &TrayIcon::followHolders);
    followHolders();
    followSetting();
}

TrayIcon::~TrayIcon() {
    delete popup_;
    delete menu_;
}

QString TrayIcon::symbolName(bool someoneHolds) {
    return someoneHolds ? "moon.haze" : "moon.zzz";
}

bool TrayIcon::isShown() const {
    return icon_->isVisible();
}

void TrayIcon::followSetting() {
    icon_->setVisible(store_.showMenuBar() && QSystemTrayIcon::isSystemTrayAvailable());
    if (!icon_->isVisible()) popup_->hide();
}

void TrayIcon::followHolders() {
    const QString symbol = symbolName(!store_.noteworthy().empty());
    if (symbol == symbol_) return;
    symbol_ = symbol;
    drawIcon();
}

// The panel may be light or dark whatever the app's appearance, and tells us neither: a white moon with a
// dark rim reads on both. Desktops that recolour mask icons to their panel's ink take it as one.
QIcon TrayIcon::moon(const QString& symbol) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(iconPixels * scale, iconPixels * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath shape =
            Symbols::outline(QRectF(1, 1, iconPixels - 2, iconPixels - 2), symbol.toStdString());
        painter.strokePath(shape, QPen(QColor(0, 0, 0, 150), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(shape, Qt::white);
        painter.end();
        icon.addPixmap(pixmap);
    }
    icon.setIsMask(true);
    return icon;
}

void TrayIcon::drawIcon() {
    icon_->setIcon(moon(symbol_));
}

void TrayIcon::togglePopup(QPoint anchor) {
    if (popup_->isVisible()) {
        popup_->hide();
        return;
    }
    popup_->adjustSize();
    const QScreen* screen = QGuiApplication::screenAt(anchor);
    const QRect room = screen ? screen->availableGeometry() : QRect(anchor, popup_->size());
    // Below a tray at the top of the screen, above one at the bottom; always whole on screen.
    QPoint at(anchor.x() - popup_->width() / 2, anchor.y() + iconPixels / 2);
    if (at.y() + popup_->height() > room.bottom()) at.setY(anchor.y() - iconPixels / 2 - popup_->height());
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - popup_->width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - popup_->height())));
    popup_->move(at);
    popup_->show();
}

} // namespace dormio

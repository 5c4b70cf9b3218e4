#include "Dormio/UI/Shell/TrayIcon.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/MenuBarView.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPalette>
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
      popup_(new QWidget(nullptr, Qt::Popup)), content_(new MenuBarView(store, popup_)) {
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
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context) return;
        const QRect at = icon_->geometry();
        togglePopup(at.isValid() ? at.center() : QCursor::pos());
    });
    connect(&store_, &Store::showMenuBarChanged, this, &TrayIcon::followSetting);
    connect(&store_, &Store::liveChanged, this, &TrayIcon::followHolders);
    connect(ThemeEvents::instance(), &ThemeEvents::appearanceChanged, this, &TrayIcon::drawIcon);
    followHolders();
    followSetting();
}

TrayIcon::~TrayIcon() {
    delete popup_;
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

void TrayIcon::drawIcon() {
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    icon_->setIcon(Symbols::icon(symbol_.toStdString(), ink, iconPixels));
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

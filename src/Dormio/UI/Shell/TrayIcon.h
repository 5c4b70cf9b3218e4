#pragma once

// The menu bar extra: a tray icon whose moon changes while an app keeps the Mac awake, opening the
// menu bar view in a small popup window on a click and a small menu on a context click. It is present while
// "showMenuBar" is on and the desktop has a tray; without a tray nothing is shown and the setting is left as
// it is.

#include <QObject>
#include <QString>

class QIcon;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace dormio {

class MenuBarView;
class Store;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(Store& store, QObject* parent = nullptr);
    ~TrayIcon() override;

    // "moon.haze" while an app is holding the Mac awake, else "moon.zzz".
    static QString symbolName(bool someoneHolds);
    // The tray's picture of the symbol, readable on a light and on a dark panel.
    static QIcon moon(const QString& symbol);
    const QString& symbol() const { return symbol_; }
    bool isShown() const;
    QWidget* popup() const { return popup_; }
    QMenu* menu() const { return menu_; }
    MenuBarView* content() const { return content_; }

    // Opens the popup next to `anchor` (global coordinates), or closes it when it is open.
    void togglePopup(QPoint anchor);

signals:
    void openMainWindow();

private:
    void followSetting();
    void followHolders();
    void drawIcon();

    Store& store_;
    QSystemTrayIcon* icon_;
    QWidget* popup_;
    MenuBarView* content_;
    QMenu* menu_;
    QString symbol_;
};

} // namespace dormio

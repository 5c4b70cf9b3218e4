#pragma once

// The whole content of the main window: the sidebar beside the page the store names, the toolbar's
// refresh button over the page, the shared toast at the bottom edge, and the welcome tour as a sheet
// while the store asks for it.

#include "Dormio/UI/Shell/WelcomeView.h"

#include <QPointer>
#include <QWidget>

class QSplitter;

namespace dormio {

class PageHost;
class RefreshButton;
class Sidebar;
class Store;
class ToastOverlay;

class RootView : public QWidget {
    Q_OBJECT
public:
    explicit RootView(Store& store, QWidget* parent = nullptr);

    Sidebar* sidebar() const { return sidebar_; }
    PageHost* pageHost() const { return host_; }
    RefreshButton* refreshButton() const { return refresh_; }
    QSplitter* splitter() const { return splitter_; }
    ToastOverlay* toastOverlay() const { return overlay_; }
    WelcomeView* welcome() const { return welcome_; }
    // The page's title, for the window's title bar.
    QString title() const;

signals:
    void titleChanged(const QString& title);

private:
    void followWelcome();

    Store& store_;
    Sidebar* sidebar_;
    PageHost* host_;
    RefreshButton* refresh_;
    QSplitter* splitter_;
    ToastOverlay* overlay_;
    QPointer<WelcomeView> welcome_;
};

} // namespace dormio

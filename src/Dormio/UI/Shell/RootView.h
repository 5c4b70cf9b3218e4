#pragma once

// The main window's content. Until the pages are built it lists the store's nights, each with its title,
// figures line and summary sentence. It shows the welcome tour while the store asks for it and overlays
// the shared toast at the bottom.

#include "Dormio/UI/Shell/WelcomeView.h"

#include <QPointer>
#include <QWidget>

class QListWidget;
class QLabel;

namespace dormio {

class Store;
class Toast;
class ToastOverlay;

class RootView : public QWidget {
    Q_OBJECT
public:
    RootView(Store& store, Toast& toast, QWidget* parent = nullptr);

    QListWidget* nightList() const { return list_; }
    ToastOverlay* toastOverlay() const { return overlay_; }
    WelcomeView* welcome() const { return welcome_; }

private:
    void showNights();
    void showSelection();
    void followWelcome();

    Store& store_;
    QListWidget* list_;
    QLabel* status_;
    ToastOverlay* overlay_;
    QPointer<WelcomeView> welcome_;
};

} // namespace dormio

#pragma once

// The main window: the root view under the application's menus, titled by the page it shows (the
// platform adds the application's name). Closing it only hides it; the application keeps running with
// its menu bar extra and its timers. Hidden, it draws nothing and its animations rest.

#include <QMainWindow>

namespace dormio {

class DormioCommands;
class RootView;
class Store;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize minimumContentSize{1020, 680};

    explicit MainWindow(Store& store, QWidget* parent = nullptr);

    RootView* rootView() const { return root_; }
    DormioCommands* commands() const { return commands_; }

    // Shows the window (again), in front and focused.
    void bringForward();

private:
    RootView* root_;
    DormioCommands* commands_;
};

} // namespace dormio

#pragma once

// The first-run tour, shown as a sheet over the main window. Until the tour is built it is a short
// greeting with a Done button.

#include <QDialog>
#include <functional>

namespace dormio {

class WelcomeView : public QDialog {
    Q_OBJECT
public:
    // `finish` runs once when the user ends the tour.
    WelcomeView(std::function<void()> finish, QWidget* parent = nullptr);

    // Closes the sheet without ending the tour, for when the tour is no longer asked for.
    void dismiss();

private:
    std::function<void()> finish_;
};

} // namespace dormio

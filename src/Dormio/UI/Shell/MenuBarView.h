#pragma once

// The menu bar extra's content. Until the full view is built it gives the summary of the default night,
// who is holding the Mac awake, and a button that brings the main window forward.

#include <QWidget>

class QLabel;
class QPushButton;

namespace dormio {

class Store;

class MenuBarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 290;
    static constexpr int shownHolders = 4;

    explicit MenuBarView(Store& store, QWidget* parent = nullptr);

    QLabel* summary() const { return summary_; }
    QLabel* headline() const { return headline_; }
    QLabel* holders() const { return holders_; }
    QPushButton* openButton() const { return open_; }

signals:
    // "Open Dormio" was pressed.
    void openMainWindow();

private:
    void showStore();

    Store& store_;
    QLabel* summary_;
    QLabel* headline_;
    QLabel* holders_;
    QPushButton* open_;
};

} // namespace dormio

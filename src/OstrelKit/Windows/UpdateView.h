#pragma once

// The update window's content: a title and a detail that follow the updater's phase, and an OK button
// that closes the window. A copy that cannot update says so here in plain words.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dormio {

class Updater;

class UpdateView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* windowID = "update";
    static constexpr const char* windowTitle = "Software Update";
    static constexpr int width = 420;

    explicit UpdateView(Updater& updater, QWidget* parent = nullptr);

    struct Texts {
        QString title;
        QString detail; // empty where a progress bar stands instead
        bool operator==(const Texts&) const = default;
    };
    // The window's words for the updater's state; a copy that cannot update gets its own.
    static Texts texts(const Updater& updater);

    // Shows the update window of `updater` through the window host.
    static void show(Updater& updater);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void applySecondaryInk();

    Updater& updater_;
    QLabel* title_;
    QLabel* detail_;
    QProgressBar* progress_;
    QPushButton* ok_;
};

} // namespace dormio

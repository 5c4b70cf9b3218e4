#pragma once

// The first-run tour: four steps on what Dormio reads, how a night is drawn, how the apps that keep the
// Mac awake are shown, and the open-at-login switch. A window-modal sheet of the main window at a fixed
// size. Skip (Esc, any step) and Get Started (Return on the last step) hand the end to the host; the tour
// itself never writes whether it was seen. Closed by the window manager, it only stops being asked for.

#include <QDialog>
#include <functional>

namespace dormio {

class Button;
class Kicker;
class Store;
class TourPages;
class TourProgress;

class WelcomeView : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{580, 500};
    static constexpr int stepCount = 4;

    // `onFinish` runs each time the user ends the tour; the host closes the sheet (dismiss) when it is
    // no longer asked for.
    WelcomeView(Store& store, std::function<void()> onFinish, QWidget* parent = nullptr);

    // Closes the sheet without ending the tour and without telling the store.
    void dismiss();

    // Moves the tour by `delta` steps (1 onward, -1 back), within the four.
    void go(int delta);

    int step() const { return step_; }
    bool forward() const { return forward_; }
    Kicker* kicker() const { return kicker_; }
    Button* skipButton() const { return skip_; }
    Button* backButton() const { return back_; }
    Button* primaryButton() const { return primary_; }
    TourProgress* progress() const { return progress_; }
    TourPages* pages() const { return pages_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

public slots:
    // Esc, as QDialog gives it: Skip.
    void reject() override;

private:
    QWidget* page(int step);
    void showStep();
    void finish();

    Store& store_;
    std::function<void()> onFinish_;
    int step_ = 0;
    bool forward_ = true;
    bool dismissed_ = false;
    Kicker* kicker_;
    Button* skip_;
    Button* back_;
    Button* primary_;
    TourProgress* progress_;
    TourPages* pages_;
};

} // namespace dormio

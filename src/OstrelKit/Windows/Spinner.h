#pragma once

// A small indeterminate spinner: twelve spokes, the brightest one going round. It turns only while it is
// on screen, and not at all in a snapshot.

#include <QTimer>
#include <QWidget>

namespace dormio {

class Spinner : public QWidget {
public:
    static constexpr int size = 16;
    static constexpr int spokes = 12;

    explicit Spinner(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {size, size}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer turn_;
    int step_ = 0;
};

} // namespace dormio

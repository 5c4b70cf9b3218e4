#pragma once

// The toolbar's refresh button: the clockwise arrow, or a small spinning arc while the power log is being
// read. It stays pressable while a read runs; the store remembers one more read.

#include "Dormio/UI/Kit/Buttons.h"

namespace dormio {

class Store;

class RefreshButton : public Button {
public:
    static constexpr int side = 28;

    explicit RefreshButton(Store& store, QWidget* parent = nullptr);

    bool spinning() const { return loading_; }
    // The spinner's turn, from 0 to 1.
    qreal turn() const { return spin_.phase(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showLoading();

    Store& store_;
    bool loading_ = false;
    Motion::Loop spin_;
};

} // namespace dormio

#pragma once

// A row of mutually exclusive choices in one rounded frame, the chosen one raised on a card. It shows
// whatever selection its owner gives it; a click only tells the owner, which decides what is shown.

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace dormio {

class SegmentedPicker : public QWidget {
public:
    struct Option {
        QString label;
        int value = 0;
    };

    // Segments of equal width across `width` points.
    SegmentedPicker(std::vector<Option> options, qreal width, QWidget* parent = nullptr);

    // Called with the clicked segment's value, also when it is the one shown.
    void onPick(std::function<void(int)> pick) { pick_ = std::move(pick); }
    void setSelection(int value);
    int selection() const { return selection_; }
    const std::vector<Option>& options() const { return options_; }
    // The segment of option `index`, in the picker's own points.
    QRectF segment(std::size_t index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int indexAt(QPointF point) const;

    std::vector<Option> options_;
    qreal width_;
    int selection_ = 0;
    int hovered_ = -1;
    std::function<void(int)> pick_;
};

} // namespace dormio

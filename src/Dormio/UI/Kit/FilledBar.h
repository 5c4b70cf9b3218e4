#pragma once

// A plain rectangle of one colour: a moment's mark, a dash, a hairline rule under a row.

#include "Dormio/UI/Kit/Theme.h"

#include <QWidget>

namespace dormio {

class FilledBar : public QWidget {
public:
    // A width of 0 takes whatever width the layout gives; the inset leaves that much unfilled on the
    // leading side.
    FilledBar(DynamicColor color, int width, int height, int leadingInset = 0, QWidget* parent = nullptr);

    // A 1 px rule across the width, in the rule colour.
    static FilledBar* hairline(int leadingInset = 0) {
        return new FilledBar(Theme::rule, 0, 1, leadingInset);
    }

    void setColor(DynamicColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor color_;
    int inset_;
};

} // namespace dormio

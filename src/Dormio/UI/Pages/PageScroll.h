#pragma once

// The frame of a main-window page: a vertical scroll view over the paper colour holding one column of
// blocks, 24 px apart, inset 32 px at the sides and 24 px above and below. The column is at most 1180 px
// wide and stands in the middle of a wider window.

#include <QScrollArea>

class QVBoxLayout;

namespace dormio {

class PageScroll : public QScrollArea {
public:
    static constexpr int maxColumnWidth = 1180;

    // `title` is the page's navigation title, which the main window shows as its own.
    explicit PageScroll(const QString& title, QWidget* parent = nullptr);

    // Adds a block under the others; the blocks stand at the top when the page is taller than they are.
    void addBlock(QWidget* block);
    // Puts a block at `index` among the others, shown at once so that the column makes room for it now.
    void insertBlock(int index, QWidget* block);

private:
    QVBoxLayout* column_;
};

} // namespace dormio

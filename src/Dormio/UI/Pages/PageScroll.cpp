#include "Dormio/UI/Pages/PageScroll.h"

#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QBoxLayout>
#include <QPainter>
#include <algorithm>

namespace dormio {

namespace {

// A vertical stack that takes at most the column's width and centres itself in whatever it is given;
// its height for a width is the stack's at the width it will really take.
class CentredColumn : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;

    void setGeometry(const QRect& rect) override {
        const int width = std::min(rect.width(), PageScroll::maxColumnWidth);
        QVBoxLayout::setGeometry(
            QRect(rect.x() + (rect.width() - width) / 2, rect.y(), width, rect.height()));
    }
    int heightForWidth(int width) const override {
        return QVBoxLayout::heightForWidth(std::min(width, PageScroll::maxColumnWidth));
    }
    QSize sizeHint() const override {
        const QSize hint = QVBoxLayout::sizeHint();
        return {std::min(hint.width(), PageScroll::maxColumnWidth), hint.height()};
    }
    QSize maximumSize() const override { return {QLAYOUTSIZE_MAX, QLAYOUTSIZE_MAX}; }
};

// The scroll view's content: it paints the paper so that the page shows no native ground. Opaque, it spares
// the window and the page under it from painting their own ground first, a whole window's fill a frame.
class Paper : public QWidget {
public:
    Paper() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(Theme::paper));
    }
};

} // namespace

PageScroll::PageScroll(const QString& title, QWidget* parent) : QScrollArea(parent) {
    setWindowTitle(title);
    ScrollBars::makeColumn(this);
    viewport()->setAutoFillBackground(false);

    auto* paper = new Paper;
    column_ = new CentredColumn(paper);
    const int side = int(Theme::Space::xxl);
    const int end = int(Theme::Space::xl);
    column_->setContentsMargins(side, end, side, end);
    column_->setSpacing(int(Theme::Space::xl));
    column_->addStretch(1);
    setWidget(paper);
}

void PageScroll::addBlock(QWidget* block) {
    column_->insertWidget(column_->count() - 1, block);
}

void PageScroll::insertBlock(int index, QWidget* block) {
    column_->insertWidget(index, block);
    block->show();
}

} // namespace dormio

#include "Dormio/UI/Kit/Ledger.h"

#include "Dormio/UI/Kit/HolderGlyph.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "Dormio/UI/Kit/Text.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <cmath>

namespace dormio {

LedgerColumns::LedgerColumns(QWidget* process, QWidget* reason, QWidget* held, QWidget* action,
                             QWidget* parent)
    : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    for (QWidget* cell : {process, reason, held, action}) {
        if (cell)
            addWidget(cell);
        else
            addItem(new QSpacerItem(0, 0));
    }
}

LedgerColumns::~LedgerColumns() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

std::array<LedgerColumns::Column, 4> LedgerColumns::columns(qreal width) {
    const qreal reasonWidth = std::max<qreal>(width - fixedWidth, 0);
    std::array<Column, 4> columns;
    columns[process] = {padding, processWidth, Qt::AlignLeading};
    columns[reason] = {columns[process].x + processWidth + spacing, reasonWidth, Qt::AlignLeading};
    columns[held] = {columns[reason].x + reasonWidth + spacing, heldWidth, Qt::AlignTrailing};
    columns[action] = {columns[held].x + heldWidth + spacing, actionWidth, Qt::AlignTrailing};
    return columns;
}

void LedgerColumns::addItem(QLayoutItem* item) {
    items_.append(item);
}

QLayoutItem* LedgerColumns::itemAt(int index) const {
    return items_.value(index);
}

QLayoutItem* LedgerColumns::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int LedgerColumns::count() const {
    return int(items_.size());
}

std::array<QRect, 4> LedgerColumns::cells(const QRect& rect) const {
    std::array<QRect, 4> frames;
    const auto grid = columns(rect.width());
    for (int i = 0; i < std::min<int>(count(), 4); ++i) {
        QLayoutItem* item = items_[i];
        const Column& column = grid[size_t(i)];
        const int columnWidth = int(std::lround(column.width));
        const bool fills = item->expandingDirections() & Qt::Horizontal;
        const int width = fills ? columnWidth : std::min(item->sizeHint().width(), columnWidth);
        const int height = std::min(rect.height(), item->hasHeightForWidth() ? item->heightForWidth(width)
                                                                             : item->sizeHint().height());
        const int free = columnWidth - width;
        const int x =
            rect.x() + int(std::lround(column.x)) + (column.alignment & Qt::AlignTrailing ? free : 0);
        frames[size_t(i)] = QRect(x, rect.y() + (rect.height() - height) / 2, width, height);
    }
    return frames;
}

int LedgerColumns::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    const auto grid = columns(width - margins.left() - margins.right());
    int height = 0;
    for (int i = 0; i < std::min<int>(count(), 4); ++i) {
        QLayoutItem* item = items_[i];
        const int columnWidth = int(std::lround(grid[size_t(i)].width));
        const int cellWidth = item->expandingDirections() & Qt::Horizontal
                                  ? columnWidth
                                  : std::min(item->sizeHint().width(), columnWidth);
        height = std::max(height, item->hasHeightForWidth() ? item->heightForWidth(cellWidth)
                                                            : item->sizeHint().height());
    }
    return height + margins.top() + margins.bottom();
}

QSize LedgerColumns::sizeHint() const {
    const QMargins margins = contentsMargins();
    const int reasonWidth = count() > reason ? items_[reason]->sizeHint().width() : 0;
    const int width = int(fixedWidth) + reasonWidth + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

QSize LedgerColumns::minimumSize() const {
    const QMargins margins = contentsMargins();
    const int width = int(fixedWidth) + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

void LedgerColumns::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const auto frames = cells(rect.marginsRemoved(contentsMargins()));
    for (int i = 0; i < std::min<int>(count(), 4); ++i)
        items_[i]->setGeometry(frames[size_t(i)]);
}

LedgerHeader::LedgerHeader(const QStringList& columns, QWidget* parent) : QWidget(parent) {
    std::array<Kicker*, 4> titles;
    for (int i = 0; i < 4; ++i)
        titles[size_t(i)] = new Kicker(columns.value(i), Theme::ink3);
    auto* grid = new LedgerColumns(titles[0], titles[1], titles[2], titles[3], this);
    grid->setContentsMargins(0, 0, 0, 6 + 1); // 6 px under the titles, then the rule
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QStringList LedgerHeader::titles() const {
    QStringList titles;
    for (int i = 0; i < layout()->count(); ++i)
        titles << static_cast<Kicker*>(layout()->itemAt(i)->widget())->text();
    return titles;
}

void LedgerHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRectF(0, height() - 1, width(), 1), QColor(Theme::ruleStrong));
}

LedgerRow::LedgerRow(QWidget* process, QWidget* reason, QWidget* held, QWidget* action, QWidget* parent)
    : QWidget(parent), cells_(new QWidget(this)), presence_(this, 1, [this](qreal p) { showPresence(p); }) {
    auto* grid = new LedgerColumns(process, reason, held, action, cells_);
    grid->setContentsMargins(0, 8, 0, 8);
    hover_ = RowHover::attach(cells_);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int LedgerRow::heightForWidth(int width) const {
    const int full = cells_->heightForWidth(width) + 1; // the cells and the hairline
    return int(std::ceil(full * presence_.value() - 1e-6));
}

QSize LedgerRow::sizeHint() const {
    const int width = cells_->sizeHint().width();
    return {width, heightForWidth(width)};
}

QSize LedgerRow::minimumSizeHint() const {
    const int width = cells_->minimumSizeHint().width();
    return {width, heightForWidth(width)};
}

// The cells keep their full height, standing on the row's bottom edge, so a row that is still coming in
// shows only its lower part, as if it slid down from behind its top edge.
void LedgerRow::placeCells() {
    const int cellsHeight = cells_->heightForWidth(width());
    cells_->setGeometry(0, height() - 1 - cellsHeight, width(), cellsHeight);
}

void LedgerRow::resizeEvent(QResizeEvent*) {
    placeCells();
}

// A cell that changes its size asks its row to measure again.
bool LedgerRow::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        placeCells();
    }
    return QWidget::event(event);
}

void LedgerRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRectF(0, height() - 1, width(), 1), QColor(Theme::rule));
}

void LedgerRow::appear(const Motion::Curve& curve) {
    presence_.jumpTo(0);
    presence_.animateTo(1, curve);
}

void LedgerRow::disappear(const Motion::Curve& curve) {
    presence_.animateTo(0, curve, [this] { deleteLater(); });
}

void LedgerRow::showPresence(qreal presence) {
    if (presence >= 1) {
        setGraphicsEffect(nullptr);
    } else {
        auto* fade = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
        if (!fade) setGraphicsEffect(fade = new QGraphicsOpacityEffect(this));
        fade->setOpacity(std::clamp<qreal>(presence, 0, 1));
    }
    updateGeometry();
}

namespace LedgerCells {

QWidget* holder(const std::optional<std::string>& path, const std::string& process, const QString& name,
                Qt::TextElideMode elide) {
    auto* cell = new QWidget;
    auto* line = new QHBoxLayout(cell);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(8);
    line->addWidget(new HolderGlyph(path, process, 16), 0, Qt::AlignVCenter);
    auto* shown = new Label(name, Theme::Typo::bodyStrong(), Theme::ink);
    shown->setElide(elide);
    line->addWidget(shown, 1, Qt::AlignVCenter);
    return cell;
}

QWidget* twoLines(QWidget* first, QWidget* second) {
    auto* cell = new QWidget;
    auto* lines = new QVBoxLayout(cell);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    lines->addWidget(first);
    lines->addWidget(second);
    return cell;
}

Label* word(const QString& text, const QString& tooltip) {
    static const Font font = Theme::systemFont(10, QFont::Normal, true);
    auto* word = new Label(text, font, Theme::ink3);
    word->setToolTip(tooltip);
    return word;
}

Label* partOfMacOS() {
    return word(QStringLiteral("macOS"), QStringLiteral("Part of macOS \u2014 it lets go on its own"));
}

} // namespace LedgerCells

} // namespace dormio

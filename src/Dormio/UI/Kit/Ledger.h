#pragma once

// The four-column table of who holds the Mac awake: who, why, how long, and what can be done. The header
// and every row share one grid, so titles and cells line up.

#include "Dormio/UI/Kit/Motion.h"

#include <QLayout>
#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

namespace dormio {

class Label;
class RowHover;

// Places four widgets in four columns: process 210 px, reason whatever is left, held 76 px, action
// 88 px, 12 px apart, with 4 px at either end; the first two leading, the last two trailing, all centred
// on each other. A cell gets its own width up to its column's; one that expands gets the whole column.
class LedgerColumns : public QLayout {
public:
    enum Slot { process, reason, held, action };

    // With a parent widget the columns become its layout.
    LedgerColumns(QWidget* process, QWidget* reason, QWidget* held, QWidget* action,
                  QWidget* parent = nullptr);
    ~LedgerColumns() override;

    struct Column {
        qreal x = 0;
        qreal width = 0;
        Qt::Alignment alignment;
    };
    static constexpr qreal processWidth = 210;
    static constexpr qreal heldWidth = 76;
    static constexpr qreal actionWidth = 88;
    static constexpr qreal spacing = 12;
    static constexpr qreal padding = 4;
    static constexpr qreal fixedWidth = processWidth + heldWidth + actionWidth + 3 * spacing + 2 * padding;
    // The columns of a table `width` wide; the reason column shrinks first, to nothing.
    static std::array<Column, 4> columns(qreal width);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    // Each cell's frame for the given content rectangle.
    std::array<QRect, 4> cells(const QRect& rect) const;
    QList<QLayoutItem*> items_;
};

// The column titles as captions over a strong rule. Titles it is not given show as empty.
class LedgerHeader : public QWidget {
public:
    explicit LedgerHeader(const QStringList& columns, QWidget* parent = nullptr);
    QStringList titles() const; // the four titles shown

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One row: its four cells with 8 px above and below under the row hover highlight, and a hairline
// beneath that is no part of the highlight.
class LedgerRow : public QWidget {
public:
    LedgerRow(QWidget* process, QWidget* reason, QWidget* held, QWidget* action, QWidget* parent = nullptr);

    QWidget* cells() const { return cells_; }
    RowHover* hover() const { return hover_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // An inserted row fades in as it slides down from its top edge while the rows below make room; a
    // removed one does the reverse and then deletes itself. Callers animate with the curve they choose;
    // without one the row simply appears or goes.
    void appear(const Motion::Curve& curve);
    void disappear(const Motion::Curve& curve);
    qreal presence() const { return presence_.value(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeCells();
    void showPresence(qreal presence);
    QWidget* cells_;
    RowHover* hover_;
    Motion::Value presence_; // 1 when the row stands in full
};

// The cells every ledger of holders shares.
namespace LedgerCells {
// The process column: the holder's picture beside its name, cut with `elide` when the column is narrow.
QWidget* holder(const std::optional<std::string>& path, const std::string& process, const QString& name,
                Qt::TextElideMode elide);
// The reason column: two lines, 1 px apart.
QWidget* twoLines(QWidget* first, QWidget* second);
// The action column's small word where there is no button, with the tooltip that says why.
Label* word(const QString& text, const QString& tooltip);
// The word for a holder that is part of the system, which lets go of its own holds.
Label* partOfMacOS();
} // namespace LedgerCells

} // namespace dormio

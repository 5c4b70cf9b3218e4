#pragma once

// The body of the History page: one row per night on a time axis that every row shares, under a header
// of column titles and the hour ruler, with the legend of the bar colours as a block of its own. A click
// on a row opens that night; the pointer over a row, or the developer modes' hovered night, highlights it.

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Motion.h"
#include "DormioKit/Night.h"

#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

class Store;
class ActogramLine;
class ChartCanvas;

// One value of a row's figure columns.
struct ActogramFigure {
    QString text;
    bool rose = false; // tinted rose instead of ink
    bool operator==(const ActogramFigure&) const = default;
};

class Actogram : public QWidget {
public:
    static constexpr qreal dateWidth = 96;
    static constexpr std::array<qreal, 4> figWidths{50, 42, 52, 34};
    static constexpr qreal figureSpacing = 8;  // between figure columns
    static constexpr qreal columnSpacing = 12; // between the date, the bar and the figures

    // The rows are made here, once: the page makes a new actogram when its nights change.
    Actogram(Store& store, std::vector<Night> nights, qreal rowHeight, QWidget* parent = nullptr);

    // The time the width of every bar stands for: the longest night, 8 hours without nights.
    static double span(const std::vector<Night>& nights);
    // The figure columns' boxes, right-aligned within `area`, in column order.
    static std::array<QRectF, 4> figureColumns(const QRectF& area);
    static qreal figuresWidth();
    // Asleep, wakes, drain and rest of one night.
    static std::array<ActogramFigure, 4> figures(const Night& night);

    const std::vector<Night>& nights() const { return nights_; }
    qreal rowHeight() const { return rowHeight_; }
    qreal rowSpacing() const { return rowHeight_ > 14 ? 4 : 2; }
    const std::vector<ActogramLine*>& rows() const { return rows_; }
    ChartCanvas* ruler() const { return ruler_; }

private:
    QWidget* header();

    Store& store_;
    std::vector<Night> nights_;
    qreal rowHeight_;
    std::vector<ActogramLine*> rows_;
    ChartCanvas* ruler_ = nullptr;
};

// One night's row: its date, its bar and its four figures, drawn in one pass so that a change of
// highlight repaints this row alone.
class ActogramLine : public QWidget {
public:
    ActogramLine(Store& store, Night night, double span, qreal rowHeight, bool isDefault,
                 QWidget* parent = nullptr);

    // The date: the day in capitals, with " ◂" after the default night's.
    static QString label(const Night& night, bool isDefault);
    static QString tooltip(const Night& night);

    const Night& night() const { return night_; }
    const QString& label() const { return label_; }
    const std::array<ActogramFigure, 4>& figures() const { return figures_; }
    bool hovering() const { return hovering_; }
    bool highlighted() const;
    // Follows the store's hovered night.
    void followDemoHover();
    bool isTall() const { return rowHeight_ > 14; }
    // The date's face: 11 px on tall rows, 9.5 on short ones; semibold while the row is highlighted.
    const Font& dateFont() const;
    // Where the bar is drawn, in the row's own points.
    QRectF barRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showHighlight();

    Store& store_;
    Night night_;
    double span_;
    qreal rowHeight_;
    bool isDefault_;
    // Worked out once with the row, so that a repaint only draws.
    QString label_;
    std::array<ActogramFigure, 4> figures_;
    bool hovering_ = false;
    Motion::Value highlight_; // 0 to 1 as the highlight eases in
};

// What the bar colours mean, and the mark of last night.
class ActogramLegend : public QWidget {
public:
    struct Item {
        QString text;
        QColor swatch;
        qreal width;
    };
    static std::vector<Item> items();

    explicit ActogramLegend(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dormio

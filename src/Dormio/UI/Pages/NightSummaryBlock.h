#pragma once

// The first block of a night's body: the night in one sentence, four key figures beside the rest grade,
// and the narrative when there is one. Read-only; told another night, it shows it as one built for it would.

#include "DormioKit/Night.h"

#include <QString>
#include <QWidget>
#include <array>

namespace dormio {

class Figure;
class Label;
class RestGrade;

// What the four figures show, in their order: asleep, wakes, battery or mains, asleep from.
struct SummaryFigure {
    QString value;
    QString label;
    bool rose = false; // tinted rose instead of ink
    bool operator==(const SummaryFigure&) const = default;
};
std::array<SummaryFigure, 4> summaryFigures(const Night& night);

// The figures in one row with the grade at its end when they fit the width; otherwise the figures closer
// together with the grade below them.
class SummaryFigures : public QWidget {
public:
    explicit SummaryFigures(const Night& night, QWidget* parent = nullptr);
    void setNight(const Night& night);

    bool isOneRow() const { return oneRow(width()); }
    const std::array<Figure*, 4>& figures() const { return figures_; }
    RestGrade* grade() const { return grade_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    bool oneRow(int width) const;
    int figuresWidth(qreal spacing) const;
    int figuresHeight() const;

    std::array<Figure*, 4> figures_{};
    RestGrade* grade_ = nullptr;
};

class NightSummaryBlock : public QWidget {
public:
    explicit NightSummaryBlock(const Night& night, QWidget* parent = nullptr);
    void setNight(const Night& night);

    Label* sentence() const { return sentence_; }
    SummaryFigures* figures() const { return figures_; }
    // None when the night has nothing to tell.
    Label* narrative() const;

private:
    void showNarrative(const Night& night);

    Label* sentence_ = nullptr;
    SummaryFigures* figures_ = nullptr;
    Label* narrative_ = nullptr;
};

} // namespace dormio

#pragma once

// The Battery page's facts in two columns of label, dotted leader and value, each row over a hairline.
// With an odd number of rows the left column holds the extra one.

#include "Dormio/UI/Pages/BatteryTexts.h"

#include <QWidget>
#include <vector>

namespace dormio {

class Label;

// A dotted rule that fills the width it is given, 3 px above its bottom edge.
class Leader : public QWidget {
public:
    explicit Leader(QWidget* parent = nullptr);
    static constexpr qreal height = 10;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class SpecSheet : public QWidget {
public:
    explicit SpecSheet(const std::vector<BatteryTexts::SpecRow>& rows, QWidget* parent = nullptr);

    // New values change the texts in place; other labels lay the sheet out anew.
    void setRows(const std::vector<BatteryTexts::SpecRow>& rows);
    const std::vector<BatteryTexts::SpecRow>& rows() const { return rows_; }
    // How many rows the left column takes.
    static std::size_t leftCount(std::size_t rows) { return (rows + 1) / 2; }
    // The labels of each column, top to bottom.
    std::vector<std::vector<QString>> columns() const;
    // The value label of a row, by its label text; null for none.
    Label* value(const QString& label) const;

private:
    class Row;
    void build();
    std::vector<BatteryTexts::SpecRow> rows_;
    std::vector<std::vector<Row*>> columns_;
};

} // namespace dormio

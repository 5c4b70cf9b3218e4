#include "Dormio/UI/Pages/SpecSheet.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QBoxLayout>
#include <QPainter>
#include <algorithm>

namespace dormio {

namespace {

constexpr qreal rowPadding = 7;
constexpr qreal gap = 6;

const Font& valueFont() {
    static const Font font = Theme::systemFont(12.5, QFont::Medium, true);
    return font;
}

} // namespace

Leader::Leader(QWidget* parent) : QWidget(parent) {
    setFixedHeight(int(height));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Leader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen dots = Shapes::pen(Theme::ruleStrong, 1);
    dots.setDashPattern({1, 3});
    dots.setDashOffset(0);
    painter.setPen(dots);
    const qreal y = QWidget::height() - 3;
    painter.drawLine(QPointF(0, y), QPointF(width(), y));
}

// Label, leader and value on the texts' shared baseline, the leader's bottom edge on it too, over a
// hairline.
class SpecSheet::Row : public QWidget {
public:
    Row(const BatteryTexts::SpecRow& row, QWidget* parent)
        : QWidget(parent), label_(new Label(row.first, Theme::Typo::body(), Theme::ink2, this)),
          leader_(new Leader(this)), value_(new Label(row.second, valueFont(), Theme::ink, this)) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    Label* value() const { return value_; }
    const QString& label() const { return label_->text(); }

    QSize sizeHint() const override {
        const qreal width = label_->sizeHint().width() + gap + value_->sizeHint().width() + gap;
        return {int(std::ceil(width)), int(std::ceil(baseline() + descent() + rowPadding + 1))};
    }
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent*) override {
        const qreal y = baseline();
        const QSize label = label_->sizeHint();
        const QSize value = value_->sizeHint();
        // A long value keeps its room; the label gives way first.
        const int valueWidth = std::min(value.width(), width());
        const int labelWidth = std::max(0, std::min(label.width(), width() - valueWidth - int(2 * gap)));
        label_->setGeometry(0, int(std::lround(y - label_->textFont().ascent())), labelWidth, label.height());
        value_->setGeometry(width() - valueWidth, int(std::lround(y - value_->textFont().ascent())),
                            valueWidth, value.height());
        const int leaderX = labelWidth + int(gap);
        leader_->setGeometry(leaderX, int(std::lround(y - Leader::height)),
                             std::max(0, width() - valueWidth - int(gap) - leaderX), int(Leader::height));
    }
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRectF(0, height() - 1, width(), 1), QColor(Theme::rule));
    }

private:
    qreal baseline() const {
        return rowPadding + std::max({label_->textFont().ascent(), valueFont().ascent(), Leader::height});
    }
    qreal descent() const { return std::max(label_->textFont().descent(), valueFont().descent()); }

    Label* label_;
    Leader* leader_;
    Label* value_;
};

SpecSheet::SpecSheet(const std::vector<BatteryTexts::SpecRow>& rows, QWidget* parent) : QWidget(parent) {
    auto* sides = new QHBoxLayout(this);
    sides->setContentsMargins(0, 0, 0, 0);
    sides->setSpacing(int(Theme::Space::xxl));
    setRows(rows);
}

void SpecSheet::setRows(const std::vector<BatteryTexts::SpecRow>& rows) {
    const bool sameLabels = !columns_.empty() && rows.size() == rows_.size() &&
                            std::equal(rows.begin(), rows.end(), rows_.begin(),
                                       [](const auto& a, const auto& b) { return a.first == b.first; });
    rows_ = rows;
    if (!sameLabels) return build();
    for (const auto& [label, text] : rows_)
        value(label)->setText(text);
}

void SpecSheet::build() {
    auto* sides = static_cast<QHBoxLayout*>(layout());
    while (QLayoutItem* item = sides->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    columns_.clear();
    const std::size_t half = leftCount(rows_.size());
    for (const auto& [from, to] : {std::pair{std::size_t(0), half}, std::pair{half, rows_.size()}}) {
        auto* column = new QWidget;
        auto* stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(0);
        std::vector<Row*>& rows = columns_.emplace_back();
        for (std::size_t i = from; i < to; ++i)
            stack->addWidget(rows.emplace_back(new Row(rows_[i], column)));
        stack->addStretch(1);
        sides->addWidget(column, 1);
    }
}

std::vector<std::vector<QString>> SpecSheet::columns() const {
    std::vector<std::vector<QString>> labels;
    for (const auto& column : columns_) {
        std::vector<QString>& texts = labels.emplace_back();
        for (const Row* row : column)
            texts.push_back(row->label());
    }
    return labels;
}

Label* SpecSheet::value(const QString& label) const {
    for (const auto& column : columns_)
        for (Row* row : column)
            if (row->label() == label) return row->value();
    return nullptr;
}

} // namespace dormio

#pragma once

// The main window's History page: the last 7 or 30 finished nights as an actogram, their averages and rest
// trend, and the switch between the two spans. It reads the store and keeps only the span the user
// picked; the rows are made again only when the nights shown or the span change.

#include "DormioKit/Night.h"

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class QScrollArea;
class QVBoxLayout;

namespace dormio {

class Actogram;
class ChartCanvas;
class EmptyState;
class Figure;
class PageHeader;
class SegmentedPicker;
class Store;

class HistoryPage : public QWidget {
public:
    static constexpr int spans[] = {7, 30};
    static constexpr qreal maxWidth = 1180;

    explicit HistoryPage(Store& store, QWidget* parent = nullptr);

    // The finished nights of `nights` (oldest first), the last `span` of them.
    static std::vector<Night> shownNights(const std::vector<Night>& nights, int span);
    // The store's forced span while it holds one, else the user's.
    int effectiveSpan() const;
    // What the span picker does: the user's choice ends any forced span for good.
    void pick(int span);

    const std::vector<Night>& shown() const { return shown_; }
    PageHeader* header() const { return header_; }
    SegmentedPicker* picker() const { return picker_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // The empty state, or the figures and the actogram, under the header.
    QWidget* body() const { return body_; }
    // Each of these is none while the page shows something else.
    EmptyState* emptyState() const { return emptyState_; }
    Actogram* actogram() const { return actogram_; }
    const std::vector<Figure*>& figures() const { return figures_; }
    ChartCanvas* trend() const { return trend_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* spanPicker();
    // Makes the body again when what it shows has changed.
    void follow();
    QWidget* emptyBody();
    QWidget* nightsBody();
    QWidget* figuresRow();

    Store& store_;
    int span_ = spans[0];
    std::vector<Night> shown_;
    std::optional<std::string> defaultID_;
    int shownSpan_ = 0;
    bool built_ = false;

    QScrollArea* scroll_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    PageHeader* header_ = nullptr;
    SegmentedPicker* picker_ = nullptr;
    QWidget* body_ = nullptr;
    EmptyState* emptyState_ = nullptr;
    Actogram* actogram_ = nullptr;
    std::vector<Figure*> figures_;
    ChartCanvas* trend_ = nullptr;
};

} // namespace dormio

#pragma once

// What the power log itself recorded for one moment of the night: its facts (when, who asked, who held
// it, how long) over the raw records it was told from, so the user can check the story against the log.
// `RawPopup` shows it in a card beside the button that opened it.

#include "DormioKit/Story.h"

#include <QStringList>
#include <QWidget>
#include <functional>

namespace dormio {

class RawPopover : public QWidget {
public:
    static constexpr qreal cardWidth = 440;
    static constexpr int shownTimes = 12;
    static constexpr int shownRecords = 6;

    explicit RawPopover(const StoryItem& item, QWidget* parent = nullptr);

    // The facts as label and value, in the order shown.
    static std::vector<std::pair<QString, QString>> facts(const StoryItem& item);
    // "13× · 01:12 01:40 … 06:10 …": the count and the first twelve clock times.
    static QString times(const StoryItem& item);
    // The distinct raw texts of the item's events in plain text order, the first six of them.
    static QStringList records(const StoryItem& item);
    // One fact: its caption in a 64 px column, then its value, wrapped and selectable.
    static QWidget* spec(const QString& label, const QString& value);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A popup card holding a RawPopover, its arrow pointing at the button that opened it. Only one is open at
// a time: opening another closes it.
class RawPopup : public QWidget {
public:
    // The side of the button the arrow sits on.
    enum class Edge { leading, trailing };

    RawPopup(const StoryItem& item, QWidget* anchor, std::function<void()> closed);
    ~RawPopup() override;

    // Beside the anchor on `edge`, or on the other side when that side has no room on the screen.
    void open(Edge edge);
    Edge shownEdge() const { return edge_; }
    RawPopover* content() const { return content_; }

    static RawPopup* current();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QRectF card() const;
    QWidget* anchor_;
    RawPopover* content_;
    std::function<void()> closed_;
    Edge edge_ = Edge::trailing;
    qreal arrowY_ = 0;
};

} // namespace dormio

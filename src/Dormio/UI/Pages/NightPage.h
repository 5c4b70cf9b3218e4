#pragma once

// The "Last Night" page: the selected night as one scrolling column (header, then the night's body), or,
// while there is no night, the reading placeholder or an empty state that says why. A change of night
// cross-fades the body; a change of the live holders touches nothing here.

#include <QPointer>
#include <QWidget>
#include <optional>

class QVBoxLayout;

namespace dormio {

class EmptyState;
class NightBody;
class NightHeader;
class PageScroll;
class Store;
struct Night;

class NightPage : public QWidget {
public:
    enum class Showing { night, loading, empty };

    static constexpr qreal wideFrom = 900;
    // The column's content width on a page `available` wide: inside the column's limit and 32 on either side.
    static qreal contentWidth(qreal available);

    explicit NightPage(Store& store, QWidget* parent = nullptr);
    ~NightPage() override;

    Showing showing() const { return showing_; }
    bool wide() const;
    PageScroll* scroller() const { return scroller_; }
    NightHeader* header() const { return header_; }
    NightBody* body() const { return body_; }
    EmptyState* emptyState() const { return empty_; }
    // Whether the old night's body is still fading out.
    bool crossFading() const { return fade_ != nullptr; }
    // The widget carrying a scroll id: "top", "kept", "bottom" or the night's id.
    QWidget* scrollTarget(const QString& id) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void present(Showing showing, QWidget* view);
    void showNight(const Night& night);
    void replaceBody(const Night& night);
    NightBody* nextBody(const Night& night);
    void followSnapshotScroll();

    Store& store_;
    Showing showing_ = Showing::loading;
    qreal width_ = 1000; // the column's content width; before any measurement the page lays out wide
    QVBoxLayout* frame_;
    QWidget* view_ = nullptr;
    PageScroll* scroller_ = nullptr;
    QWidget* column_ = nullptr; // the scroller's paper, which the column of blocks stands on
    NightHeader* header_ = nullptr;
    NightBody* body_ = nullptr;
    NightBody* spare_ = nullptr; // the body of the night before, hidden
    QWidget* bottom_ = nullptr;
    EmptyState* empty_ = nullptr;
    QPointer<QWidget> fade_;
    QPointer<QObject> easedScroll_;
};

} // namespace dormio

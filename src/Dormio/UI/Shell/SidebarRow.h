#pragma once

// One page in the sidebar: its symbol and title, filled with the accent while it is the page shown, and
// on the Right Now row the number of apps holding the Mac awake, whose digits roll as it changes and
// which fades in and out.

#include "Dormio/Core/Page.h"
#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Text.h"

#include <QAbstractButton>
#include <optional>

namespace dormio {

class SidebarRow : public QAbstractButton {
public:
    static constexpr int height = 28;
    static constexpr int symbolSize = 16;

    SidebarRow(Page page, QWidget* parent = nullptr);

    Page page() const { return page_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected);
    // The count on the row's trailing end; none hides it.
    void setBadge(std::optional<int> count);
    std::optional<int> badge() const { return badge_; }
    qreal badgeOpacity() const { return badgeOpacity_.value(); }
    static Font badgeFont(); // 11 px, semibold, monospaced

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Page page_;
    bool selected_ = false;
    std::optional<int> badge_;
    QString badgeText_; // kept while the badge fades out
    Motion::Value badgeOpacity_;
    TextChange badgeChange_;
};

} // namespace dormio

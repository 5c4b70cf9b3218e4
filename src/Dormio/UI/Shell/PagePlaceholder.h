#pragma once

// Stands in for a page whose view is not built yet: the page's title on the window's paper.

#include "Dormio/Core/Page.h"

#include <QWidget>

namespace dormio {

class PagePlaceholder : public QWidget {
public:
    explicit PagePlaceholder(Page page, QWidget* parent = nullptr);
    Page page() const { return page_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Page page_;
};

} // namespace dormio

#pragma once

// The main window's left column: the five pages in three sections ("Live" heads the second), the page
// shown marked, and the status footer at its foot. The page shown is the store's page alone: a click asks
// the store to go there, and whatever changes the store's page moves the mark.

#include "Dormio/Core/Page.h"

#include <QWidget>
#include <vector>

namespace dormio {

class SidebarFooter;
class SidebarRow;
class Store;

class Sidebar : public QWidget {
public:
    static constexpr int minimumWidth = 190;
    static constexpr int idealWidth = 206;
    static constexpr int maximumWidth = 260;

    explicit Sidebar(Store& store, QWidget* parent = nullptr);

    SidebarRow* row(Page page) const;
    // The page whose row is marked.
    Page selected() const;
    SidebarFooter* footer() const { return footer_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showPage();
    void showHolders();

    Store& store_;
    std::vector<SidebarRow*> rows_; // in the order of the pages
    SidebarFooter* footer_;
};

} // namespace dormio

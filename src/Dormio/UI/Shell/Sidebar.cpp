#include "Dormio/UI/Shell/Sidebar.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/SidebarFooter.h"
#include "Dormio/UI/Shell/SidebarRow.h"

#include <QPainter>
#include <QVBoxLayout>

namespace dormio {

namespace {

constexpr int sectionGap = 14;

} // namespace

Sidebar::Sidebar(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), footer_(new SidebarFooter(store)) {
    setMinimumWidth(minimumWidth);
    setMaximumWidth(maximumWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 12, 10, 0);
    layout->setSpacing(2);
    for (Page page : Pages::allCases) {
        auto* row = new SidebarRow(page);
        connect(row, &SidebarRow::clicked, this, [this, page] { store_.go(page); });
        rows_.push_back(row);
        if (page == Page::now) {
            layout->addSpacing(sectionGap);
            auto* header =
                new Label(QStringLiteral("Live"), Theme::systemFont(11, QFont::DemiBold), Theme::ink3);
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(8, 0, 0, 4);
            indented->addWidget(header);
            layout->addLayout(indented);
        }
        if (page == Page::settings) layout->addSpacing(sectionGap);
        layout->addWidget(row);
    }
    layout->addStretch(1);
    // The footer stays at the foot, 14 px in from the sides and 12 px above the bottom edge.
    auto* foot = new QVBoxLayout;
    foot->setContentsMargins(4, 0, 4, 12);
    foot->addWidget(footer_);
    layout->addLayout(foot);

    connect(&store_, &Store::pageChanged, this, &Sidebar::showPage);
    connect(&store_, &Store::liveChanged, this, &Sidebar::showHolders);
    showPage();
    showHolders();
}

SidebarRow* Sidebar::row(Page page) const {
    for (SidebarRow* row : rows_)
        if (row->page() == page) return row;
    return nullptr;
}

Page Sidebar::selected() const {
    for (SidebarRow* row : rows_)
        if (row->selected()) return row->page();
    return store_.page();
}

void Sidebar::showPage() {
    for (SidebarRow* row : rows_)
        row->setSelected(row->page() == store_.page());
}

void Sidebar::showHolders() {
    const size_t holders = store_.holderNames().size();
    row(Page::now)->setBadge(holders > 0 ? std::optional(int(holders)) : std::nullopt);
}

void Sidebar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::panel));
}

} // namespace dormio

#include "Dormio/UI/Shell/MenuBarView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace dormio {

MenuBarView::MenuBarView(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), summary_(new QLabel(this)), headline_(new QLabel(this)),
      holders_(new QLabel(this)), open_(new QPushButton("Open Dormio", this)) {
    setFixedWidth(width);
    for (QLabel* label : {summary_, headline_, holders_}) {
        label->setFont(Theme::Typo::body());
        label->setWordWrap(true);
    }
    open_->setDefault(true);
    connect(open_, &QPushButton::clicked, this, &MenuBarView::openMainWindow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(summary_);
    layout->addWidget(headline_);
    layout->addWidget(holders_);
    layout->addWidget(open_, 0, Qt::AlignLeft);

    for (auto changed : {&Store::nightsChanged, &Store::loadedOnceChanged, &Store::liveChanged})
        connect(&store_, changed, this, &MenuBarView::showStore);
    showStore();
}

void MenuBarView::showStore() {
    summary_->setText(store_.menuSummary());
    const std::vector<std::string> names = store_.holderNames();
    if (names.empty())
        headline_->setText("Nothing is keeping your Mac awake");
    else if (names.size() == 1)
        headline_->setText(QString::fromStdString(names.front()) + " is holding it awake");
    else
        headline_->setText(QStringLiteral("%1 apps are holding it awake").arg(qlonglong(names.size())));

    QStringList lines;
    for (const LiveRow& row : store_.noteworthy()) {
        if (lines.size() == shownHolders) break;
        lines << QString::fromStdString(row.identity.name);
    }
    holders_->setText(lines.join('\n'));
    holders_->setVisible(!lines.isEmpty());
}

} // namespace dormio

#include "Dormio/UI/Shell/SettingsPage.h"

#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace dormio {

SettingsPage::SettingsPage(QWidget* form, QWidget* parent) : QScrollArea(parent), form_(form) {
    setWindowTitle(QStringLiteral("Settings"));
    ScrollBars::makeColumn(this);

    auto* inset = new QWidget;
    inset->setMaximumWidth(maximumWidth);
    auto* padding = new QVBoxLayout(inset);
    padding->setContentsMargins(int(Theme::Space::xxl), int(Theme::Space::xl), int(Theme::Space::xxl),
                                int(Theme::Space::xl));
    padding->addWidget(form_);

    auto* paper = new QWidget;
    paper->setAutoFillBackground(true); // the window's colour, the paper
    auto* columns = new QHBoxLayout(paper);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(inset, 1, Qt::AlignTop);
    columns->addStretch(0);
    setWidget(paper);
}

} // namespace dormio

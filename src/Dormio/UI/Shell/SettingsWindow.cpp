#include "Dormio/UI/Shell/SettingsWindow.h"

#include "Dormio/UI/Kit/ControlLook.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "Dormio/UI/Pages/SettingsForm.h"
#include "OstrelKit/Ostrel.h"
#include "OstrelKit/Windows/UpdateSettingsRows.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>

namespace dormio {

namespace {

constexpr int tabIconSize = 16;

// The paper every page of the window stands on.
class Paper : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(Theme::paper)); }
};

} // namespace

SettingsWindow::SettingsWindow(Store& store, bool single, QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Dormio Settings"));
    // "Show Welcome Again" closes the key window whose name holds "Settings".
    setObjectName(QStringLiteral("Settings"));
    setFixedSize(fixedSize);
    // The paper also shows beside the tabs.
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (single) {
        layout->addWidget(formContent(store));
        return;
    }
    tabs_ = new QTabWidget(this);
    tabs_->setDocumentMode(true);
    tabs_->addTab(formContent(store), QStringLiteral("General"));
    tabs_->addTab(updatesContent(), QStringLiteral("Updates"));
    layout->addWidget(tabs_);
    showTabIcons();
    connect(ThemeEvents::instance(), &ThemeEvents::appearanceChanged, this, &SettingsWindow::showTabIcons);
}

// The symbols are pictures in the appearance's ink, drawn again when the appearance changes.
void SettingsWindow::showTabIcons() {
    tabs_->setTabIcon(0, Symbols::icon(ViewSymbols::settingsTab, Theme::ink, tabIconSize));
    tabs_->setTabIcon(1, Symbols::icon(ViewSymbols::updatesTab, Theme::ink, tabIconSize));
}

QScrollArea* SettingsWindow::formContent(Store& store) {
    auto* page = new Paper;
    auto* inset = new QVBoxLayout(page);
    const int padding = int(Theme::Space::l);
    inset->setContentsMargins(padding, padding, padding, padding);
    form_ = new SettingsForm(store, false);
    inset->addWidget(form_);
    inset->addStretch(1);

    scroll_ = new QScrollArea;
    ScrollBars::makeColumn(scroll_);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->setWidget(page);
    return scroll_;
}

// The kit's update rows, as the one section of this tab.
QWidget* SettingsWindow::updatesContent() {
    auto* page = new Paper;
    auto* inset = new QVBoxLayout(page);
    const int padding = int(Theme::Space::l);
    inset->setContentsMargins(padding, padding, padding, padding);
    auto* rows = new UpdateSettingsRows(Ostrel::updater());
    // The same toggle and button as the General tab's.
    ControlLook::adopt(rows->automatic());
    ControlLook::adopt(rows->checkNow());
    inset->addWidget(rows);
    inset->addStretch(1);
    return page;
}

} // namespace dormio

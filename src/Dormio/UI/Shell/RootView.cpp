#include "Dormio/UI/Shell/RootView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/ToastView.h"
#include "Dormio/UI/Shell/WelcomeView.h"
#include "DormioKit/NightSummary.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace dormio {

namespace {

constexpr int nightIdRole = Qt::UserRole;

} // namespace

RootView::RootView(Store& store, Toast& toast, QWidget* parent)
    : QWidget(parent), store_(store), list_(new QListWidget(this)), status_(new QLabel(this)),
      overlay_(new ToastOverlay(this, toast)) {
    list_->setWordWrap(true);
    list_->setFont(Theme::Typo::body());
    list_->setSpacing(4);
    status_->setFont(Theme::Typo::body());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);

    connect(&store_, &Store::nightsChanged, this, &RootView::showNights);
    connect(&store_, &Store::loadedOnceChanged, this, &RootView::showNights);
    connect(&store_, &Store::selectedNightIDChanged, this, &RootView::showSelection);
    connect(&store_, &Store::showWelcomeChanged, this, &RootView::followWelcome);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item) return;
        const std::string id = item->data(nightIdRole).toString().toStdString();
        if (store_.selectedNightID() != id) store_.setSelectedNightID(id);
    });
    showNights();
    followWelcome();
}

void RootView::showNights() {
    const QSignalBlocker quiet(list_);
    list_->clear();
    // Newest first: the night a user opens the app for is at the top.
    const std::vector<Night>& nights = store_.nights();
    for (auto night = nights.rbegin(); night != nights.rend(); ++night) {
        const QString text = store_.title(*night) + "\n" +
                             QString::fromStdString(NightSummary::line(*night)) + "\n" +
                             QString::fromStdString(NightSummary::sentence(*night));
        auto* item = new QListWidgetItem(text, list_);
        item->setData(nightIdRole, QString::fromStdString(night->id));
    }
    status_->setText(nights.empty() ? store_.menuSummary() : QString());
    status_->setVisible(nights.empty());
    showSelection();
}

void RootView::showSelection() {
    const Night* selected = store_.selectedNight();
    if (!selected) return;
    const QString id = QString::fromStdString(selected->id);
    const QSignalBlocker quiet(list_);
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->data(nightIdRole).toString() == id) list_->setCurrentRow(row);
}

void RootView::followWelcome() {
    if (store_.showWelcome() && !welcome_) {
        welcome_ = new WelcomeView(store_,
            [this] {
                store_.setWelcomeDone(true);
                store_.setShowWelcome(false);
            },
            this);
        welcome_->setAttribute(Qt::WA_DeleteOnClose);
        welcome_->open();
    } else if (!store_.showWelcome() && welcome_) {
        welcome_->dismiss();
    }
}

} // namespace dormio

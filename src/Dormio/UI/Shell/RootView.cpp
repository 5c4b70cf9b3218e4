#include "Dormio/UI/Shell/RootView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/PageHost.h"
#include "Dormio/UI/Shell/RefreshButton.h"
#include "Dormio/UI/Shell/Sidebar.h"
#include "Dormio/UI/Shell/ToastView.h"
#include "Dormio/UI/Shell/WelcomeView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

namespace dormio {

namespace {

constexpr int toolbarHeight = 40;

// The strip over the page that holds the toolbar's items at its trailing end.
class Toolbar : public QWidget {
public:
    explicit Toolbar(QWidget* item) {
        setFixedHeight(toolbarHeight);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(12, 0, 12, 0);
        layout->addStretch(1);
        layout->addWidget(item);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(Theme::paper));
        painter.fillRect(QRectF(0, height() - 1, width(), 1), QColor(Theme::rule));
    }
};

// The line between the sidebar and the page, in the rule's colour of the appearance in force.
class Divider : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(Theme::paper));
        painter.fillRect(rect(), QColor(Theme::rule));
    }
};

class Columns : public QSplitter {
public:
    Columns(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {}

protected:
    QSplitterHandle* createHandle() override { return new Divider(orientation(), this); }
};

} // namespace

RootView::RootView(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), sidebar_(new Sidebar(store)), host_(new PageHost(store)),
      refresh_(new RefreshButton(store)), splitter_(new Columns(this)) {
    auto* detail = new QWidget;
    auto* column = new QVBoxLayout(detail);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(new Toolbar(refresh_));
    column->addWidget(host_, 1);

    splitter_->addWidget(sidebar_);
    splitter_->addWidget(detail);
    splitter_->setChildrenCollapsible(false);
    splitter_->setHandleWidth(1);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({Sidebar::idealWidth, 10000});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);
    // Made last, so the toast stands over everything else.
    overlay_ = new ToastOverlay(this, store.toast());

    connect(host_, &PageHost::titleChanged, this, &RootView::titleChanged);
    connect(&store_, &Store::showWelcomeChanged, this, &RootView::followWelcome);
    followWelcome();
}

QString RootView::title() const {
    return host_->title();
}

void RootView::followWelcome() {
    if (store_.showWelcome() && !welcome_) {
        welcome_ = new WelcomeView(
            store_,
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

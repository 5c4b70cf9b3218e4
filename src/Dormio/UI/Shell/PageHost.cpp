#include "Dormio/UI/Shell/PageHost.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Shell/PageFactory.h"
#include "Dormio/UI/Shell/PageLabels.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QVBoxLayout>

namespace dormio {

PageHost::PageHost(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), layout_(new QVBoxLayout(this)), shown_(store.page()),
      fade_(this, 1, [this](qreal opacity) { showFade(opacity); }) {
    layout_->setContentsMargins(0, 0, 0, 0);
    connect(&store_, &Store::pageChanged, this, &PageHost::showPage);
    showPage();
}

QString PageHost::title() const {
    if (page_ && !page_->windowTitle().isEmpty()) return page_->windowTitle();
    return PageLabels::title(shown_);
}

void PageHost::showPage() {
    const bool first = !page_;
    shown_ = store_.page();
    if (page_) {
        page_->removeEventFilter(this);
        page_->hide();
        page_->deleteLater();
    }
    page_ = makePage(shown_, store_, this);
    page_->installEventFilter(this);
    layout_->addWidget(page_);
    emit titleChanged(title());
    if (first) return;
    // The new page fades in over nothing: the old one is gone at once, with its state.
    fade_.jumpTo(0);
    fade_.animateTo(1, Motion::standardOrReduced());
}

void PageHost::showFade(qreal opacity) {
    if (!page_) return;
    if (opacity >= 1) {
        // Drawing through an effect costs a picture of the whole page on every paint: none at rest.
        page_->setGraphicsEffect(nullptr);
        return;
    }
    if (!effect_ || page_->graphicsEffect() != effect_) {
        effect_ = new QGraphicsOpacityEffect;
        page_->setGraphicsEffect(effect_);
    }
    effect_->setOpacity(opacity);
}

bool PageHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == page_ && event->type() == QEvent::WindowTitleChange) emit titleChanged(title());
    return QWidget::eventFilter(watched, event);
}

} // namespace dormio

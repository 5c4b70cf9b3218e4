#include "Dormio/UI/Pages/NightPage.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/FlatTrace.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/ShownPixels.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/HourText.h"
#include "Dormio/UI/Pages/KeptAwakeLedger.h"
#include "Dormio/UI/Pages/NightBody.h"
#include "Dormio/UI/Pages/NightHeader.h"
#include "Dormio/UI/Pages/PageScroll.h"
#include "Dormio/UI/Pages/SourceTexts.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <utility>

namespace dormio {

namespace {

// How far a body moves while it fades in or out.
constexpr qreal fadeRise = 6;

QScrollArea* scrollerFor(QWidget* content) {
    auto* scroller = new QScrollArea;
    ScrollBars::makeColumn(scroller);
    scroller->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    scroller->setWidget(content);
    return scroller;
}

QWidget* loadingState() {
    auto* loading = new QWidget;
    auto* stack = new QVBoxLayout(loading);
    const int padding = int(Theme::Space::xxl);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(int(Theme::Space::m));
    auto* trace = new FlatTrace(true);
    trace->setFixedSize(260, 30);
    stack->addWidget(trace);
    stack->addWidget(new Kicker(SourceTexts::readingLog(), Theme::ink3));
    stack->addWidget(new Label(QStringLiteral("Reading your Mac\u2019s power log\u2026"), Theme::Typo::lede(),
                               Theme::ink));
    auto* note =
        new Label(QStringLiteral("This takes a few seconds the first time. Nothing is changed \u2014 Dormio "
                                 "only reads."),
                  Theme::Typo::body(), Theme::ink2);
    note->setWrapping(QWIDGETSIZE_MAX);
    stack->addWidget(note);
    stack->addStretch();
    return loading;
}

// The old night's body as it showed, fading out and sinking while the new one (under it, veiled by the
// page's paper) fades in and rises into place. The fade covers both bodies' ground, from home to risen, and
// no more. Its first frame shows only the old picture on paper: it is opaque then, so the window paints
// nothing under it, and the new body is first painted in the frame after, as it starts to show.
class CrossFade : public QWidget {
public:
    CrossFade(QWidget* column, NightBody* incoming, QPixmap outgoing, QPoint outgoingAt, bool rise)
        : QWidget(column), incoming_(incoming), home_(incoming->pos()), outgoing_(std::move(outgoing)),
          rise_(rise ? fadeRise : 0), progress_(this, 0, [this](qreal) { step(); }) {
        const QPoint risen(0, int(std::ceil(rise_)));
        const QRect old(outgoingAt, outgoing_.deviceIndependentSize().toSize());
        const QRect ground = incoming->geometry()
                                 .united(incoming->geometry().translated(risen))
                                 .united(old)
                                 .united(old.translated(risen));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(ground & column->rect());
        outgoingAt_ = outgoingAt - pos();
        raise();
        show();
        step();
        progress_.animateTo(1, Motion::standardOrReduced(), [this] { finish(); });
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (testAttribute(Qt::WA_OpaquePaintEvent)) {
            QRegion paper(rect());
            if (!outgoing_.hasAlphaChannel())
                paper -= QRect(outgoingAt_, outgoing_.deviceIndependentSize().toSize());
            for (const QRect& part : paper)
                painter.fillRect(part, QColor(Theme::paper));
            painter.drawPixmap(outgoingAt_, outgoing_);
            return;
        }
        const qreal t = std::clamp<qreal>(progress_.value(), 0, 1); // the spring overshoots its end
        if (incoming_) {
            QColor veil = Theme::paper;
            veil.setAlphaF(float(veil.alphaF() * (1 - t)));
            painter.fillRect(incoming_->geometry().translated(-pos()), veil);
        }
        painter.setOpacity(1 - t);
        painter.drawPixmap(outgoingAt_ + QPointF(0, rise_ * t), outgoing_);
    }

private:
    void step() {
        const qreal t = progress_.value();
        setAttribute(Qt::WA_OpaquePaintEvent, t == 0);
        if (incoming_) incoming_->move(home_ + QPoint(0, int(std::lround(rise_ * (1 - t)))));
        update();
    }

    void finish() {
        if (incoming_) incoming_->move(home_);
        deleteLater();
    }

    QPointer<NightBody> incoming_;
    QPoint home_;
    QPixmap outgoing_;
    QPoint outgoingAt_; // in the fade's own coordinates
    qreal rise_;
    Motion::Value progress_;
};

// Moves an area's vertical scroll bar to a value along a curve, then goes.
class EasedScroll : public QObject {
public:
    EasedScroll(QAbstractScrollArea* area, int to, const Motion::Curve& curve)
        : QObject(area), bar_(area->verticalScrollBar()),
          value_(area->viewport(), bar_->value(), [this](qreal v) { bar_->setValue(int(std::lround(v))); }) {
        value_.animateTo(to, curve, [this] { deleteLater(); });
    }

private:
    QScrollBar* bar_;
    Motion::Value value_;
};

} // namespace

qreal NightPage::contentWidth(qreal available) {
    return std::min<qreal>(available, PageScroll::maxColumnWidth) - 2 * Theme::Space::xxl;
}

NightPage::NightPage(Store& store, QWidget* parent)
    : QWidget(parent), store_(store), frame_(new QVBoxLayout(this)) {
    frame_->setContentsMargins(0, 0, 0, 0);
    for (auto change : {&Store::nightsChanged, &Store::selectedNightIDChanged, &Store::loadingChanged,
                        &Store::loadedOnceChanged, &Store::logFailureChanged, &Store::nightStartHourChanged,
                        &Store::nightEndHourChanged})
        connect(&store_, change, this, &NightPage::refresh);
    connect(&store_.demoState(), &DemoState::snapshotScrollChanged, this, &NightPage::followSnapshotScroll);
    refresh();
}

NightPage::~NightPage() = default;

bool NightPage::wide() const {
    return width_ >= wideFrom;
}

void NightPage::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(Theme::paper));
}

void NightPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    width_ = contentWidth(width());
    if (body_) body_->setWide(wide());
}

void NightPage::refresh() {
    const Night* night = store_.selectedNight();
    setWindowTitle(night ? store_.title(*night) : QStringLiteral("Last Night"));
    if (night) {
        showNight(*night);
        return;
    }
    if (store_.loading() || !store_.loadedOnce()) {
        if (showing_ != Showing::loading || !view_) present(Showing::loading, loadingState());
        return;
    }
    const QString message =
        SourceTexts::noNightsYet(hourText(store_.nightStartHour()), hourText(store_.nightEndHour()));
    auto* content = new QWidget;
    auto* padded = new QVBoxLayout(content);
    const int padding = int(Theme::Space::xxl);
    padded->setContentsMargins(padding, padding, padding, padding);
    // A read that failed says why and what to do instead of suggesting that there is nothing to read.
    empty_ = new EmptyState(QStringLiteral("No nights on record"),
                            store_.logFailure().value_or(QStringLiteral("Nothing to read yet")), message,
                            QStringLiteral("See Right Now"), [this] { store_.setPage(Page::now); });
    padded->addWidget(empty_);
    padded->addStretch();
    present(Showing::empty, scrollerFor(content));
}

void NightPage::present(Showing showing, QWidget* view) {
    showing_ = showing;
    delete view_;
    view_ = view;
    frame_->addWidget(view_);
    if (showing != Showing::night)
        scroller_ = nullptr, column_ = nullptr, header_ = nullptr, body_ = nullptr, spare_ = nullptr;
    if (showing != Showing::empty) empty_ = nullptr;
}

void NightPage::showNight(const Night& night) {
    if (showing_ != Showing::night) {
        auto* scroller = new PageScroll(QString());
        bottom_ = new QWidget;
        bottom_->setFixedHeight(1);
        scroller->addBlock(bottom_);
        present(Showing::night, scroller);
        scroller_ = scroller;
        column_ = scroller->widget();
    }
    if (header_) {
        header_->setNight(night);
    } else {
        header_ = new NightHeader(store_, night);
        scroller_->insertBlock(0, header_);
    }
    replaceBody(night);
}

void NightPage::replaceBody(const Night& night) {
    if (body_ && body_->night() == night) return;
    NightBody* old = body_;
    // Only a change of night is animated; the same night with new data simply takes the old one's place.
    // The old body is taken as it shows before the new one comes in and pushes it out of view: only what
    // the scroller shows of it, copied from the window's last frame where it can be.
    QPixmap outgoing;
    QPoint outgoingAt;
    if (old && old->night().id != night.id && isVisible()) {
        const QWidget* viewport = scroller_->viewport();
        const QRect shown = old->rect() & QRect(old->mapFrom(viewport, QPoint(0, 0)), viewport->size());
        if (!shown.isEmpty()) {
            outgoing = shownPixels(old, shown);
            outgoingAt = old->mapTo(column_, shown.topLeft());
        }
    }
    body_ = nextBody(night);
    scroller_->insertBlock(1, body_);
    if (!old) return;

    // The old body stays, hidden, to tell the night after this one.
    column_->layout()->removeWidget(old);
    old->hide();
    spare_ = old;
    delete fade_;
    if (outgoing.isNull()) return;
    column_->layout()->activate();
    fade_ = new CrossFade(column_, body_, std::move(outgoing), outgoingAt, !Motion::reduceMotion());
}

NightBody* NightPage::nextBody(const Night& night) {
    if (!spare_) return new NightBody(store_, night, wide());
    // Building a body's widgets and taking them down again costs more than a frame; the spare's are
    // told the new night while it is hidden, where a change of text or of a part shown lays nothing out.
    NightBody* next = std::exchange(spare_, nullptr);
    next->setWide(wide());
    next->setNight(night);
    return next;
}

QWidget* NightPage::scrollTarget(const QString& id) const {
    if (!column_) return nullptr;
    if (id == QStringLiteral("top")) return header_;
    if (id == QStringLiteral("bottom")) return bottom_;
    if (id == QStringLiteral("kept")) return body_ ? body_->kept() : nullptr;
    if (body_ && id == QString::fromStdString(body_->night().id)) return body_;
    return nullptr;
}

void NightPage::followSnapshotScroll() {
    const auto& target = store_.demoState().snapshotScroll();
    if (!target || !scroller_) return;
    const QString id = QString::fromStdString(*target);
    QWidget* widget = scrollTarget(id);
    if (!widget) return;
    // The target may have just been built: settle the layouts and the scroll range first.
    for (QObject* pending : {static_cast<QObject*>(column_), static_cast<QObject*>(scroller_->widget()),
                             static_cast<QObject*>(scroller_)})
        QCoreApplication::sendPostedEvents(pending, QEvent::LayoutRequest);
    const QPoint top = widget->mapTo(scroller_->widget(), QPoint(0, 0));
    const int viewport = scroller_->viewport()->height();
    const int to = id == QStringLiteral("bottom") ? top.y() + widget->height() - viewport : top.y();
    delete easedScroll_;
    const double seconds = store_.demoState().snapshotScrollSeconds();
    if (seconds > 0)
        easedScroll_ = new EasedScroll(scroller_, to, Motion::easeInOut(seconds));
    else
        scroller_->verticalScrollBar()->setValue(to);
}

} // namespace dormio

#include "Dormio/UI/Shell/WelcomeView.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "Dormio/UI/Shell/TourParts.h"
#include "Dormio/UI/Shell/WelcomePage.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace dormio {

namespace {

// A borderless text button for a quiet way out.
ButtonStyle plainStyle() {
    ButtonStyle style{Theme::systemFont(12, QFont::Medium)};
    style.label = Theme::ink2;
    style.labelHover = Theme::ink;
    style.fill = style.fillHover = style.fillPressed = clear;
    style.outline = style.outlineHover = clear;
    style.padding = 4;
    style.height = 22;
    return style;
}

// A button out of sight keeps its place in the row, and its click for the keys that stand for it.
void keepPlace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

WelcomeView::WelcomeView(Store& store, std::function<void()> onFinish, QWidget* parent)
    : QDialog(parent, Qt::Sheet), store_(store), onFinish_(std::move(onFinish)),
      kicker_(new Kicker(QString(), Theme::ink3)), skip_(new Button(plainStyle(), QStringLiteral("Skip"))),
      back_(new Button(QuietButtonStyle{Theme::ink, true}, QStringLiteral("Back"))),
      primary_(new Button(PrimaryButtonStyle{true}, QString())), progress_(new TourProgress),
      pages_(new TourPages) {
    setWindowTitle(QStringLiteral("Welcome to Dormio"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(fixedSize);
    skip_->setToolTip(QStringLiteral("Skip the introduction (Esc)"));
    keepPlace(skip_);
    keepPlace(back_);
    connect(skip_, &QAbstractButton::clicked, this, &WelcomeView::finish);
    connect(back_, &QAbstractButton::clicked, this, [this] { go(-1); });
    connect(primary_, &QAbstractButton::clicked, this, [this] {
        if (step_ == stepCount - 1)
            finish();
        else
            go(1);
    });

    const int xl = int(Theme::Space::xl);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(xl, int(Theme::Space::l), xl, 0);
    header->addWidget(kicker_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(skip_, 0, Qt::AlignVCenter);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(xl, int(Theme::Space::s), xl, 0);
    bar->addWidget(progress_);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(xl, xl, xl, xl);
    footer->setSpacing(int(Theme::Space::m));
    footer->addWidget(back_);
    footer->addStretch(1);
    footer->addWidget(primary_);

    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addLayout(header);
    stack->addLayout(bar);
    stack->addWidget(pages_, 1);
    stack->addLayout(footer);

    showStep();
}

void WelcomeView::dismiss() {
    dismissed_ = true;
    close();
}

void WelcomeView::go(int delta) {
    forward_ = delta > 0;
    const int next = std::clamp(step_ + delta, 0, stepCount - 1);
    if (next == step_) return;
    step_ = next;
    showStep();
}

void WelcomeView::showStep() {
    const bool last = step_ == stepCount - 1;
    kicker_->setText(QStringLiteral("Dormio · %1 / %2").arg(step_ + 1).arg(stepCount));
    // Skip leaves sight on the last step but stays enabled: Esc still ends the tour there.
    skip_->setVisible(!last);
    back_->setVisible(step_ > 0);
    back_->setEnabled(step_ > 0);
    primary_->setText(last ? QStringLiteral("Get Started") : QStringLiteral("Continue"));
    progress_->setFraction((step_ + 1) * 0.25);
    pages_->present(page(step_), forward_);
}

QWidget* WelcomeView::page(int step) {
    switch (step) {
    case 0:
        return new WelcomePage(QStringLiteral("What your Mac did overnight"), SourceTexts::welcomeReads(),
                               WelcomeArt::sampleNight());
    case 1:
        return new WelcomePage(
            QStringLiteral("Four levels, one line"),
            QStringLiteral("Each morning: a hypnogram of the night, a rest grade out of 100, and "
                           "every wake in plain words — with the raw log one click away."),
            WelcomeArt::stateLegend());
    case 2:
        return new WelcomePage(
            QStringLiteral("Catch what keeps it awake"),
            QStringLiteral("Right Now lists every app holding your Mac awake, with a quiet Quit "
                           "button. The moon in the menu bar changes when one is."),
            WelcomeArt::holderAndShortcuts());
    default:
        return new WelcomePage(
            QStringLiteral("Measure every night"),
            QStringLiteral("Dormio needs no permissions or admin password. To estimate energy per "
                           "app it has to be running overnight."),
            new LoginArt(store_));
    }
}

void WelcomeView::finish() {
    // The host decides what ending means; a host that does nothing leaves the tour up.
    if (onFinish_) onFinish_();
}

void WelcomeView::reject() {
    skip_->click();
}

void WelcomeView::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        primary_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WelcomeView::closeEvent(QCloseEvent* event) {
    // Closed by the window manager: the system's dismissal, which stops asking for the tour without
    // recording it as seen. The host's own close (dismiss) says nothing more.
    if (!std::exchange(dismissed_, true)) store_.setShowWelcome(false);
    event->accept();
}

void WelcomeView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(Theme::paper));
}

} // namespace dormio

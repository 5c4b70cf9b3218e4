#include "OstrelKit/Windows/UpdateView.h"

#include "OstrelKit/Updater/Updater.h"
#include "OstrelKit/Windows/WindowHost.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace dormio {

namespace {

using Kind = Updater::Phase::Kind;

QString notes(const Updater& updater, const UpdateFeed& feed) {
    return feed.notes ? *feed.notes : "You have " + updater.currentVersion() + ".";
}

QLabel* centredLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

} // namespace

UpdateView::UpdateView(Updater& updater, QWidget* parent)
    : QWidget(parent), updater_(updater), title_(centredLabel(this)), detail_(centredLabel(this)),
      progress_(new QProgressBar(this)), ok_(new QPushButton(QStringLiteral("OK"), this)) {
    QFont titleFont = title_->font();
    titleFont.setPixelSize(18);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    applySecondaryInk();
    progress_->setTextVisible(false);
    progress_->setFixedWidth(260);
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, [] {
        if (QWidget* window = WindowHost::window(windowID)) window->close();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 30, 26, 20);
    layout->setSpacing(14);
    layout->addWidget(title_);
    layout->addWidget(detail_);
    layout->addWidget(progress_, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    connect(&updater_, &Updater::phaseChanged, this, &UpdateView::refresh);
    refresh();
}

UpdateView::Texts UpdateView::texts(const Updater& updater) {
    const QString name = updater.appName();
    if (!updater.isUpdatable())
        return {QStringLiteral("Updates aren’t available"),
                "This copy of " + name + " isn’t set up to update itself."};
    const Updater::Phase& phase = updater.phase();
    switch (phase.kind) {
    case Kind::idle:
    case Kind::checking:
        return {QStringLiteral("Checking for updates…"), {}};
    case Kind::upToDate:
        return {QStringLiteral("You’re up to date"),
                name + " " + updater.currentVersion() + " is the newest version."};
    case Kind::available:
        return {name + " " + phase.feed->version + " is available", notes(updater, *phase.feed)};
    case Kind::downloading:
        return {"Downloading " + name + " " + phase.feed->version + "…", {}};
    case Kind::ready:
        return {name + " " + phase.feed->version + " is ready", notes(updater, *phase.feed)};
    case Kind::failed:
        return {QStringLiteral("Update problem"), phase.message};
    }
    return {};
}

void UpdateView::show(Updater& updater) {
    WindowHost::show(windowID, windowTitle, QSize(width, 0), [&updater] { return new UpdateView(updater); });
}

void UpdateView::refresh() {
    const Kind kind = updater_.phase().kind;
    const bool busy = updater_.isUpdatable() && (kind == Kind::idle || kind == Kind::checking);
    const bool downloading = updater_.isUpdatable() && kind == Kind::downloading;
    const Texts words = texts(updater_);
    title_->setText(words.title);
    detail_->setText(words.detail);
    detail_->setVisible(!words.detail.isEmpty());
    progress_->setVisible(busy || downloading);
    progress_->setRange(0, busy ? 0 : 1000);
    if (downloading) progress_->setValue(int(std::lround(updater_.phase().progress * 1000)));
    ok_->setVisible(!downloading);
}

void UpdateView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applySecondaryInk();
    QWidget::changeEvent(event);
}

// The detail is the window's ink, softened; it follows the palette when the appearance changes.
void UpdateView::applySecondaryInk() {
    QPalette secondary = palette();
    QColor ink = secondary.color(QPalette::WindowText);
    ink.setAlphaF(0.6f);
    secondary.setColor(QPalette::WindowText, ink);
    detail_->setPalette(secondary);
}

} // namespace dormio

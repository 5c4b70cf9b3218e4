#include "OstrelKit/Windows/UpdateView.h"

#include "OstrelKit/Updater/UpdateUrl.h"
#include "OstrelKit/Updater/Updater.h"
#include "OstrelKit/Windows/KitStyle.h"
#include "OstrelKit/Windows/Spinner.h"
#include "OstrelKit/Windows/WindowHost.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

namespace dormio {

namespace {

using Kind = Updater::Phase::Kind;

QString notes(const Updater& updater, const UpdateFeed& feed) {
    return feed.notes ? *feed.notes : "You have " + updater.currentVersion() + ".";
}

// Only an update that can be checked and swapped in place is downloaded here; any other is offered as
// its web page.
bool offersDownload(const Updater& updater, const UpdateFeed& feed) {
    return feed.download && updater.canInstallInPlace() && updater.publicKey();
}

QLabel* centredLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

} // namespace

AppIconView::AppIconView(int size, QWidget* parent) : QWidget(parent), size_(size) {
    setFixedSize(size, size);
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 38));
    shadow->setBlurRadius(6);
    shadow->setOffset(0, 3);
    setGraphicsEffect(shadow);
}

void AppIconView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QGuiApplication::windowIcon().paint(&painter, QRect(0, 0, size_, size_));
}

UpdateView::UpdateView(Updater& updater, QWidget* parent)
    : QWidget(parent), updater_(updater), title_(centredLabel(this)), spinner_(new Spinner(this)),
      detailScroll_(new QScrollArea(this)), detail_(centredLabel(nullptr)), note_(centredLabel(this)),
      progress_(new QProgressBar(this)), later_(new QPushButton(QStringLiteral("Later"), this)),
      primary_(new QPushButton(this)) {
    title_->setFont(KitStyle::font(18, true));
    note_->setFont(KitStyle::font(KitStyle::caption));
    detailScroll_->setWidget(detail_);
    detailScroll_->setWidgetResizable(true);
    detailScroll_->setFrameShape(QFrame::NoFrame);
    detailScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    detailScroll_->viewport()->setAutoFillBackground(false);
    detail_->setAutoFillBackground(false);
    progress_->setTextVisible(false);
    progress_->setRange(0, 1000);
    progress_->setFixedWidth(barWidth);
    primary_->setDefault(true);
    connect(later_, &QPushButton::clicked, this, &UpdateView::closeWindow);
    connect(primary_, &QPushButton::clicked, this, &UpdateView::act);
    // Return presses the default button, as in a dialog.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, [this] {
            if (primary_->isVisible()) primary_->animateClick();
        });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(later_);
    buttons->addWidget(primary_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 30, 26, 20);
    layout->setSpacing(14);
    layout->addWidget(new AppIconView(64, this), 0, Qt::AlignHCenter);
    layout->addWidget(title_);
    layout->addWidget(spinner_, 0, Qt::AlignHCenter);
    layout->addWidget(detailScroll_);
    layout->addWidget(note_);
    layout->addWidget(progress_, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    applyInks();
    connect(&updater_, &Updater::phaseChanged, this, &UpdateView::refresh);
    refresh();
}

UpdateView::Content UpdateView::content(const Updater& updater) {
    const QString name = updater.appName();
    const QStringList ok{QStringLiteral("OK")};
    if (!updater.isUpdatable())
        return {QStringLiteral("Updates aren’t available"),
                "This copy of " + name + " isn’t set up to update itself.", Indicator::none, Note::none, ok};
    const Updater::Phase& phase = updater.phase();
    switch (phase.kind) {
    case Kind::idle:
    case Kind::checking:
        return {QStringLiteral("Checking for updates…"), {}, Indicator::spinner, Note::none, ok};
    case Kind::upToDate:
        return {QStringLiteral("You’re up to date"),
                name + " " + updater.currentVersion() + " is the newest version.", Indicator::none,
                Note::none, ok};
    case Kind::available:
        return {name + " " + phase.feed->version + " is available",
                notes(updater, *phase.feed),
                Indicator::none,
                updater.canInstallInPlace() ? Note::none : Note::moveToInstall,
                {QStringLiteral("Later"), offersDownload(updater, *phase.feed)
                                              ? QStringLiteral("Download & Install")
                                              : QStringLiteral("Open Download Page")}};
    case Kind::downloading:
        return {"Downloading " + name + " " + phase.feed->version + "…", {}, Indicator::bar, Note::none, {}};
    case Kind::ready:
        return {name + " " + phase.feed->version + " is ready",
                notes(updater, *phase.feed),
                Indicator::none,
                Note::installsAtQuit,
                {QStringLiteral("Later"), QStringLiteral("Restart Now")}};
    case Kind::failed:
        return {QStringLiteral("Update problem"), phase.message, Indicator::none, Note::none, ok};
    }
    return {};
}

QString UpdateView::noteText(Note note, const QString& appName) {
    switch (note) {
    case Note::none:
        return {};
    case Note::moveToInstall:
        // The places an update can replace the app in: a folder the user may change, on a disk of this
        // computer's own.
        return "Move " + appName +
               " to a folder of your own on this computer, such as Applications in your home folder, to get "
               "updates automatically.";
    case Note::installsAtQuit:
        return "It installs automatically the next time you quit " + appName + ".";
    }
    return {};
}

void UpdateView::show(Updater& updater) {
    WindowHost::show(windowID, windowTitle, QSize(width, 0), [&updater] { return new UpdateView(updater); });
}

void UpdateView::closeWindow() {
    if (QWidget* window = WindowHost::window(windowID)) window->close();
}

void UpdateView::act() {
    const Updater::Phase& phase = updater_.phase();
    if (!updater_.isUpdatable()) return closeWindow();
    switch (phase.kind) {
    case Kind::available:
        if (offersDownload(updater_, *phase.feed)) return updater_.download(*phase.feed);
        // The address comes from the feed: only a web page is ever opened.
        if (const auto page = UpdateUrl::parse(phase.feed->url)) QDesktopServices::openUrl(*page);
        return closeWindow();
    case Kind::ready:
        return updater_.installAndRelaunch();
    default:
        return closeWindow();
    }
}

void UpdateView::refresh() {
    const Content shown = content(updater_);
    const bool notes = updater_.isUpdatable() &&
                       (updater_.phase().kind == Kind::available || updater_.phase().kind == Kind::ready);
    title_->setText(shown.title);
    spinner_->setVisible(shown.indicator == Indicator::spinner);
    progress_->setVisible(shown.indicator == Indicator::bar);
    if (shown.indicator == Indicator::bar)
        progress_->setValue(int(std::lround(std::clamp(updater_.phase().progress, 0.0, 1.0) * 1000)));

    detail_->setFont(notes ? KitStyle::font(KitStyle::callout) : KitStyle::font(KitStyle::body));
    detail_->setText(shown.detail);
    detailScroll_->setVisible(!shown.detail.isEmpty());
    const int textWidth = width - 2 * 26;
    detailScroll_->setFixedHeight(std::min(detail_->heightForWidth(textWidth), maxNotesHeight));

    note_->setText(noteText(shown.note, updater_.appName()));
    note_->setFont(KitStyle::font(shown.note == Note::moveToInstall ? KitStyle::caption : KitStyle::callout));
    note_->setVisible(shown.note != Note::none);
    applyInks();

    later_->setVisible(shown.buttons.size() == 2);
    primary_->setVisible(!shown.buttons.isEmpty());
    // A button's "&" marks its access key; these texts mean the character itself.
    if (!shown.buttons.isEmpty()) primary_->setText(QString(shown.buttons.last()).replace(u'&', "&&"));
}

void UpdateView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyInks();
    QWidget::changeEvent(event);
}

void UpdateView::applyInks() {
    KitStyle::setInk(detail_, KitStyle::secondary(palette()));
    const bool warning = content(updater_).note == Note::moveToInstall;
    KitStyle::setInk(note_, warning ? KitStyle::orange(palette()) : KitStyle::secondary(palette()));
}

} // namespace dormio

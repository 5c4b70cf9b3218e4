#include "OstrelKit/Windows/UpdateSettingsRows.h"

#include "OstrelKit/KitClock.h"
#include "OstrelKit/Updater/Updater.h"
#include "OstrelKit/Windows/KitStyle.h"
#include "OstrelKit/Windows/RelativeDate.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace dormio {

namespace {

using Kind = Updater::Phase::Kind;

constexpr int radius = 10;
// "Last checked 5 minutes ago." goes stale while the window stays open.
constexpr double statusRefresh = 60;

QLabel* textLabel(const QString& text, int pixels, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(KitStyle::font(pixels));
    return label;
}

QWidget* row(QWidget* parent) {
    auto* widget = new QWidget(parent);
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    return widget;
}

} // namespace

UpdateSettingsRows::UpdateSettingsRows(Updater& updater, QWidget* parent)
    : QWidget(parent), updater_(updater), header_(textLabel(header, KitStyle::body, this)),
      group_(new QWidget(this)), rows_(new QVBoxLayout(group_)),
      version_(textLabel(updater.currentVersion(), KitStyle::body, this)),
      automatic_(new QCheckBox(QStringLiteral("Download and install updates automatically"), this)),
      footnote_(textLabel("New versions download in the background and install when you quit " +
                              updater.appName() + ".",
                          KitStyle::caption, this)),
      status_(textLabel({}, KitStyle::callout, this)),
      checkNow_(new QPushButton(QStringLiteral("Check Now"), this)) {
    header_->setFont(KitStyle::font(KitStyle::body, true));
    footnote_->setWordWrap(true);
    status_->setWordWrap(true);
    automatic_->setFont(KitStyle::font(KitStyle::body));
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(0);

    QWidget* versionRow = row(group_);
    versionRow->layout()->addWidget(textLabel(QStringLiteral("Version"), KitStyle::body, versionRow));
    static_cast<QHBoxLayout*>(versionRow->layout())->addStretch();
    versionRow->layout()->addWidget(version_);
    addRow(versionRow);
    // The footnote explains the switch, so it stands under it in the same row.
    auto* automaticRow = new QWidget(group_);
    auto* automaticRows = new QVBoxLayout(automaticRow);
    automaticRows->setContentsMargins(12, 8, 12, 8);
    automaticRows->setSpacing(4);
    automaticRows->addWidget(automatic_);
    automaticRows->addWidget(footnote_);
    addRow(automaticRow);
    QWidget* checkRow = row(group_);
    static_cast<QHBoxLayout*>(checkRow->layout())->addWidget(status_, 1);
    checkRow->layout()->addWidget(checkNow_);
    addRow(checkRow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    header_->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(header_);
    layout->addWidget(group_);

    // The switch writes through the updater, which keeps the choice; the box then shows what it holds.
    connect(automatic_, &QCheckBox::clicked, this,
            [this](bool on) { updater_.setAutomaticallyDownloads(on); });
    // The same as the menu command: a user-initiated check, after this click has been handled.
    connect(checkNow_, &QPushButton::clicked, this, [this] {
        QMetaObject::invokeMethod(
            &updater_, [updater = &updater_] { updater->check(true); }, Qt::QueuedConnection);
    });
    for (auto changed :
         {&Updater::phaseChanged, &Updater::lastCheckedChanged, &Updater::automaticallyDownloadsChanged})
        connect(&updater_, changed, this, &UpdateSettingsRows::refresh);
    updater_.clock().every(statusRefresh, this, [this] { refresh(); });
    applyInks();
    refresh();
}

QString UpdateSettingsRows::updateStatus(const Updater& updater) {
    const Updater::Phase& phase = updater.phase();
    switch (phase.kind) {
    case Kind::idle:
        if (const auto checked = updater.lastChecked())
            return "Last checked " + RelativeDate::text(*checked, updater.clock().now()) + ".";
        return {};
    case Kind::checking:
        return QStringLiteral("Checking…");
    case Kind::upToDate:
        return QStringLiteral("You’re up to date.");
    case Kind::available:
        return "Version " + phase.feed->version + " is available.";
    case Kind::downloading:
        // Whole percent, cut rather than rounded, so that 100 % is only ever said at the end.
        return "Downloading " + phase.feed->version + "… " +
               QString::number(int(std::clamp(phase.progress, 0.0, 1.0) * 100)) + "%";
    case Kind::ready:
        return "Version " + phase.feed->version + " installs when you quit.";
    case Kind::failed:
        return phase.message;
    }
    return {};
}

void UpdateSettingsRows::addRow(QWidget* row) {
    rows_->addWidget(row);
    rowWidgets_.append(row);
}

void UpdateSettingsRows::refresh() {
    const QSignalBlocker quiet(automatic_);
    automatic_->setChecked(updater_.automaticallyDownloads());
    status_->setText(updateStatus(updater_));
}

void UpdateSettingsRows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A grouped form's card: the window's base colour, outlined.
    const QColor fill = palette().color(QPalette::Base);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.12f);
    const QRectF box = QRectF(group_->geometry()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(line, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, radius, radius);
    // A hairline between rows, inset like the rows' text.
    for (qsizetype index = 0; index + 1 < rowWidgets_.size(); ++index) {
        const double y = group_->y() + rowWidgets_[index]->geometry().bottom() + 1;
        painter.drawLine(QPointF(box.left() + 12, y), QPointF(box.right() - 12, y));
    }
}

void UpdateSettingsRows::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyInks();
    QWidget::changeEvent(event);
}

void UpdateSettingsRows::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void UpdateSettingsRows::applyInks() {
    const QColor secondary = KitStyle::secondary(palette());
    for (QWidget* label : {static_cast<QWidget*>(header_), static_cast<QWidget*>(version_),
                           static_cast<QWidget*>(footnote_), static_cast<QWidget*>(status_)})
        KitStyle::setInk(label, secondary);
}

} // namespace dormio

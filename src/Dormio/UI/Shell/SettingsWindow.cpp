#include "Dormio/UI/Shell/SettingsWindow.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dormio {

namespace {

// Picks the entry holding `value`, adding it when the stored value is not one of the usual choices.
void select(QComboBox* box, int value, const QString& text) {
    int index = box->findData(value);
    if (index < 0) {
        box->addItem(text, value);
        index = box->count() - 1;
    }
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index);
}

QString hourText(int hour) {
    return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'));
}
QString minutesText(int minutes) {
    return QStringLiteral("%1 minutes").arg(minutes);
}

void setChecked(QCheckBox* box, bool on) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

} // namespace

SettingsWindow::SettingsWindow(Store& store, bool single, QWidget* parent) : QWidget(parent), store_(store) {
    setWindowTitle("Dormio Settings");
    setObjectName("Settings");
    setFixedSize(fixedSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (single) {
        layout->addWidget(makeForm());
    } else {
        auto* tabs = new QTabWidget(this);
        tabs->addTab(makeForm(), Symbols::icon("gearshape", QColor(Theme::ink), 16), "General");
        layout->addWidget(tabs);
    }

    for (auto changed :
         {&Store::nightStartHourChanged, &Store::nightEndHourChanged, &Store::trackEnergyChanged,
          &Store::sampleMinutesChanged, &Store::loginItemEnabledChanged, &Store::showMenuBarChanged})
        connect(&store_, changed, this, &SettingsWindow::showStore);
    showStore();
}

QWidget* SettingsWindow::makeForm() {
    auto* form = new QWidget;
    auto* rows = new QFormLayout(form);
    rows->setContentsMargins(16, 16, 16, 16);
    rows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);

    start_ = new QComboBox(form);
    for (int hour : {17, 18, 19, 20, 21, 22, 23, 0, 1, 2})
        start_->addItem(hourText(hour), hour);
    end_ = new QComboBox(form);
    for (int hour = 4; hour <= 11; ++hour)
        end_->addItem(hourText(hour), hour);
    track_ = new QCheckBox("Measure energy per app while Dormio is open", form);
    sample_ = new QComboBox(form);
    for (int minutes : {2, 5, 10})
        sample_->addItem(minutesText(minutes), minutes);
    login_ = new QCheckBox("Open Dormio at login, so it can measure every night", form);
    menuBar_ = new QCheckBox("Show last night’s trace in the menu bar", form);

    rows->addRow("Starts", start_);
    rows->addRow("Ends", end_);
    rows->addRow(track_);
    rows->addRow("Sample every", sample_);
    rows->addRow(login_);
    rows->addRow(menuBar_);

    connect(start_, &QComboBox::activated, this,
            [this] { store_.setNightStartHour(start_->currentData().toInt()); });
    connect(end_, &QComboBox::activated, this,
            [this] { store_.setNightEndHour(end_->currentData().toInt()); });
    connect(track_, &QCheckBox::toggled, this, [this](bool on) { store_.setTrackEnergy(on); });
    connect(sample_, &QComboBox::activated, this,
            [this] { store_.setSampleMinutes(sample_->currentData().toInt()); });
    // The store decides; the box then shows what it reports.
    connect(login_, &QCheckBox::toggled, this, [this](bool on) {
        store_.setLoginItem(on);
        setChecked(login_, store_.loginItemEnabled());
    });
    connect(menuBar_, &QCheckBox::toggled, this, [this](bool on) { store_.setShowMenuBar(on); });

    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(form);
    return scroll;
}

void SettingsWindow::showStore() {
    select(start_, store_.nightStartHour(), hourText(store_.nightStartHour()));
    select(end_, store_.nightEndHour(), hourText(store_.nightEndHour()));
    setChecked(track_, store_.trackEnergy());
    select(sample_, store_.sampleMinutes(), minutesText(store_.sampleMinutes()));
    sample_->setEnabled(store_.trackEnergy());
    setChecked(login_, store_.loginItemEnabled());
    setChecked(menuBar_, store_.showMenuBar());
}

} // namespace dormio

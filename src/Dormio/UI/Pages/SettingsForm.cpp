#include "Dormio/UI/Pages/SettingsForm.h"

#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Settings.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Kit/Toggle.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "Dormio/UI/Pages/HourText.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "DormioKit/NightWindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>

namespace dormio {

namespace {

// A picker's title before its menu; the title greys out with the menu.
class Picker : public QWidget {
public:
    Picker(const QString& title, QComboBox* menu)
        : title_(new Label(title, Theme::Typo::body(), Theme::ink)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(int(Theme::Space::s));
        row->addWidget(title_, 0, Qt::AlignVCenter);
        row->addWidget(menu, 1, Qt::AlignVCenter);
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) title_->setColor(isEnabled() ? Theme::ink : Theme::ink3);
        QWidget::changeEvent(event);
    }

private:
    Label* title_;
};

// The setting's choices, each named by `text`.
QComboBox* menu(const Setting<int>& setting, QString (*text)(int)) {
    auto* box = new QComboBox;
    box->setFont(Theme::Typo::body());
    for (int value : setting.choices())
        box->addItem(text(value), value);
    return box;
}

QString minutesText(int minutes) {
    return QStringLiteral("%1 minutes").arg(minutes);
}

Label* note(const QString& text, const Font& font = Theme::Typo::small()) {
    auto* label = new Label(text, font, Theme::ink2);
    label->setWrapping(QWIDGETSIZE_MAX);
    return label;
}

QVBoxLayout* stack(QWidget* content, qreal spacing) {
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(int(spacing));
    return layout;
}

// The store reads every setting as one of its choices, so a menu always has an entry to show.
void select(QComboBox* box, int value) {
    box->setCurrentIndex(box->findData(value));
}

void setChecked(QCheckBox* box, bool on) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

} // namespace

SettingsForm::SettingsForm(Store& store, bool showHeader, QWidget* parent) : QWidget(parent), store_(store) {
    auto* cards = stack(this, Theme::Space::l);
    if (showHeader) {
        header_ = new PageHeader(QStringLiteral("Preferences"), QStringLiteral("Settings"), nullptr);
        cards->addWidget(header_);
        cards->addSpacing(int(Theme::Space::s));
    }
    const qreal padding = Theme::Space::l;
    nightCard_ = new Panel(QStringLiteral("Your night"), QString(), padding, nightContent());
    cards->addWidget(nightCard_);
    cards->addWidget(new Panel(QStringLiteral("Energy sampling"), std::nullopt, padding, energyContent()));
    cards->addWidget(new Panel(QStringLiteral("Menu bar"), std::nullopt, padding, menuBarContent()));
    cards->addWidget(new Panel(QStringLiteral("Help"), std::nullopt, padding, helpContent()));
    cards->addWidget(new Panel(QStringLiteral("Privacy"), std::nullopt, padding, privacyContent()));

    for (auto changed :
         {&Store::nightStartHourChanged, &Store::nightEndHourChanged, &Store::trackEnergyChanged,
          &Store::sampleMinutesChanged, &Store::loginItemEnabledChanged, &Store::loginItemMessageChanged,
          &Store::showMenuBarChanged})
        connect(&store_, changed, this, &SettingsForm::showStore);
    showStore();
}

QString SettingsForm::nightNote(int startHour, int endHour) {
    const NightWindow window{startHour, endHour};
    return hourText(startHour) + QStringLiteral(" → ") + hourText(endHour) + QStringLiteral(" · ") +
           QString::number(window.hours()) + QStringLiteral(" h");
}

QWidget* SettingsForm::nightContent() {
    start_ = menu(Settings::nightStartHour, hourText);
    end_ = menu(Settings::nightEndHour, hourText);
    // `activated` is the user's choice alone: showing the store's value writes nothing back.
    connect(start_, &QComboBox::activated, this,
            [this] { store_.setNightStartHour(start_->currentData().toInt()); });
    connect(end_, &QComboBox::activated, this,
            [this] { store_.setNightEndHour(end_->currentData().toInt()); });

    auto* pickers = new QWidget;
    pickers->setMaximumWidth(420);
    auto* row = new QHBoxLayout(pickers);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(int(Theme::Space::l));
    row->addWidget(new Picker(QStringLiteral("Starts"), start_));
    row->addWidget(new Picker(QStringLiteral("Ends"), end_));

    auto* content = new QWidget;
    auto* column = stack(content, Theme::Space::m);
    column->addWidget(pickers, 0, Qt::AlignLeading);
    column->addWidget(note(SourceTexts::nightWindowNote()));
    return content;
}

QWidget* SettingsForm::energyContent() {
    track_ = new Toggle(QStringLiteral("Measure energy per app while Dormio is open"));
    connect(track_, &QCheckBox::clicked, this, [this](bool on) { store_.setTrackEnergy(on); });

    sample_ = menu(Settings::sampleMinutes, minutesText);
    connect(sample_, &QComboBox::activated, this,
            [this] { store_.setSampleMinutes(sample_->currentData().toInt()); });
    interval_ = new Picker(QStringLiteral("Sample every"), sample_);
    interval_->setMaximumWidth(260);

    login_ = new Toggle(QStringLiteral("Open Dormio at login, so it can measure every night"));
    // The system decides: the switch then shows what the store reports, refused or not.
    connect(login_, &QCheckBox::clicked, this, [this](bool on) {
        store_.setLoginItem(on);
        setChecked(login_, store_.loginItemEnabled());
    });
    loginMessage_ = new Label(QString(), Theme::Typo::small(), Theme::rose);
    loginMessage_->setWrapping(QWIDGETSIZE_MAX);

    delete_ =
        new Button(QuietButtonStyle{Theme::rose, false}, QStringLiteral("Delete Measured Energy Data…"));
    connect(delete_, &QAbstractButton::clicked, this, &SettingsForm::confirmDelete);

    auto* content = new QWidget;
    auto* column = stack(content, Theme::Space::m);
    column->addWidget(track_);
    column->addWidget(interval_, 0, Qt::AlignLeading);
    column->addWidget(login_);
    column->addWidget(loginMessage_);
    column->addWidget(note(SourceTexts::energyNote()));
    column->addWidget(delete_, 0, Qt::AlignLeading);
    return content;
}

QWidget* SettingsForm::menuBarContent() {
    menuBar_ = new Toggle(QStringLiteral("Show last night’s trace in the menu bar"));
    connect(menuBar_, &QCheckBox::clicked, this, [this](bool on) { store_.setShowMenuBar(on); });
    auto* content = new QWidget;
    auto* column = stack(content, Theme::Space::m);
    column->addWidget(menuBar_);
    column->addWidget(note(QStringLiteral("The moon changes when an app is keeping your Mac awake.")));
    return content;
}

QWidget* SettingsForm::helpContent() {
    welcome_ = new Button(QuietButtonStyle{Theme::ink, false}, QStringLiteral("Show Welcome Again"));
    connect(welcome_, &QAbstractButton::clicked, this, &SettingsForm::showWelcome);
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(
        new Label(QStringLiteral("A short tour of what Dormio shows."), Theme::Typo::body(), Theme::ink2), 0,
        Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(welcome_, 0, Qt::AlignVCenter);
    return content;
}

QWidget* SettingsForm::privacyContent() {
    return note(SourceTexts::privacyNote());
}

void SettingsForm::showStore() {
    const int start = store_.nightStartHour();
    const int end = store_.nightEndHour();
    nightCard_->header()->setNote(nightNote(start, end));
    select(start_, start);
    select(end_, end);
    setChecked(track_, store_.trackEnergy());
    select(sample_, store_.sampleMinutes());
    // The interval keeps its value while sampling is off, greyed out with its title.
    interval_->setEnabled(store_.trackEnergy());
    setChecked(login_, store_.loginItemEnabled());
    const std::optional<QString>& message = store_.loginItemMessage();
    loginMessage_->setText(message.value_or(QString()));
    loginMessage_->setVisible(message.has_value());
    setChecked(menuBar_, store_.showMenuBar());
}

void SettingsForm::confirmDelete() {
    if (confirm_) return;
    confirm_ = new QMessageBox(QMessageBox::NoIcon, QString(),
                               QStringLiteral("Delete all measured energy data?"), QMessageBox::Cancel, this);
    // The kit's warning symbol, sharp at any pixel ratio, in place of Qt's bitmap triangle.
    confirm_->setIconPixmap(Symbols::icon(ViewSymbols::warning, Theme::rose, 48).pixmap(QSize(48, 48), 2.0));
    confirm_->setInformativeText(QStringLiteral(
        "Per-app estimates for past nights will disappear. Sleep and wake history is not affected."));
    QPushButton* confirmed = confirm_->addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    confirm_->setDefaultButton(QMessageBox::Cancel);
    confirm_->setEscapeButton(QMessageBox::Cancel);
    confirm_->setAttribute(Qt::WA_DeleteOnClose);
    connect(confirm_, &QMessageBox::finished, this, [this, confirmed] {
        if (confirm_->clickedButton() == confirmed) deleteEnergyData();
    });
    confirm_->open();
}

void SettingsForm::deleteEnergyData() {
    store_.energy().clear();
    store_.toast().show(QStringLiteral("Energy data deleted"), ToastSymbols::deleted);
}

void SettingsForm::showWelcome() {
    // The key window is taken before the tour is asked for: asking brings the main window forward.
    const QPointer<QWidget> key = QApplication::activeWindow();
    store_.setShowWelcome(true);
    if (key && key->objectName().contains(QStringLiteral("Settings"))) key->close();
}

} // namespace dormio

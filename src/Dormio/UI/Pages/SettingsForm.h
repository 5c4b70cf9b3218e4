#pragma once

// All of the app's preferences in five cards: the night window the log is read for, energy sampling and
// the login item, the menu bar extra, the welcome tour and what stays private. The form keeps no copy of
// a setting: every control writes the store on the user's choice only, and shows what the store holds
// after every change the store announces. Its hosts (the Settings page, the settings window) add the
// scroll view, the paddings and the width limit.

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;

namespace dormio {

class Button;
class Label;
class PageHeader;
class Panel;
class Store;

class SettingsForm : public QWidget {
    Q_OBJECT
public:
    // `showHeader` puts the "Preferences" / "Settings" page header above the cards.
    SettingsForm(Store& store, bool showHeader, QWidget* parent = nullptr);

    PageHeader* header() const { return header_; }
    Panel* nightCard() const { return nightCard_; }
    QComboBox* startHour() const { return start_; }
    QComboBox* endHour() const { return end_; }
    QCheckBox* trackEnergy() const { return track_; }
    QComboBox* sampleMinutes() const { return sample_; }
    QCheckBox* loginItem() const { return login_; }
    Label* loginMessage() const { return loginMessage_; }
    Button* deleteEnergy() const { return delete_; }
    QCheckBox* showMenuBar() const { return menuBar_; }
    Button* showWelcomeAgain() const { return welcome_; }
    // The delete confirmation while it is up, else null.
    QMessageBox* confirmation() const { return confirm_; }

    // "05:00 → 07:00 · 2 h": the night window and its length.
    static QString nightNote(int startHour, int endHour);

private:
    QWidget* nightContent();
    QWidget* energyContent();
    QWidget* menuBarContent();
    QWidget* helpContent();
    QWidget* privacyContent();

    void showStore();
    void confirmDelete();
    void deleteEnergyData();
    void showWelcome();

    Store& store_;
    PageHeader* header_ = nullptr;
    Panel* nightCard_ = nullptr;
    QComboBox* start_ = nullptr;
    QComboBox* end_ = nullptr;
    QCheckBox* track_ = nullptr;
    QComboBox* sample_ = nullptr;
    QWidget* interval_ = nullptr; // the interval's menu with its title
    QCheckBox* login_ = nullptr;
    Label* loginMessage_ = nullptr;
    Button* delete_ = nullptr;
    QCheckBox* menuBar_ = nullptr;
    Button* welcome_ = nullptr;
    QPointer<QMessageBox> confirm_;
};

} // namespace dormio

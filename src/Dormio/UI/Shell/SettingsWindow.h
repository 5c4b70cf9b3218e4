#pragma once

// The settings window's content. Until the full form is built it is a plain form of the night window,
// energy sampling, the menu bar extra and opening at login, always showing what the store holds.

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace dormio {

class Store;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{560, 640};

    // `single` gives the form alone; otherwise it sits in a "General" tab.
    SettingsWindow(Store& store, bool single = false, QWidget* parent = nullptr);

    QComboBox* startHour() const { return start_; }
    QComboBox* endHour() const { return end_; }
    QCheckBox* trackEnergy() const { return track_; }
    QComboBox* sampleMinutes() const { return sample_; }
    QCheckBox* loginItem() const { return login_; }
    QCheckBox* showMenuBar() const { return menuBar_; }

private:
    QWidget* makeForm();
    void showStore();

    Store& store_;
    QComboBox* start_ = nullptr;
    QComboBox* end_ = nullptr;
    QCheckBox* track_ = nullptr;
    QComboBox* sample_ = nullptr;
    QCheckBox* login_ = nullptr;
    QCheckBox* menuBar_ = nullptr;
};

} // namespace dormio

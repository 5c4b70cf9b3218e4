#pragma once

// The settings window's content at a fixed size: the settings form without its page header, either alone
// in a scroll view or as the "General" tab beside the kit's update rows.

#include <QWidget>

class QScrollArea;
class QTabWidget;

namespace dormio {

class SettingsForm;
class Store;

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize fixedSize{560, 640};

    // `single` gives the form alone; otherwise the form and the update rows are two tabs.
    SettingsWindow(Store& store, bool single = false, QWidget* parent = nullptr);

    SettingsForm* form() const { return form_; }
    QScrollArea* scroll() const { return scroll_; }
    // Null in the single layout.
    QTabWidget* tabs() const { return tabs_; }

private:
    QScrollArea* formContent(Store& store);
    static QWidget* updatesContent();
    void showTabIcons();

    SettingsForm* form_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QTabWidget* tabs_ = nullptr;
};

} // namespace dormio

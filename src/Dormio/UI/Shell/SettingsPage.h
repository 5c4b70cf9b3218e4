#pragma once

// The Settings page of the main window: the settings form in a scroll view, kept to the leading edge and
// at most 700 px wide with its insets, so it never spreads across a wide window.

#include <QScrollArea>

namespace dormio {

class SettingsPage : public QScrollArea {
public:
    static constexpr int maximumWidth = 700;

    // Takes `form` as its content.
    explicit SettingsPage(QWidget* form, QWidget* parent = nullptr);
    QWidget* form() const { return form_; }

private:
    QWidget* form_;
};

} // namespace dormio

#pragma once

// The foot of the sidebar: whether per-app energy is being sampled, and how often, beside a dot that
// pulses while it is; and whether the application opens at login.

#include <QWidget>

namespace dormio {

class Label;
class StatusDot;
class Store;

class SidebarFooter : public QWidget {
public:
    explicit SidebarFooter(Store& store, QWidget* parent = nullptr);

    StatusDot* dot() const { return dot_; }
    Label* sampling() const { return sampling_; }
    Label* login() const { return login_; }

private:
    void showStore();

    Store& store_;
    StatusDot* dot_;
    Label* sampling_;
    Label* login_;
};

} // namespace dormio

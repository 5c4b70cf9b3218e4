#pragma once

// One step of the welcome tour: its picture over its title and message, centred. The four pictures are
// illustrations built from the kit, except the last one's switch, which really opens Dormio at login.

#include <QWidget>

namespace dormio {

class Label;
class Store;
class Switch;

class WelcomePage : public QWidget {
public:
    static constexpr qreal artHeight = 150;
    static constexpr qreal messageWidth = 420;

    // An empty `art` (null) leaves only the title and the message.
    WelcomePage(const QString& title, const QString& message, QWidget* art, QWidget* parent = nullptr);

    Label* title() const { return title_; }
    Label* message() const { return message_; }

private:
    Label* title_;
    Label* message_;
};

namespace WelcomeArt {

// Step 1: the sample night's mini trace with its start and end times on a card; null without a sample
// night.
QWidget* sampleNight();
// Step 2: a sample mark per power state under its name, and a rest grade of 82.
QWidget* stateLegend();
// Step 3: a sample app holding the Mac awake, and three of the app's shortcuts.
QWidget* holderAndShortcuts();

} // namespace WelcomeArt

// Step 4's picture: the open-at-login switch on a card, the system's words when it refuses, and the
// privacy line. The switch shows what the store reports after every attempt.
class LoginArt : public QWidget {
    Q_OBJECT
public:
    explicit LoginArt(Store& store, QWidget* parent = nullptr);

    Switch* loginSwitch() const { return switch_; }
    Label* message() const { return message_; }

private:
    void showStore();

    Store& store_;
    Switch* switch_;
    Label* message_;
};

} // namespace dormio

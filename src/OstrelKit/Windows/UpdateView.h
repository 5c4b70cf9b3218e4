#pragma once

// The update window's content: the app's icon, a title and a detail that follow the updater's phase,
// and the one or two buttons that fit it. Everything it shows comes from the updater; it keeps no state
// of its own. Texts from the feed are shown as plain text, and long release notes scroll.

#include <QStringList>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace dormio {

class Spinner;
class Updater;
struct UpdateFeed;

// The application's icon at `size` × `size`, with a soft shadow below it; empty when it has none.
class AppIconView : public QWidget {
public:
    explicit AppIconView(int size, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int size_;
};

class UpdateView : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* windowID = "update";
    static constexpr const char* windowTitle = "Software Update";
    static constexpr int width = 420;
    static constexpr int barWidth = 260;
    // Release notes longer than this scroll.
    static constexpr int maxNotesHeight = 180;

    explicit UpdateView(Updater& updater, QWidget* parent = nullptr);

    enum class Indicator { none, spinner, bar };
    enum class Note { none, moveToInstall, installsAtQuit };
    struct Content {
        QString title;
        QString detail; // empty where an indicator stands instead
        Indicator indicator = Indicator::none;
        Note note = Note::none;
        QStringList buttons; // left to right; the last one is the default
        bool operator==(const Content&) const = default;
    };
    // What the window shows for the updater's state; a copy that cannot update gets its own words.
    static Content content(const Updater& updater);
    // The line under the detail.
    static QString noteText(Note note, const QString& appName);

    // Shows the update window of `updater` through the window host.
    static void show(Updater& updater);
    // Closes the update window, if there is one; the updater's phase stays as it is.
    static void closeWindow();

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void applyInks();
    void act();

    Updater& updater_;
    QLabel* title_;
    Spinner* spinner_;
    QScrollArea* detailScroll_;
    QLabel* detail_;
    QLabel* note_;
    QProgressBar* progress_;
    QPushButton* later_;
    QPushButton* primary_;
};

} // namespace dormio

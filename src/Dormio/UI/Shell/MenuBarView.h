#pragma once

// The menu bar extra's content, one narrow column: the default night (title, rest grade, mini trace
// between its start and end times, and its line of figures), who is keeping the Mac awake right now with
// the first four of them, and the buttons that open the main window and quit.

#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

class Button;
class HolderGlyph;
class Label;
class MiniHypnogramView;
class RestGrade;
class StatusDot;
class Store;
struct LiveRow;

class MenuBarView : public QWidget {
    Q_OBJECT
public:
    static constexpr int fixedWidth = 290;
    static constexpr int shownHolders = 4;

    explicit MenuBarView(Store& store, QWidget* parent = nullptr);

    // One holder's line: its app's glyph, its name and how long it has held the Mac awake.
    class HolderLine : public QWidget {
    public:
        explicit HolderLine(const LiveRow& row);
        void setRow(const LiveRow& row);
        // Whether the line draws the glyph of this row's app; another app needs a line of its own.
        bool drawsGlyphOf(const LiveRow& row) const;
        Label* name() const { return name_; }
        Label* age() const { return age_; }

    private:
        std::optional<std::string> path_;
        std::string process_;
        Label* name_;
        Label* age_;
    };

    Label* title() const { return title_; }
    RestGrade* grade() const { return grade_; }
    QWidget* night() const { return night_; }
    MiniHypnogramView* trace() const { return trace_; }
    Label* startTime() const { return start_; }
    Label* endTime() const { return end_; }
    Label* line() const { return line_; }
    Label* summary() const { return summary_; }
    StatusDot* dot() const { return dot_; }
    Label* headline() const { return headline_; }
    // The holder lines in the order shown.
    std::vector<HolderLine*> holderLines() const;
    Button* openButton() const { return open_; }
    Button* quitButton() const { return quit_; }

signals:
    // "Open Dormio" was pressed.
    void openMainWindow();
    // "Quit" was pressed.
    void quitApplication();

private:
    void showNight();
    void showHolders();

    Store& store_;
    Label* title_;
    RestGrade* grade_;
    QWidget* night_;
    MiniHypnogramView* trace_;
    Label* start_;
    Label* end_;
    Label* line_;
    Label* summary_;
    StatusDot* dot_;
    Label* headline_;
    QWidget* holders_;
    std::map<std::string, HolderLine*> lines_; // by the row's unique key
    Button* open_;
    Button* quit_;
};

} // namespace dormio

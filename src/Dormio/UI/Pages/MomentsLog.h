#pragma once

// The "Logbook" panel of the night page: the night told as a list of moments in the order of its story,
// a long night cut to its first moments behind "Show all", and a finished night's closing line.

#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Panel.h"
#include "DormioKit/Night.h"
#include "DormioKit/Story.h"

#include <QAbstractButton>
#include <vector>

namespace dormio {

class Label;
class MomentRow;

class MomentsLog : public Panel {
public:
    // A list is cut only from 17 moments up, and then to 14, so a cut always hides at least three.
    static constexpr std::size_t cutAbove = 16;
    static constexpr std::size_t cutTo = 14;
    static constexpr qreal hairlineInset = 74;

    explicit MomentsLog(const Night& night, QWidget* parent = nullptr);

    // Tells another night in the same rows, as a log built for it would, with the list cut again.
    void setNight(const Night& night);

    bool showAll() const { return showAll_; }
    void setShowAll(bool showAll);
    const std::vector<StoryItem>& items() const { return items_; }
    std::vector<MomentRow*> rows() const;
    // The toggle under the rows, only for a list long enough to cut.
    QAbstractButton* toggle() const { return togglePad_ && !togglePad_->isHidden() ? toggle_ : nullptr; }

    // The toggle's label: "Show all 23 entries", or "Show fewer" while the list is whole.
    static QString toggleText(bool showAll, std::size_t items);

private:
    bool cut() const { return items_.size() > cutAbove; }
    void showNight();
    QWidget* list();
    QWidget* closingLine();
    void showRows();
    // The height of the first `count` rows with their hairlines.
    int rowsHeight(std::size_t count) const;

    Night night_;
    std::vector<StoryItem> items_;
    bool showAll_ = false;
    QWidget* rowsBox_ = nullptr;
    QAbstractButton* toggle_ = nullptr;
    QWidget* togglePad_ = nullptr; // the toggle with its room, hidden while the list is too short to cut
    QWidget* closing_ = nullptr;   // hidden while the night runs
    Label* end_ = nullptr;
    Label* morning_ = nullptr;
    Motion::Value reveal_; // the rows' height while a change of showAll runs
};

} // namespace dormio

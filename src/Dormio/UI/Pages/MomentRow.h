#pragma once

// One line of the night's logbook: when, a mark for the kind of moment, what happened with a count for a
// run of like moments, a plain-words detail, how long it lasted, and a button that shows the raw records.

#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/RawPopover.h"
#include "DormioKit/Story.h"

#include <QPointer>
#include <QWidget>

namespace dormio {

class Button;
class FilledBar;
class Label;
class Tag;

class MomentRow : public QWidget {
public:
    static constexpr qreal timeWidth = 58;
    static constexpr qreal markWidth = 3;
    static constexpr qreal spacing = 12;

    explicit MomentRow(StoryItem item, QWidget* parent = nullptr);

    // Shows another moment in the same widgets, as a row built for it would; an open record card closes.
    void setItem(StoryItem item);

    static DynamicColor mark(const NightEvent& event);
    // "dasd · refresh" for a background task scheduler's "com.apple.dasd:task:refresh"; others unchanged.
    static QString shortScheduler(const QString& scheduledBy);
    static QString detail(const StoryItem& item);

    const StoryItem& item() const { return item_; }
    bool showInfo() const { return popup_ != nullptr; }
    // Opens or closes the raw records beside the info button.
    void setShowInfo(bool show);
    RawPopup* popup() const { return popup_; }
    Button* infoButton() const { return info_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showItem();

    StoryItem item_;
    Label* time_;
    FilledBar* mark_;
    Label* label_;
    Tag* count_;
    Label* detail_;
    Label* duration_;
    Button* info_;
    QPointer<RawPopup> popup_;
    QMetaObject::Connection demoRequests_;
};

} // namespace dormio

#pragma once

// The top of the night page: the night's title under a kicker with its date and hours, a tag on sample
// nights, and the buttons that step to the previous or the next recorded night.

#include "Dormio/UI/Kit/Headers.h"
#include "DormioKit/Night.h"

namespace dormio {

class Button;
class Store;
class Tag;

class NightHeader : public PageHeader {
public:
    NightHeader(Store& store, const Night& night, QWidget* parent = nullptr);

    // Shows another night in place, so that the title cross-fades to the new one.
    void setNight(const Night& night);

    // "Night of Tue, 5 Mar · 23:00 → 07:00", with " · recording" while the night is in progress.
    static QString kickerText(const Night& night);

    Button* previous() const { return previous_; }
    Button* next() const { return next_; }
    Tag* sampleTag() const { return sampleTag_; }

private:
    QWidget* trailing();

    Store& store_;
    Button* previous_ = nullptr;
    Button* next_ = nullptr;
    Tag* sampleTag_ = nullptr;
};

} // namespace dormio

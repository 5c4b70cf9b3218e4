#pragma once

// Text the user can select and copy, such as a raw log record: plain text always, in a kit font and colour
// that follow the appearance.

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QLabel>

namespace dormio {

class SelectableText : public QLabel {
public:
    // Wrapping text grows as tall as its lines need; otherwise it stays on one line.
    SelectableText(const QString& text, const Font& font, DynamicColor color, bool wrapping,
                   QWidget* parent = nullptr);

private:
    void followAppearance();
    DynamicColor color_;
};

} // namespace dormio

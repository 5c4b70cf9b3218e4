#pragma once

// Qt's own check boxes and push buttons that code outside the app makes (the updater's settings rows),
// drawn as the app draws its toggles and quiet buttons, so that they sit beside them unchanged.

class QAbstractButton;

namespace dormio::ControlLook {

void adopt(QAbstractButton* control);

} // namespace dormio::ControlLook

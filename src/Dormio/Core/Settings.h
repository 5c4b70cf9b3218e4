#pragma once

// The user's settings, each declared once with its key in the settings file, its default and, for a
// setting a menu sets, the menu's entries in their order; anything else stored reads as the default. The
// store reads and writes them (and reacts to a change); the settings form builds its menus from them; the
// self-test puts the night hours back to their defaults.

#include "DormioKit/NightWindow.h"
#include "OstrelKit/Setting.h"

namespace dormio::Settings {

// The night hours start as the model's own window.
inline const Setting<int> nightStartHour{
    "nightStartHour", int(NightWindow{}.startHour), {17, 18, 19, 20, 21, 22, 23, 0, 1, 2}};
inline const Setting<int> nightEndHour{
    "nightEndHour", int(NightWindow{}.endHour), {4, 5, 6, 7, 8, 9, 10, 11}};
// Minutes between energy samples.
inline const Setting<int> sampleMinutes{"sampleMinutes", 5, {2, 5, 10}};
inline const Setting<bool> trackEnergy{"trackEnergy", true};
inline const Setting<bool> showMenuBar{"showMenuBar", true};
inline const Setting<bool> welcomeDone{"welcomeDone", false};

} // namespace dormio::Settings

#pragma once

// The symbols the views draw by a fixed name, kept together so that a test can check each has a glyph.
// Symbols picked from data keep their own tables: the model's events and processes, the pages, the toasts.

#include <array>
#include <string_view>

namespace dormio::ViewSymbols {

inline constexpr std::string_view previousNight = "chevron.left";
inline constexpr std::string_view nextNight = "chevron.right";
inline constexpr std::string_view momentDetails = "text.alignleft";
inline constexpr std::string_view nothingHeld = "checkmark";
inline constexpr std::string_view refresh = "arrow.clockwise";
inline constexpr std::string_view openAtLogin = "power";
inline constexpr std::string_view settingsTab = "gearshape";
inline constexpr std::string_view updatesTab = "arrow.down.circle";
inline constexpr std::string_view warning = "exclamationmark.triangle";

inline constexpr std::array<std::string_view, 9> all{previousNight, nextNight,  momentDetails,
                                                     nothingHeld,   refresh,    openAtLogin,
                                                     settingsTab,   updatesTab, warning};

} // namespace dormio::ViewSymbols

#pragma once

// Pictures of the kit's views for a person to look at: each view drawn at twice the resolution in the
// light and the dark appearance, under the build folder's gallery.

#include <QString>
#include <functional>

class QWidget;

namespace dormio::test {

// Builds the view with `make` once per appearance (the application's palette set to it), lays it out at
// `width` and its height for that width, and writes gallery/<folder>/<name>-light.png and -dark.png.
// Returns whether both were written.
bool writeGallery(const QString& folder, const QString& name, int width,
                  const std::function<QWidget*()>& make);

} // namespace dormio::test

#pragma once

// The demo recorder's one kind of failure: a sentence that says what went wrong with the movie or its files.

#include <QString>

namespace dormio {

struct CaptureFailure {
    QString message;
};

// The recorder's own words where the movie's encoder cannot be set up.
inline constexpr const char* cantAddInput = "can't add input";

} // namespace dormio

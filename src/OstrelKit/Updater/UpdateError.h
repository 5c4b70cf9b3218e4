#pragma once

// Every failure the updater finds itself travels as an UpdateError: one sentence for the user, shown as
// it stands. The sentences live here together so that the window, the settings rows and the tests agree.

#include <QString>

namespace dormio {

struct UpdateError {
    QString message;
};

namespace UpdateMessage {
inline constexpr const char* checkFailed =
    "Couldn’t check for updates. Check your internet connection and try again.";
inline constexpr const char* fileNotDownloaded = "The update file couldn’t be downloaded.";
inline constexpr const char* largerThanExpected = "The download was larger than expected.";
inline constexpr const char* incomplete = "The download was incomplete.";
inline constexpr const char* badSignature = "The update’s signature didn’t match, so it wasn’t installed.";
inline constexpr const char* noApp = "The update didn’t contain an app.";
inline constexpr const char* otherApp = "The downloaded update didn’t match this app.";
inline constexpr const char* damaged = "The downloaded app’s code signature is damaged.";
inline constexpr const char* notUnpacked = "The update couldn’t be unpacked.";
inline constexpr const char* insecureAddress = "The update’s address isn’t secure, so it wasn’t downloaded.";
inline constexpr const char* badLength =
    "The update’s size in the feed isn’t valid, so it wasn’t downloaded.";
// Any other error: this prefix, then the error's own description.
inline constexpr const char* downloadFailedPrefix = "The update couldn’t be downloaded. ";
inline constexpr const char* timedOut = "The request timed out.";
inline constexpr const char* stagingNotMade =
    "The update couldn’t be downloaded. The staging folder couldn’t be made.";
} // namespace UpdateMessage

} // namespace dormio

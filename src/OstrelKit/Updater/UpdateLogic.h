#pragma once

// The rules that decide whether a feed describes an update for this copy, and the signature test of a
// downloaded archive. Pure functions, callable from any thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace dormio {

// An operating system's version as three numbers. Here the system is the C library the application runs
// on, since that is what a release's binaries need.
struct SystemVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
    auto operator<=>(const SystemVersion&) const = default;

    // Dotted numbers read leniently: empty pieces and pieces that are not numbers are dropped, the first
    // three numbers count and a missing one is 0 ("14..2" is 14.2.0, "14.x.1" is 14.1.0).
    static SystemVersion read(const QString& dotted);
    // The running C library's version.
    static SystemVersion running();
};

namespace UpdateLogic {

// Whether `candidate` sorts after `current`, comparing runs of digits by their numeric value and every
// other character as it is ("1.10" is newer than "1.9", "1.0.0" than "1.0").
bool isNewer(const QString& candidate, const QString& current);

// Whether a system of version `system` can run a release that asks for `minimum`; no minimum asks for
// nothing.
bool systemSupports(const std::optional<QString>& minimum, SystemVersion system);

// The Ed25519 test of `data` against a standard base64 signature and public key. Anything malformed
// (line breaks, wrong lengths, bad padding) fails before any cryptography runs; it never throws.
bool verify(const QByteArray& data, const QString& signature, const QString& publicKey);

} // namespace UpdateLogic

} // namespace dormio

#pragma once

// The release steps: make a key pair, write a bundle's manifest, pack the bundle into a zip archive, sign
// a file and write the feed entry that announces an archive. Each returns its result or a sentence.

#include "OstrelKit/Updater/UpdateFeed.h"

#include <QString>
#include <variant>

namespace dormio::release {

struct Failure {
    QString message;
};

template <class T> using Result = std::variant<T, Failure>;

// Makes a key pair, writes the secret key to a new file readable only by its owner and returns the
// public key in standard base64 (the bundle's "OstrelUpdatePublicKey").
Result<QString> makeKeys(const QString& secretKeyFile);

// Writes "Manifest.json" into the bundle, listing each file with the permission bits it gets when
// unpacked on the user's machine.
Result<QString> writeManifest(const QString& bundle);

// Packs the bundle into a zip archive with the bundle's folder at its top; refuses a bundle whose
// manifest does not match what it holds.
Result<QString> pack(const QString& bundle, const QString& archive);

// The standard base64 Ed25519 signature of the file's bytes.
Result<QString> sign(const QString& secretKeyFile, const QString& file);

// The feed document for `archive`, filling in its length and signature.
Result<QString> feedEntry(const QString& secretKeyFile, const QString& archive, UpdateFeed feed);

} // namespace dormio::release

// ostrel-release: the steps of publishing an update.
//
//   ostrel-release keys SECRET-KEY-FILE          make a key pair; prints the public key for Info.json
//   ostrel-release manifest BUNDLE.app           write the bundle's Manifest.json
//   ostrel-release pack BUNDLE.app ARCHIVE.zip   pack the bundle, checking its manifest first
//   ostrel-release sign SECRET-KEY-FILE FILE     print the file's signature
//   ostrel-release feed SECRET-KEY-FILE ARCHIVE.zip --version V --url PAGE --download-url URL
//                  [--notes TEXT] [--minimum-system-version V]
//                                                print the feed document announcing the archive

#include "ostrel-release/Release.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <optional>

using namespace dormio;
using namespace dormio::release;

namespace {

constexpr const char* usage =
    "usage: ostrel-release keys SECRET-KEY-FILE\n"
    "       ostrel-release manifest BUNDLE.app\n"
    "       ostrel-release pack BUNDLE.app ARCHIVE.zip\n"
    "       ostrel-release sign SECRET-KEY-FILE FILE\n"
    "       ostrel-release feed SECRET-KEY-FILE ARCHIVE.zip --version V --url PAGE --download-url URL\n"
    "                      [--notes TEXT] [--minimum-system-version V]\n";

int report(const Result<QString>& result) {
    if (const auto* failure = std::get_if<Failure>(&result)) {
        std::fprintf(stderr, "ostrel-release: %s\n", failure->message.toUtf8().constData());
        return 1;
    }
    std::printf("%s\n", std::get<QString>(result).toUtf8().constData());
    return 0;
}

// The feed's fields from "--name value" pairs; none when one is unknown, repeated or lacks its value.
std::optional<UpdateFeed> feedOptions(const QStringList& options) {
    UpdateFeed feed;
    feed.download = UpdateFeed::Download{};
    QStringList seen;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        const QString& name = options[i];
        const QString& value = options[i + 1];
        if (seen.contains(name)) return std::nullopt;
        seen << name;
        if (name == "--version")
            feed.version = value;
        else if (name == "--url")
            feed.url = value;
        else if (name == "--download-url")
            feed.download->url = value;
        else if (name == "--notes")
            feed.notes = value;
        else if (name == "--minimum-system-version")
            feed.minimumSystemVersion = value;
        else
            return std::nullopt;
    }
    if (options.size() % 2 != 0 || !seen.contains("--version") || !seen.contains("--url") ||
        !seen.contains("--download-url"))
        return std::nullopt;
    return feed;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == "keys" && args.size() == 2) return report(makeKeys(args[1]));
    if (command == "manifest" && args.size() == 2) return report(writeManifest(args[1]));
    if (command == "pack" && args.size() == 3) return report(pack(args[1], args[2]));
    if (command == "sign" && args.size() == 3) return report(sign(args[1], args[2]));
    if (command == "feed" && args.size() >= 3)
        if (const auto feed = feedOptions(args.mid(3))) return report(feedEntry(args[1], args[2], *feed));
    std::fputs(usage, stderr);
    return 2;
}

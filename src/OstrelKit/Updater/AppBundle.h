#pragma once

// An application bundle: an install folder whose name ends in ".app", holding "Info.json" with the
// application's keys. A copy run from a build tree or a system package is no bundle: it becomes a loose
// copy that knows only the Qt application's name and version, and so is never updated.

#include <QJsonObject>
#include <QString>
#include <optional>

namespace dormio {

class AppBundle {
public:
    // The bundle at `path`, or none when the folder is not one (wrong name, not a real folder, no readable
    // "Info.json" holding a JSON object).
    static std::optional<AppBundle> open(const QString& path);
    // The running application's bundle: the folder above the one holding the executable, when it is a
    // bundle; otherwise the loose copy.
    static AppBundle running();
    // A copy without a bundle, named and versioned as the Qt application is.
    static AppBundle loose();

    // Empty for a loose copy.
    QString path() const { return path_; }
    bool isBundle() const { return !path_.isEmpty(); }

    // An information key's value when it is a string; a value of another type counts as absent.
    std::optional<QString> string(const char* key) const;

    std::optional<QString> identifier() const { return string("CFBundleIdentifier"); }
    std::optional<QString> shortVersion() const { return string("CFBundleShortVersionString"); }
    std::optional<QString> name() const { return string("CFBundleName"); }

    static constexpr const char* infoFile = "Info.json";

private:
    AppBundle(QString path, QJsonObject info) : path_(std::move(path)), info_(std::move(info)) {}

    QString path_;
    QJsonObject info_;
};

} // namespace dormio

#include "OstrelKit/Updater/LinkChain.h"

#include <QFile>
#include <QStringList>
#include <climits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace dormio::LinkChain {

namespace {

std::optional<QString> linkTarget(const QByteArray& path) {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t size = ::readlink(path.constData(), buffer.data(), buffer.size());
    if (size < 0 || size_t(size) >= buffer.size()) return std::nullopt;
    return QFile::decodeName(QByteArray(buffer.data(), size));
}

} // namespace

End resolve(const QString& folder, const QString& relative) {
    QStringList done;
    QStringList todo = relative.split(u'/');
    int links = 0;
    // Once a name is missing, or is a file with more names after it, nothing further can be reached.
    bool reachable = true;
    while (!todo.isEmpty()) {
        const QString name = todo.takeFirst();
        if (name.isEmpty() || name == ".") continue;
        if (name == "..") {
            if (done.isEmpty()) return {End::Kind::outside};
            done.removeLast();
            continue;
        }
        done.append(name);
        const QByteArray path = QFile::encodeName(folder + u'/' + done.join(u'/'));
        struct stat status {};
        if (!reachable || ::lstat(path.constData(), &status) != 0) {
            reachable = false;
            continue;
        }
        if (!S_ISLNK(status.st_mode)) {
            reachable = S_ISDIR(status.st_mode) || todo.isEmpty();
            continue;
        }
        if (++links > maxLinks) return {End::Kind::loop};
        const auto target = linkTarget(path);
        if (!target || target->isEmpty() || target->startsWith(u'/')) return {End::Kind::outside};
        done.removeLast();
        todo = target->split(u'/') + todo;
    }
    return {End::Kind::inside, done.join(u'/'), reachable};
}

} // namespace dormio::LinkChain

#include "OstrelKit/Updater/RelativePath.h"

#include <QStringList>
#include <algorithm>

namespace dormio::RelativePath {

bool isClean(const QString& path) {
    if (path.isEmpty() || path.startsWith(u'/') || path.contains(QChar(0))) return false;
    const QStringList names = path.split(u'/');
    return std::none_of(names.begin(), names.end(),
                        [](const QString& name) { return name.isEmpty() || name == "." || name == ".."; });
}

bool staysInside(const QString& from, const QString& target) {
    if (target.isEmpty() || target.startsWith(u'/') || target.contains(QChar(0))) return false;
    qsizetype depth = from.isEmpty() ? 0 : from.count(u'/') + 1;
    for (const QString& name : target.split(u'/')) {
        if (name == "..") {
            if (--depth < 0) return false;
        } else if (!name.isEmpty() && name != ".") {
            ++depth;
        }
    }
    return true;
}

} // namespace dormio::RelativePath

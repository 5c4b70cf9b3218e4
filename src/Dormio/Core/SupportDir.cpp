#include "Dormio/Core/SupportDir.h"

#include <QDir>
#include <QStandardPaths>

namespace dormio::SupportDir {

QString path() {
    QString folder = qEnvironmentVariable("DORMIO_SUPPORT_DIR");
    if (folder.isEmpty())
        folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Dormio");
    QDir().mkpath(folder);
    return folder;
}

} // namespace dormio::SupportDir

#pragma once

// The copies of a stored file that the app set aside as damaged, by name (so oldest first within a second).

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace dormio::testing {

inline QStringList damagedCopies(const QString& path) {
    const QFileInfo file(path);
    QStringList copies = file.dir().entryList({file.fileName() + QStringLiteral(".damaged-*")},
                                              QDir::AllEntries | QDir::System | QDir::Hidden, QDir::Name);
    for (QString& copy : copies)
        copy = file.dir().filePath(copy);
    return copies;
}

} // namespace dormio::testing

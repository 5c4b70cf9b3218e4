#include "Dormio/Core/ApplicationName.h"

#include <QCoreApplication>

namespace dormio {

void nameApplication() {
    QCoreApplication::setOrganizationName("Dormio");
    QCoreApplication::setApplicationName("Dormio");
    QCoreApplication::setApplicationVersion(DORMIO_VERSION);
}

} // namespace dormio

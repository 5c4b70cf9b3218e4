#include "Dormio/UI/Shell/PageLabels.h"

namespace dormio::PageLabels {

QString title(Page page) {
    switch (page) {
    case Page::night:
        return QStringLiteral("Last Night");
    case Page::history:
        return QStringLiteral("History");
    case Page::now:
        return QStringLiteral("Right Now");
    case Page::battery:
        return QStringLiteral("Battery");
    case Page::settings:
        return QStringLiteral("Settings");
    }
    return {};
}

std::string symbol(Page page) {
    switch (page) {
    case Page::night:
        return "moon";
    case Page::history:
        return "list.bullet.rectangle";
    case Page::now:
        return "eye";
    case Page::battery:
        return "battery.75percent";
    case Page::settings:
        return "gearshape";
    }
    return {};
}

} // namespace dormio::PageLabels

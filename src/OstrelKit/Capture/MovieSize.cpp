#include "OstrelKit/Capture/MovieSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace dormio::MovieSize {

QList<Screen> screens() {
    QList<Screen> list;
    for (const QScreen* screen : QGuiApplication::screens())
        list.append({QRectF(screen->geometry()), screen->devicePixelRatio()});
    return list;
}

qreal screenScale(const QList<Screen>& screens, const QRectF& region) {
    const auto meets = [&](const Screen& screen) { return screen.geometry.intersects(region); };
    const auto found = std::find_if(screens.begin(), screens.end(), meets);
    return found == screens.end() ? 2.0 : found->ratio;
}

qreal scale(const QRectF& region, qreal screenScale) {
    return std::min(2560.0 / std::max(region.width(), 1.0), screenScale);
}

QSize pixels(const QRect& integralRegion, qreal scale) {
    const auto even = [scale](int points) { return 2 * int(std::round(scale * points / 2)); };
    return {even(integralRegion.width()), even(integralRegion.height())};
}

} // namespace dormio::MovieSize

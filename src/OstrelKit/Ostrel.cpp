#include "OstrelKit/Ostrel.h"

#include <QAction>
#include <QMenu>

namespace dormio {

namespace {

QList<QColor> brandColours;
bool started = false;

} // namespace

void Ostrel::start(const QList<QColor>& brand) {
    if (started) return;
    started = true;
    if (brand.isEmpty()) return;
    brandColours = {brand.first(), brand.size() > 1 ? brand.at(1) : brand.first()};
}

QList<QColor> Ostrel::brand() {
    return brandColours;
}

QAction* OstrelCommands::add(QMenu* menu, QAction* about) {
    auto* check = new QAction(QStringLiteral("Check for Updates…"), menu);
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(about);
    QAction* next = at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr;
    menu->insertAction(next, check);
    return check;
}

} // namespace dormio

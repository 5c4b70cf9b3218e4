#include "OstrelKit/Ostrel.h"

#include "OstrelKit/Updater/Updater.h"
#include "OstrelKit/Windows/UpdateView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPalette>

namespace dormio {

namespace {

bool started = false;

QList<QColor>& brandColours() {
    static QList<QColor> colours = [] {
        const QColor accent = QGuiApplication::palette().color(QPalette::Highlight);
        return QList<QColor>{accent, accent};
    }();
    return colours;
}

} // namespace

const QList<QColor>& BrandStore::colors() {
    return brandColours();
}

void BrandStore::set(const QList<QColor>& brand) {
    if (brand.size() >= 2)
        brandColours() = brand;
    else if (brand.size() == 1)
        brandColours() = {brand.first(), brand.first()};
}

void Ostrel::start(const QList<QColor>& brand) {
    if (started) return;
    started = true;
    BrandStore::set(brand);
    updater().start();
}

void Ostrel::checkForUpdates() {
    QMetaObject::invokeMethod(
        &updater(), [] { updater().check(true); }, Qt::QueuedConnection);
}

QList<QColor> Ostrel::brand() {
    return BrandStore::colors();
}

Updater& Ostrel::updater() {
    static Updater* const shared = [] {
        auto* updater = new Updater(AppBundle::running(), {}, QCoreApplication::instance());
        QObject::connect(updater, &Updater::windowRequested, updater,
                         [updater] { UpdateView::show(*updater); });
        return updater;
    }();
    return *shared;
}

QString Ostrel::appName() {
    static const QString name = AppBundle::running().name().value_or(QStringLiteral("App"));
    return name;
}

QAction* OstrelCommands::add(QMenu* menu, QAction* about) {
    auto* check = new QAction(QStringLiteral("Check for Updates…"), menu);
    QObject::connect(check, &QAction::triggered, check, [] { Ostrel::checkForUpdates(); });
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(about);
    QAction* next = at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr;
    menu->insertAction(next, check);
    return check;
}

} // namespace dormio

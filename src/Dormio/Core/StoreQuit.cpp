#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"

#include <QFileInfo>
#include <algorithm>

namespace dormio {

namespace {

// Long enough for an app that accepted Quit to have gone, so the next read shows it gone.
constexpr std::chrono::milliseconds liveReadAfterQuit{1500};

QString nameOf(const AppIdentity& identity) {
    return QString::fromStdString(identity.name);
}

} // namespace

void Store::refreshNowLater() {
    Clock::after(liveReadAfterQuit, this, [this] { refreshNow(); });
}

void Store::quit(const LiveRow& row) {
    const int32_t pid = row.assertion.ownerPID();
    const QString name = nameOf(row.identity);
    if (demoState_.demo()) {
        std::vector<LiveRow> rows = live_;
        std::erase_if(rows, [&](const LiveRow& r) { return r.assertion.ownerPID() == pid; });
        setLive(std::move(rows));
        toast_.show(noteworthy().empty() ? name + QStringLiteral(" quit — your Mac can sleep")
                                         : name + QStringLiteral(" quit"),
                    ToastSymbols::appQuit);
        return;
    }
    // Only the process the row stood for: a pid reused since the live read is someone else.
    const auto app = row.owner ? platform_.apps->runningApp(pid) : std::nullopt;
    const bool same =
        app && row.owner == ProcessStamp{app->startTime, app->executablePath.value_or(QString())};
    const auto request = same ? platform_.quit->terminate(*app) : QuitRequest::gone;
    if (request == QuitRequest::gone) {
        toast_.show(name + QStringLiteral(" has already quit"), ToastSymbols::done);
        refreshNow();
        return;
    }
    if (request == QuitRequest::sent)
        toast_.show(QStringLiteral("Asked ") + name + QStringLiteral(" to quit"), ToastSymbols::done);
    else
        toast_.show(name + QStringLiteral(" didn’t respond to Quit"), ToastSymbols::failed);
    refreshNowLater();
}

std::optional<RunningApp> Store::runningApp(const KeptAwakeRow& row) const {
    return runningApp(row, running());
}

std::optional<RunningApp> Store::runningApp(const KeptAwakeRow& row, const RunningAppsSnapshot& running) {
    if (!row.identity.isUserApp) return std::nullopt;
    const QString process = QString::fromStdString(row.entry.process);
    const QString name = nameOf(row.identity);
    for (const RunningApp& app : running.apps) {
        if (app.policy != ActivationPolicy::regular) continue;
        const bool executableMatches =
            app.executablePath && QFileInfo(*app.executablePath).fileName() == process;
        if (executableMatches || app.localizedName == name) return app;
    }
    return std::nullopt;
}

void Store::quit(const KeptAwakeRow& row) {
    const QString name = nameOf(row.identity);
    if (demoState_.demo()) {
        toast_.show(name + QStringLiteral(" quit"), ToastSymbols::appQuit);
        return;
    }
    // The applications running at the click, not those of the last live read.
    const auto app = runningApp(row, *platform_.apps->snapshot());
    const auto request = app ? platform_.quit->terminate(*app) : QuitRequest::gone;
    if (request == QuitRequest::gone) {
        toast_.show(name + QStringLiteral(" isn’t running"), ToastSymbols::done);
        return;
    }
    toast_.show(request == QuitRequest::sent ? QStringLiteral("Asked ") + name + QStringLiteral(" to quit")
                                             : name + QStringLiteral(" didn’t respond to Quit"),
                ToastSymbols::done);
    refreshNowLater();
}

void Store::setLoginItem(bool on) {
    LoginItemService& service = *platform_.loginItem;
    const auto error = on ? service.registerApp() : service.unregisterApp();
    if (error)
        setLoginItemMessage(
            QStringLiteral("macOS didn’t accept the change (") + QString::fromStdString(*error) +
            QStringLiteral("). You can add Dormio in System Settings › General › Login Items."));
    else
        setLoginItemMessage(std::nullopt);
    setLoginItemEnabled(service.status() == LoginItemStatus::enabled);
    if (service.status() == LoginItemStatus::requiresApproval)
        setLoginItemMessage(QStringLiteral("Approve Dormio in System Settings › General › Login Items."));
}

} // namespace dormio

#include "Dormio/UI/Pages/SourceTexts.h"

#include "Dormio/Core/System/LogSources.h"

namespace dormio::SourceTexts {

namespace {

bool journal() {
    return LogSources::named().journal;
}

} // namespace

QString readingLog() {
    return journal() ? QStringLiteral("Reading the system journal") : QStringLiteral("Reading pmset -g log");
}

QString noNightsYet(const QString& start, const QString& end) {
    const QString keeps =
        journal() ? QStringLiteral("Dormio reads a week of sleep history from the system journal.")
                  : QStringLiteral("macOS keeps about a week of sleep history.");
    return keeps + QStringLiteral(" Once your Mac spends a night between ") + start +
           QStringLiteral(" and ") + end + QStringLiteral(" on record, its trace appears here.");
}

QString noHistoryYet() {
    if (journal())
        return QStringLiteral("Nights appear here as the system journal records them. Dormio also keeps each "
                              "night it reads, so history grows past the week it reads from the journal.");
    return QStringLiteral(
        "Nights appear here as macOS records them. Dormio also keeps each night it reads, so "
        "history grows past the week macOS keeps.");
}

QString recordKicker() {
    return journal() ? QStringLiteral("journal record \u00B7 ") : QStringLiteral("pmset record \u00B7 ");
}

QString showRecord() {
    return journal() ? QStringLiteral("Show what the journal recorded")
                     : QStringLiteral("Show what pmset recorded");
}

QString liveFootnote() {
    const QString source = LogSources::named().logind ? QStringLiteral("logind’s inhibitor locks")
                                                      : QStringLiteral("pmset -g assertions");
    return QStringLiteral("Read from ") + source +
           QStringLiteral(
               " every 30 seconds. Quitting asks the app to close normally, so it can save your work "
               "first.");
}

QString nightWindowNote() {
    return journal() ? QStringLiteral("Dormio reads this window of each night from the system journal.")
                     : QStringLiteral("Dormio reads this window of each night from macOS’s power log.");
}

QString energyNote() {
    return QStringLiteral("Per-app numbers are estimates and only cover time when Dormio was running. Sleep, "
                          "wakes and what kept it up come from ") +
           (journal() ? QStringLiteral("the system journal") : QStringLiteral("macOS’s own log")) +
           QStringLiteral(" and work regardless.");
}

QString privacyNote() {
    const DataSources named = LogSources::named();
    const QString reads =
        named.journal || named.logind
            ? QStringLiteral("the system journal, UPower’s history, logind’s inhibitor locks")
            : QStringLiteral("pmset output");
    return QStringLiteral("Everything stays on this Mac. Dormio only reads ") + reads +
           QStringLiteral(
               " and process counters; it never changes power settings and needs no admin password.");
}

QString welcomeReads() {
    return QStringLiteral("Dormio reads ") +
           (journal() ? QStringLiteral("the system journal") : QStringLiteral("macOS’s own power log")) +
           QStringLiteral(
               " and draws each night as a trace: when it slept, every time it woke, and what kept it "
               "up.");
}

} // namespace dormio::SourceTexts

#pragma once

// The texts that say where the data comes from. Where the Linux layers are read they name what they read
// (the system journal, UPower's history, logind's inhibitor locks); where `pmset` runs or a developer
// variable names the file, they keep the pages' own words. Every other text keeps its words everywhere.

#include <QString>

namespace dormio::SourceTexts {

// The loading state's caption: "Reading pmset -g log".
QString readingLog();
// The empty night page's message, with the night window's hours as clock texts.
QString noNightsYet(const QString& start, const QString& end);
// The empty History page's message.
QString noHistoryYet();
// The raw-record card's caption, before the record's clock time: "pmset record · ".
QString recordKicker();
// The tooltip of a moment's button that shows its raw record.
QString showRecord();
// The Right Now page's footnote.
QString liveFootnote();
// The settings' notes on the night window, on the energy figures and on privacy.
QString nightWindowNote();
QString energyNote();
QString privacyNote();
// The first page of the welcome tour.
QString welcomeReads();

} // namespace dormio::SourceTexts

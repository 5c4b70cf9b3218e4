#pragma once

// "nights.json": the finished nights of the last 60 days, one JSON array, rewritten whole by every log read.

#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "DormioKit/PowerLog.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

namespace dormio::HistoryFile {

struct Stored {
    std::vector<Night> nights;
    bool damaged = false; // the file exists but could not be read or decoded
    bool read = false;    // the file was read and decoded
    // Each night's text in `bytes` where it is the text `write` would give it, else an empty view.
    std::vector<std::string_view> texts;
    QByteArray bytes; // the file as read
};

// A missing file holds no nights; so does a damaged one, which `write` then keeps aside.
Stored read(const QString& path);

// A log read's history: the stored nights merged with the nights just built from `log`, and whether the
// file as read already holds the finished ones, so that writing them again can be skipped (a file that
// was not there holds nothing yet). Stored sample nights, nights in progress and nights that start after
// `now` are dropped (of two stored nights with one id the later stays); a night read again replaces its
// stored copy, unless nothing happened in its window or the log ends before the newest stored night
// begins, in which case the stored night stands; nights that ended 60 days before `now` or earlier are
// dropped, and the rest are sorted by start, stored before new on equal starts. The nights are moved
// into place, never copied: sixty busy nights are tens of megabytes. A stored night kept as it was keeps its
// text in the file for `write`, and the file's bytes come along.
struct Merged {
    std::vector<Night> nights;
    bool alreadyStored = false;
    std::vector<std::string_view> texts; // one for each night, as in `Stored`
    QByteArray bytes;
};
Merged merge(Stored stored, std::vector<Night> fresh, const PowerLog& log, Date now);

// Writes the nights that are not in progress atomically, a night at a time, each night with a text in
// `texts` (as `Merged` gives them) by copying that text. A damaged file is first set aside under a name of
// its own (StoredFile); when it cannot be, nothing is written. A night that cannot be encoded, or a failed
// write, leaves the file as it was. Gives a sentence on failure, none on success.
std::optional<QString> write(const QString& path, const std::vector<Night>& nights, bool damaged,
                             const std::vector<std::string_view>& texts = {});

} // namespace dormio::HistoryFile

#pragma once

// A recorded journal in the export format (`journalctl -o export`): entries of "FIELD=value" lines, each
// entry ended by an empty line; a field that holds a line break is written as its name, a line break, its
// length as 64-bit little-endian and its bytes. It stands in for the system's journal in the tests and
// keeps the same entries the real reader keeps.

#include "Dormio/Core/System/JournalEntry.h"
#include "Dormio/Core/System/JournalFacts.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace dormio {

class JournalExport final : public JournalSource {
public:
    using Fields = std::map<std::string, std::string>;

    explicit JournalExport(const QByteArray& text) : entries_(parse(text)) {}

    static JournalExport fromFile(const QString& path) {
        QFile file(path);
        return JournalExport(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }

    // Every boot that reaches into the time from `since` on, with its power-related entries from then on.
    JournalRead read(int64_t since) override {
        std::vector<JournalEntry> all;
        for (const Fields& fields : entries_)
            all.push_back(toEntry(fields));
        std::map<std::string, JournalEntry> lastOf;
        for (const JournalEntry& entry : all)
            lastOf[entry.bootId] = entry;
        const auto reaches = [&](const JournalEntry& entry) {
            return lastOf[entry.bootId].realtime >= since;
        };
        JournalRead read;
        std::set<std::string> seenBoots;
        for (const JournalEntry& entry : all) {
            if (!reaches(entry)) continue;
            if (seenBoots.insert(entry.bootId).second) read.bootStarts.push_back(entry);
            if (entry.realtime >= since && JournalFacts::classify(entry.source, entry.message))
                read.entries.push_back(entry);
        }
        for (const JournalEntry& start : read.bootStarts)
            read.bootEnds.push_back(lastOf[start.bootId]);
        return read;
    }

    const std::vector<Fields>& entries() const { return entries_; }

    static std::vector<Fields> parse(const QByteArray& text) {
        std::vector<Fields> entries;
        Fields current;
        qsizetype at = 0;
        while (at < text.size()) {
            qsizetype end = text.indexOf('\n', at);
            if (end < 0) end = text.size();
            const QByteArray line = text.mid(at, end - at);
            at = end + 1;
            if (line.isEmpty()) {
                if (!current.empty()) entries.push_back(std::move(current));
                current.clear();
                continue;
            }
            const qsizetype equals = line.indexOf('=');
            if (equals >= 0) {
                current[line.left(equals).toStdString()] = line.mid(equals + 1).toStdString();
                continue;
            }
            // A binary field: its length, its bytes and a line break follow the name.
            if (at + 8 > text.size()) break;
            uint64_t length = 0;
            for (int i = 7; i >= 0; --i)
                length = (length << 8) | uint8_t(text[at + i]);
            at += 8;
            if (length > uint64_t(text.size() - at)) break;
            current[line.toStdString()] = text.mid(at, qsizetype(length)).toStdString();
            at += qsizetype(length) + 1;
        }
        if (!current.empty()) entries.push_back(std::move(current));
        return entries;
    }

    static JournalEntry toEntry(const Fields& fields) {
        const auto value = [&](const char* name) {
            const auto found = fields.find(name);
            return found == fields.end() ? std::string() : found->second;
        };
        JournalEntry entry;
        entry.realtime = std::stoll("0" + value("__REALTIME_TIMESTAMP"));
        entry.monotonic = std::stoll("0" + value("__MONOTONIC_TIMESTAMP"));
        entry.bootId = value("_BOOT_ID");
        const std::string transport = value("_TRANSPORT"), pid = value("_PID"), uid = value("_UID"),
                          comm = value("_COMM"), exe = value("_EXE");
        entry.source = JournalFacts::source({transport, pid, uid, comm, exe});
        entry.message = value("MESSAGE");
        entry.unit = value("UNIT");
        return entry;
    }

private:
    std::vector<Fields> entries_;
};

} // namespace dormio

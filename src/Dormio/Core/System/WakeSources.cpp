#include "Dormio/Core/System/WakeSources.h"

#include "Dormio/Core/System/JournalFacts.h"

#include <QDir>
#include <QFile>

namespace dormio::WakeSources {

namespace {

// The words of a PCI class ("0x0c0330": base class, subclass, interface) in the terms the model's wake
// reasons know; empty for the others.
std::string causeWords(const QByteArray& classCode) {
    const QByteArray code = classCode.trimmed().toLower();
    if (code.startsWith("0x0c03")) return "USB device";
    if (code.startsWith("0x0280")) return "WLAN";
    if (code.startsWith("0x0d11")) return "Bluetooth";
    return {};
}

} // namespace

std::map<std::string, std::string> described(const JournalRead& journal, const QString& pciDevices) {
    std::map<std::string, std::string> found;
    for (const JournalEntry& entry : journal.entries) {
        const auto fact = JournalFacts::classify(entry.source, entry.message);
        if (!fact || fact->kind != FactKind::wakeDevice || found.contains(fact->detail)) continue;
        const QString name = QString::fromStdString(fact->detail);
        // A device's own folder name, never a path elsewhere.
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) continue;
        QFile file(QDir(pciDevices).filePath(name + QStringLiteral("/class")));
        if (!file.open(QIODevice::ReadOnly)) continue;
        if (std::string words = causeWords(file.read(64)); !words.empty()) found[fact->detail] = words;
    }
    return found;
}

} // namespace dormio::WakeSources

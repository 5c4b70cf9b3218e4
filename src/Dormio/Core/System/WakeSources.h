#pragma once

// What the kernel's wakeup sources are, where the system describes them: a PCI device by its class
// ("0000:00:14.0" is a USB controller).

#include "Dormio/Core/System/JournalEntry.h"

#include <QString>
#include <map>
#include <string>

namespace dormio::WakeSources {

// The cause words ("USB device", "WLAN", "Bluetooth") of the PCI devices among the wakeup sources the
// journal's entries name, by their class under `pciDevices` (normally /sys/bus/pci/devices).
std::map<std::string, std::string>
described(const JournalRead& journal, const QString& pciDevices = QStringLiteral("/sys/bus/pci/devices"));

} // namespace dormio::WakeSources

#include "DormioKit/WakeReason.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;

namespace {

const WakeReason lid{"You opened the lid", "laptopcomputer", true};
const WakeReason powerButton{"Power button pressed", "power", true};
const WakeReason maintenance{"Maintenance / Power Nap", "wrench.and.screwdriver", false};
const WakeReason backgroundTask{"Scheduled background task", "calendar.badge.clock", false};
const WakeReason notification{"A notification arrived", "bell", false};
const WakeReason chargerOn{"Charger connected", "powerplug", false};
const WakeReason chargerOff{"Charger disconnected", "powerplug", false};
const WakeReason wiredInput{"You \u2014 keyboard or mouse", "keyboard", true};
const WakeReason wirelessInput{"You \u2014 wireless keyboard or mouse", "computermouse", true};
const WakeReason userBack{"You were back", "person", true};
const WakeReason network{"Network keep-alive (Wi-Fi)", "wifi", false};
const WakeReason timer{"Scheduled timer", "timer", false};
const WakeReason usbDevice{"USB device", "cable.connector", false};
const WakeReason bluetoothDevice{"Bluetooth device", "dot.radiowaves.left.and.right", false};
const WakeReason thermal{"Temperature check", "thermometer.medium", false};
const WakeReason startUp{"Mac started up", "power", true};
const WakeReason unknown{"Unknown reason", "questionmark", false};

WakeReason otherReason(std::string shown) {
    return {"Other (" + shown + ")", "questionmark", false};
}

struct Case {
    const char* cause;
    WakeReason reason;
};

void expectClassified(std::initializer_list<Case> cases, PowerEventKind kind = PowerEventKind::wake) {
    for (const Case& c : cases)
        EXPECT_EQ(WakeReason::classify(c.cause, kind), c.reason) << "cause: " << c.cause;
}

} // namespace

// Printed in failure messages.
namespace dormio {
void PrintTo(const WakeReason& r, std::ostream* out) {
    *out << "{" << r.label << ", " << r.symbol << ", " << r.isYou << "}";
}
} // namespace dormio

TEST(WakeReason, EachRuleOfTheTable) {
    expectClassified({
        {"EC.LidOpen (User)", lid},
        {"lid open", lid},
        {"EC.PowerButton (User)", powerButton},
        {"PWRB (User)", powerButton},
        {"power button", powerButton},
        {"RTC/Maintenance", maintenance},
        {"SMC/SleepService", backgroundTask},
        {"NotificationWake", notification},
        {"RTC/com.apple.notificationcenter", notification},
        {"EC.ACAttach", chargerOn},
        {"AC Attach", chargerOn},
        {"EC.ACDetach", chargerOff},
        {"HID Activity usb", wiredInput},
        {"UserActivity XHCI", wiredInput},
        {"Keyboard wifibt", wirelessInput},
        {"Trackpad Bluetooth", wirelessInput},
        {"UserActivity Assertion", userBack},
        {"e_rx_ip_packet", network},
        {"ARPT (WLAN)", network},
        {"wlan.0", network},
        {"GMAC/en0", network},
        {"WiFi", network},
        {"RTC (Alarm)", timer},
        {"SPMI", timer},
        {"UserTimer", timer},
        {"USB-C port", usbDevice},
        {"XHC1", usbDevice},
        {"Bluetooth HID", bluetoothDevice},
        {"BT.wake", bluetoothDevice},
        {"SMC.Thermal", thermal},
        {"SMC.OutboxNotEmpty", otherReason("SMC.OutboxNotEmpty")},
    });
    expectClassified({{"", startUp}, {"Mac started up", startUp}, {"SMC.OutboxNotEmpty", startUp}},
                     PowerEventKind::boot);
}

TEST(WakeReason, TheFirstMatchingRuleWins) {
    expectClassified({
        {"Lid Open maintenance", lid},
        {"PowerButton LidOpen", lid},
        {"PowerButton/Maintenance", powerButton},
        {"Maintenance/SleepService", backgroundTask},
        {"ACAttach/Notification", notification},
        {"ACAttach ACDetach", chargerOn},
        {"ACDetach UserActivity usb", chargerOff},
        {"UserActivity usb bluetooth", wiredInput},
        {"keyboard wlan", userBack},
        {"wifi bluetooth timer", network},
        {"Timer USB", timer},
        {"USB BT", usbDevice},
        {"BT thermal", bluetoothDevice},
    });
    // The text rules all come before the kind.
    expectClassified({{"SMC.Thermal", thermal}, {"EC.LidOpen", lid}}, PowerEventKind::boot);
}

TEST(WakeReason, MaintenanceSleepServiceAndNotificationLookAfterTheLastSlash) {
    expectClassified({
        {"Maintenance/RTC", timer},
        {"maintenance/", otherReason("maintenance/")},
        {"SleepService/SMC", otherReason("SleepService/SMC")},
        {"a/b/MaintenanceWake", maintenance},
        // The prefix test of the notification rule looks at the whole text.
        {"Notification/SMC", notification},
        {"SMC/Notification", notification},
        {"apple.notification/SMC", otherReason("apple.notification/SMC")},
    });
}

TEST(WakeReason, RulesSeeTheCauseInLowerCase) {
    expectClassified({{"LID OPEN", lid}, {"Lid Open", lid}, {"AcAttach", chargerOn}, {"THERMAL", thermal}});
}

TEST(WakeReason, LowerCaseIsUnicodeFullLowerCaseIndependentOfTheUserLanguage) {
    ScopedLocale turkish("tr_TR");
    expectClassified({
        // In Turkish "I" lowers to a dotless ı; the rules never follow the user's language.
        {"LIDOPEN \u00DC", lid},
        // KELVIN SIGN lowers to a plain k.
        {"\u212AEYBOARD usb", wiredInput},
        // Capital I with dot above lowers to i and a combining dot, which is not "lidopen".
        {"L\u0130DOPEN", otherReason("L\u0130DOPEN")},
    });
}

TEST(WakeReason, WordsAreWholePiecesBetweenSeparators) {
    expectClassified({
        {"rtc", timer},
        {"(RTC)", timer},
        {"SMC.rtc.alarm", timer},
        {"a/rtc/b", timer},
        {"rtcalarm", otherReason("rtcalarm")},
        {"xrtc", otherReason("xrtc")},
        {"BT", bluetoothDevice},
        {"x(bt)", bluetoothDevice},
        {"subtle", otherReason("subtle")},
        {"bt-wake", otherReason("bt-wake")},
        {"arpt", network},
        {"arpt2", otherReason("arpt2")},
        {"en0.mac", network},
        {"en01", otherReason("en01")},
        // A tab or a line break does not cut the text into words.
        {"x\trtc", otherReason("x\trtc")},
    });
}

TEST(WakeReason, UserActivityIsSplitByTheWayTheInputArrived) {
    expectClassified({
        {"UserActivity usb", wiredInput},
        {"UserActivity bluetooth", wirelessInput},
        {"UserActivity wifibt", wirelessInput},
        {"UserActivity", userBack},
        // "xhci" is needed here, while the USB rule accepts "xhc".
        {"HID Activity XHC1", userBack},
        {"UserActivity wifibt0", userBack},
        {"usb", usbDevice},
        {"usb hid", usbDevice},
    });
}

TEST(WakeReason, OtherShowsTheTrimmedCauseUpToTwentyFourCharacters) {
    expectClassified({
        {"", unknown},
        {"   ", unknown},
        {" \t \t", unknown},
        {"  \tSMC.Outbox \t ", otherReason("SMC.Outbox")},
        {"\nSMC.Outbox\n", otherReason("\nSMC.Outbox\n")},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", otherReason("ABCDEFGHIJKLMNOPQRSTUVWX")},
        {"ABCDEFGHIJKLMNOPQRSTUVWX", otherReason("ABCDEFGHIJKLMNOPQRSTUVWX")},
    });
}

TEST(WakeReason, OtherCountsUserPerceivedCharacters) {
    std::string accented, accented24;
    for (int i = 0; i < 30; ++i)
        accented += "e\u0301"; // e with a combining acute: one character, two code points
    for (int i = 0; i < 24; ++i)
        accented24 += "e\u0301";
    std::string flags, flags24;
    for (int i = 0; i < 25; ++i)
        flags += "\U0001F1E9\U0001F1EA";
    for (int i = 0; i < 24; ++i)
        flags24 += "\U0001F1E9\U0001F1EA";
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    expectClassified({
        {accented.c_str(), otherReason(accented24)},
        {flags.c_str(), otherReason(flags24)},
        {(family + "ABCDEFGHIJKLMNOPQRSTUVWXY").c_str(), otherReason(family + "ABCDEFGHIJKLMNOPQRSTUVW")},
    });
}

TEST(WakeReason, SleepLabels) {
    struct SleepCase {
        const char* cause;
        const char* words;
    };
    const SleepCase cases[] = {
        {"Idle Sleep", "Fell asleep after sitting idle"},
        {"Maintenance Sleep", "Back to sleep after maintenance"},
        {"Sleep Service Back to Sleep", "Back to sleep after a background task"},
        {"Notification Wake Back to Sleep", "Back to sleep after a notification"},
        {"Clamshell Sleep", "Lid closed \u2014 went to sleep"},
        {"Software Sleep", "Put to sleep from the menu"},
        {"Power Button", "Power button \u2014 went to sleep"},
        {"Low Power Sleep", "Battery low \u2014 went to sleep"},
        {"Dark Wake Thermal Emergency", "Back to sleep (too warm to stay up)"},
        {"idle sleep", "Went to sleep (idle sleep)"},
        {"Idle Sleep ", "Went to sleep (Idle Sleep )"},
        {"Idle  Sleep", "Went to sleep (Idle  Sleep)"},
        {"Thermal Emergency Sleep", "Went to sleep (Thermal Emergency Sleep)"},
        {" ", "Went to sleep ( )"},
        {"", "Went to sleep"},
    };
    for (const SleepCase& c : cases)
        EXPECT_EQ(WakeReason::sleepLabel(c.cause), c.words) << c.cause;
}

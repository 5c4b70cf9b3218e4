#include "DormioKit/NightJson.h"
#include "DormioKit/SharedText.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace dormio;
using namespace dormio::test;
using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

TEST(SharedText, HoldsEveryTextAsGiven) {
    const std::vector<std::string> texts{"",
                                         "a",
                                         "fifteen chars..",
                                         "sixteen chars...",
                                         "Caf\u00e9 \u2248 \U0001F319",
                                         "nul\0inside"s,
                                         std::string(5000, 'x')};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const SharedText shared(text);
        EXPECT_EQ(shared.view(), text);
        EXPECT_EQ(shared.size(), text.size());
        EXPECT_EQ(shared.empty(), text.empty());
        EXPECT_EQ(shared.str(), text);
    }
}

TEST(SharedText, ComparesByContent) {
    struct Case {
        std::string_view a, b;
        bool equal;
    };
    const Case cases[] = {{"label", "label", true}, {"label", "labels", false}, {"labels", "label", false},
                          {"", "", true},           {"", "x", false},           {"a\0b"sv, "a\0c"sv, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + std::string(c.b));
        EXPECT_EQ(SharedText(c.a) == SharedText(c.b), c.equal); // two copies apart
        EXPECT_EQ(SharedText(c.a) == c.b, c.equal);
        EXPECT_EQ(SharedText(c.a) != c.b, !c.equal);
        EXPECT_EQ(std::hash<SharedText>{}(SharedText(c.a)) == std::hash<SharedText>{}(SharedText(c.b)),
                  c.equal);
    }
}

TEST(SharedText, ACopyOutlivesTheOriginalAndAnAssignment) {
    std::optional<SharedText> original = SharedText("Maintenance wake");
    SharedText copy = *original;
    SharedText moved = SharedText(copy);
    original.reset();
    EXPECT_EQ(copy, "Maintenance wake");
    copy = "Stayed awake with the screen off";
    EXPECT_EQ(moved, "Maintenance wake");
    moved = moved; // assigning a text to itself keeps it
    EXPECT_EQ(moved, "Maintenance wake");
    moved = std::move(copy);
    EXPECT_EQ(moved, "Stayed awake with the screen off");
}

// Nights read on the thread pool are copied and dropped on other threads: the count of holders stays right.
TEST(SharedText, CopiesComeAndGoOnManyThreadsAtOnce) {
    const SharedText text("com.apple.powermanagement.wakeschedule");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&text] {
            for (int i = 0; i < 20000; ++i) {
                std::vector<SharedText> copies(8, text);
                copies.clear();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(text, "com.apple.powermanagement.wakeschedule");
}

TEST(SharedTextPool, GivesEqualTextsOneCopyThatOutlivesThePool) {
    SharedText first, again, other;
    {
        SharedTextPool pool;
        first = pool.intern("Maintenance wake");
        again = pool.intern(std::string("Maintenance") + " wake");
        other = pool.intern("Maintenance wake ");
    }
    EXPECT_EQ(first.view().data(), again.view().data());
    EXPECT_NE(first.view().data(), other.view().data());
    EXPECT_EQ(again, "Maintenance wake");
    EXPECT_EQ(other, "Maintenance wake ");
}

// Both readers of "nights.json", the compact one and the general one it falls back to, share each text among
// the events of a read.
TEST(SharedTextPool, ReadNightsShareTheirEventsTexts) {
    Night night = sampleNight();
    night.events.resize(1);
    night.events[0].scheduledBy = "com.apple.powermanagement.wakeschedule \u00b7 maintenance";
    night.events[0].culprit = "powerd";
    night.events.push_back(night.events[0]);
    const std::string compact = encodeNights({night, night}).value();
    for (const std::string& json : {compact, " " + compact}) {
        SCOPED_TRACE(json.substr(0, 1));
        const auto read = decodeNights(json);
        ASSERT_TRUE(read);
        ASSERT_EQ(read->size(), 2u);
        const NightEvent& first = read->front().events.front();
        for (const Night& readNight : *read)
            for (const NightEvent& event : readNight.events) {
                EXPECT_EQ(event, night.events[0]);
                EXPECT_EQ(event.label.view().data(), first.label.view().data());
                EXPECT_EQ(event.symbol.view().data(), first.symbol.view().data());
                EXPECT_EQ(event.raw.view().data(), first.raw.view().data());
                EXPECT_EQ(event.scheduledBy->view().data(), first.scheduledBy->view().data());
                EXPECT_EQ(event.culprit->view().data(), first.culprit->view().data());
            }
    }
}

} // namespace

#include "OstrelKit/Updater/UpdateFeed.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

const UpdateFeed::Download download{"https://dormio.example/Dormio-2.1.0.zip", 1234, "c2lnbmF0dXJl"};

TEST(UpdateFeed, DecodesEveryFieldAndIgnoresUnknownKeys) {
    const auto feed = UpdateFeed::decode(R"({
        "version": "2.1.0", "url": "https://dormio.example/", "notes": "Faster nights.",
        "minimumSystemVersion": "2.31", "extra": [1, 2],
        "download": {"url": "https://dormio.example/Dormio-2.1.0.zip", "length": 1234, "edSignature": "c2lnbmF0dXJl",
                     "other": true}})");
    ASSERT_TRUE(feed);
    EXPECT_EQ(*feed, (UpdateFeed{"2.1.0", "https://dormio.example/", "Faster nights.", "2.31", download}));
}

TEST(UpdateFeed, OptionalFieldsMissingOrNullAreNone) {
    for (const char* json : {R"({"version": "2.1", "url": "u"})",
                             R"({"version": "2.1", "url": "u", "notes": null, "minimumSystemVersion": null,
                                 "download": null})"}) {
        const auto feed = UpdateFeed::decode(json);
        ASSERT_TRUE(feed) << json;
        EXPECT_EQ(*feed, (UpdateFeed{"2.1", "u", std::nullopt, std::nullopt, std::nullopt})) << json;
    }
}

TEST(UpdateFeed, ABrokenRuleFailsTheWholeDocument) {
    const char* const broken[] = {
        R"({"url": "u"})",                                      // no version
        R"({"version": "2.1"})",                                // no url
        R"({"version": null, "url": "u"})",                     // required null
        R"({"version": 2.1, "url": "u"})",                      // required of another type
        R"({"version": "2.1", "url": "u", "notes": 3})",        // optional of another type
        R"({"version": "2.1", "url": "u", "download": "zip"})", // download not an object
        R"({"version": "2.1", "url": "u", "download": {"url": "z", "length": 5}})",
        R"({"version": "2.1", "url": "u", "download": {"url": "z", "length": "5", "edSignature": "s"}})",
        R"({"version": "2.1", "url": "u", "download": {"url": "z", "length": 5.5, "edSignature": "s"}})",
        R"({"version": "2.1", "url": "u", "download": {"url": "z", "length": 1e30, "edSignature": "s"}})",
        R"(["version", "2.1"])",
        R"({"version": "2.1", "url": "u")",
        "",
    };
    for (const char* json : broken)
        EXPECT_FALSE(UpdateFeed::decode(json)) << json;
}

// The version becomes a folder name and part of a settings key.
TEST(UpdateFeed, OnlyAPlainVersionTextDecodes) {
    struct Case {
        QString version;
        bool plain;
    };
    const Case cases[] = {
        {"2.1.0", true},
        {"2.1.0-beta+7", true},
        {"V2", true},
        {QString(64, u'1'), true},
        {QString(65, u'1'), false},
        {"", false},
        {".", false},
        {"..", false},
        {"../../evil", false},
        {"2.1/3", false},
        {"2.1\\3", false},
        {"2 1", false},
        {"2.1\n", false},
        {"2.\u00e9", false},
        {"2.1_0", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isPlainVersionText(c.version), c.plain) << c.version.toStdString();
        UpdateFeed feed{c.version, "u"};
        EXPECT_EQ(UpdateFeed::decode(feed.encode()).has_value(), c.plain) << c.version.toStdString();
    }
}

TEST(UpdateFeed, EncodesWhatItDecodesLeavingOutAbsentFields) {
    const UpdateFeed full{"2.1.0", "https://dormio.example/", "Notes “quoted”", "2.36", download};
    EXPECT_EQ(UpdateFeed::decode(full.encode()), full);
    const UpdateFeed bare{"2.1.0", "https://dormio.example/"};
    EXPECT_EQ(UpdateFeed::decode(bare.encode()), bare);
    EXPECT_FALSE(bare.encode().contains("notes"));
    EXPECT_FALSE(bare.encode().contains("download"));
}

TEST(UpdateFeed, LengthKeepsTheWholeSigned64BitRange) {
    const auto feed = UpdateFeed::decode(
        R"({"version": "2", "url": "u", "download": {"url": "z", "length": -9000000000, "edSignature": "s"}})");
    ASSERT_TRUE(feed && feed->download);
    EXPECT_EQ(feed->download->length, -9000000000);
}

} // namespace
} // namespace dormio

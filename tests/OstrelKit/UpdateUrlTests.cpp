#include "OstrelKit/Updater/UpdateUrl.h"

#include <gtest/gtest.h>

namespace dormio {
namespace {

TEST(UpdateUrl, OnlyHttpAndHttpsFormAnAddress) {
    struct Case {
        const char* text;
        bool forms;
        bool allowed;
    };
    const Case cases[] = {
        {"https://dormio.example/feed.json", true, true},
        {"HTTPS://dormio.example/feed.json", true, true},
        {"http://dormio.example/feed.json", true, false}, // plain http only on this machine
        {"http://127.0.0.1:8080/feed.json", true, true},
        {"http://127.8.9.10/feed.json", true, true},
        {"http://[::1]:8080/feed.json", true, true},
        {"http://localhost/feed.json", true, false}, // a name goes through the resolver
        {"http://127.0.0.1.dormio.example/feed.json", true, false},
        {"http://10.0.0.1/feed.json", true, false},
        {"file:///etc/passwd", false, false},
        {"ftp://dormio.example/feed.json", false, false},
        {"javascript:alert(1)", false, false},
        {"data:text/plain,x", false, false},
        {"https:///feed.json", false, false},
        {"dormio.example/feed.json", false, false},
        {"", false, false},
        {"https://dormio.example/a b", false, false},
    };
    for (const Case& c : cases) {
        const auto url = UpdateUrl::parse(c.text);
        EXPECT_EQ(url.has_value(), c.forms) << c.text;
        if (url) {
            EXPECT_EQ(UpdateUrl::isAllowed(*url), c.allowed) << c.text;
        }
    }
}

TEST(UpdateUrl, RedirectTargetsAreJudgedAlike) {
    EXPECT_FALSE(UpdateUrl::isAllowed(QUrl("http://dormio.example/Dormio.zip")));
    EXPECT_FALSE(UpdateUrl::isAllowed(QUrl("file:///tmp/Dormio.zip")));
    EXPECT_TRUE(UpdateUrl::isAllowed(QUrl("https://cdn.dormio.example/Dormio.zip")));
}

} // namespace
} // namespace dormio

#pragma once

// The clock zone (TZ) and ICU locale a test pins for its own life and puts back when it ends; the whole run
// starts on UTC and C.UTF-8 (TestHome.h).

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <unicode/locid.h>

namespace dormio::test {

// Keeps TZ as it was when made and puts it back when it goes; `set` changes it meanwhile. The C library reads
// the zone again at each change, so that localtime_r follows it too.
class ScopedTZ {
public:
    ScopedTZ() {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
    }
    explicit ScopedTZ(const char* zone) : ScopedTZ() { set(zone); }
    ScopedTZ(const ScopedTZ&) = delete;
    ScopedTZ& operator=(const ScopedTZ&) = delete;
    ~ScopedTZ() {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    void set(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

// The same for ICU's default locale, which the date formats and the user's language follow.
class ScopedLocale {
public:
    ScopedLocale() = default;
    explicit ScopedLocale(const char* name) { set(name); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    ~ScopedLocale() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved_, status);
    }

    void set(const char* name) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
    }

private:
    icu::Locale saved_ = icu::Locale::getDefault();
};

} // namespace dormio::test

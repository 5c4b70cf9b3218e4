#include "DormioKit/DurationText.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

using dormio::PowerLogParser::parseDuration;

namespace {

struct DurationCase {
    std::string text;
    double seconds;
};

std::ostream& operator<<(std::ostream& out, const DurationCase& c) {
    return out << '"' << c.text << "\" -> " << c.seconds;
}

class DurationText : public testing::TestWithParam<DurationCase> {};

TEST_P(DurationText, ReadsSeconds) {
    EXPECT_EQ(parseDuration(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(ThreeNumbers, DurationText,
                         testing::Values(DurationCase{"01:02:03", 3723}, DurationCase{"0:90:00", 5400},
                                         DurationCase{"00:00:01.5", 1.5}, DurationCase{"25:00:00", 90000},
                                         DurationCase{"+1:0:0", 3600}, DurationCase{"0x10:0:0", 57600},
                                         DurationCase{"1e1:0:0", 36000}, DurationCase{"00:00:00", 0},
                                         DurationCase{"99:99:99", 362439},
                                         DurationCase{"100:00:00", 360000}));

INSTANTIATE_TEST_SUITE_P(NotThreePieces, DurationText,
                         testing::Values(DurationCase{"1:2", 0}, DurationCase{"1:2:3:4", 0},
                                         DurationCase{"1:2:3:", 0}, DurationCase{"", 0},
                                         DurationCase{"123", 0}));

INSTANTIATE_TEST_SUITE_P(
    PieceNotANumber, DurationText,
    testing::Values(DurationCase{"1::3", 0}, DurationCase{" 1:00:00", 0}, DurationCase{"1 :00:00", 0},
                    DurationCase{"1:00:00 ", 0}, DurationCase{"\t1:00:00", 0}, DurationCase{"a:b:c", 0},
                    DurationCase{"1:2:3s", 0}, DurationCase{std::string("1:2:3\0", 6), 0},
                    DurationCase{"0x:0:0", 0}, DurationCase{"00:0x:00", 0}, DurationCase{"00:00:0 ", 0}));

INSTANTIATE_TEST_SUITE_P(NegativeOrNotFinite, DurationText,
                         testing::Values(DurationCase{"-1:00:00", 0}, DurationCase{"0:-1:00", 0},
                                         DurationCase{"nan:0:0", 0}, DurationCase{"0:0:nan", 0},
                                         DurationCase{"inf:0:0", 0}, DurationCase{"0:0:infinity", 0},
                                         DurationCase{"1e308:0:0", 0}, DurationCase{"0:1e400:0", 0}));

} // namespace

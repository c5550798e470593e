// The rows of the comma-separated output, written in process.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "GNSS/TidePoint.h"
#include "GNSS/mjd.h"
#include "src/fCsvWriter.h"

namespace {

std::string RowText(const mjd& e) {
    const havorkastilo::TideResult r{};
    std::vector<char> text(CsvWriter::kMaxRow);
    CsvWriter w;
    return std::string(text.data(), w.Row(e, r, text.data()));
}

// The time stamp, the day number and the seconds of day of midnight:
// seven decimals of the second in the stamp and in the seconds column.
TEST(CsvRowEpoch, ANegativeZeroSecondIsMidnightAsAPositiveZeroIs) {
    const mjd negative(58500, -0.0L);
    ASSERT_TRUE(std::signbit(negative.GetSecond()));
    const std::string plus = RowText(mjd(58500, 0.0L));
    EXPECT_EQ(plus.substr(0, 45), "2019-01-17T00:00:00.0000000Z,58500,0.0000000,");
    EXPECT_EQ(RowText(negative), plus);
}

}  // namespace

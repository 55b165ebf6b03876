// Inputs that once took seconds (polar places with the nearest-day or
// nearest-latitude rules and a wide area, a height far above the
// atmosphere) complete, with reports whose content is checked; their cost
// is measured by the benchmarks, not here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

struct ExtremeCase {
    const char *name;
    double latitude, longitude;
    int height;
    float zone;
    int rule;
    int distanceKm;
    bool usable;  // false: the place is outside the documented range
};

class ExtremeInput : public ::testing::TestWithParam<ExtremeCase> {};

std::string YearSchedule(VorLocation loc, VorConfig cfg) {
    VorDate date = Civil(2026, 1, 1);
    std::vector<char> text(1 << 17);
    const std::int32_t n = VorCalculateN(&date, &loc, &cfg, text.data(),
                                         static_cast<std::int32_t>(text.size()));
    EXPECT_GT(n, 0);
    EXPECT_LT(n, static_cast<std::int32_t>(text.size()));
    return std::string(text.data());
}

TEST_P(ExtremeInput, YearReportCompletes) {
    const ExtremeCase &c = GetParam();
    VorLocation loc = PlaceInDegrees(c.latitude, c.longitude, c.height, c.zone, c.name);
    VorConfig cfg = ReportSettings(VOR_SPAN_YEAR);
    cfg.highLatitudeRule = c.rule;
    cfg.distanceKm = c.distanceKm;
    const std::string report = YearSchedule(loc, cfg);
    // Twelve pages, 365 day rows.
    int rows = 0;
    for (const std::string &line : Lines(report)) {
        if (line.size() > 17 && line[0] >= '1' && line[0] <= '9' && line[4] == ' ') ++rows;
    }
    EXPECT_EQ(rows, 365);
    if (c.usable) {
        EXPECT_EQ(report.find("Latitude NotValid"), std::string::npos);
    } else {
        // Like a latitude beyond the pole: the place reads "NotValid" and
        // so does every time, and the conversions refuse it.
        EXPECT_NE(report.find("NotValid"), std::string::npos);
        VorDate date = Civil(2026, 6, 1);
        EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ExtremeInput,
    ::testing::Values(
        ExtremeCase{"Longyearbyen_rule7_area100", 78.2232, 15.6267, 0, 1.0f, 7, 100, true},
        ExtremeCase{"Lat89_rule7_area50", 89.0, 0.0, 0, 0.0f, 7, 50, true},
        ExtremeCase{"Lat89_rule8_area50", 89.0, 0.0, 0, 0.0f, 8, 50, true},
        ExtremeCase{"Lat89_rule5_area50", 89.0, 0.0, 0, 0.0f, 5, 50, true},
        ExtremeCase{"Lat60_rule6_area20000", 60.0, 0.0, 0, 0.0f, 6, 20000, true},
        ExtremeCase{"Equator_rule5_area3000", 0.0, 0.0, 0, 0.0f, 5, 3000, true},
        ExtremeCase{"DeadSea_shore", 31.559, 35.4732, -430, 2.0f, 0, 0, true},
        ExtremeCase{"Lat90_height_2147483647", 90.0, 0.0, 2147483647, 0.0f, 0, 0, false},
        ExtremeCase{"Height_100001", 45.0, 0.0, 100001, 0.0f, 0, 0, false},
        ExtremeCase{"Height_minus_1001", 45.0, 0.0, -1001, 0.0f, 0, 0, false}),
    [](const ::testing::TestParamInfo<ExtremeCase> &info) { return std::string(info.param.name); });

TEST(HeightRange, EdgesAreUsable) {
    for (int height : {-1000, 100000}) {
        VorLocation loc = PlaceInDegrees(45.0, 0.0, height, 0.0f, "Edge");
        VorConfig cfg = ReportSettings(VOR_SPAN_DAY);
        VorDate date = Civil(2026, 6, 1);
        EXPECT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1) << height;
    }
}

}  // namespace
}  // namespace vorlin

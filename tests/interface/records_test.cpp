// The public header compiles as C++ and its layout checks hold; the
// radian frame of the exports leaves the host's coordinates as they were.
#include "vorlin.h"

#include <gtest/gtest.h>

namespace {

TEST(Records, SizesMatchTheirFixedLayouts) {
    EXPECT_EQ(sizeof(VorDate), 40u);
    EXPECT_EQ(sizeof(VorLocation), 80u);
    EXPECT_EQ(sizeof(VorConfig), 68u);
}

TEST(RadianFrame, LocationRestoredAfterEveryExport) {
    VorLocation loc{};
    loc.latitude = 51.5;
    loc.longitude = -0.1;
    loc.timeZone = 0.0f;
    VorDate date{};
    date.year = 2024;
    date.month = 3;
    date.day = 11.0;
    VorConfig cfg{};
    cfg.toleranceSeconds = 1;
    cfg.fajrAngle = -18.0f;
    cfg.ishaAngle = -17.0f;
    cfg.imsakAngle = -19.0f;
    cfg.crescentThreshold = 20.0f;
    static char text[1 << 20];
    double a = 0, b = 0, c = 0;
    VorAdToIslamic(&date, &loc, &cfg);
    VorIslamicToAd(&date, &loc, &cfg);
    VorCalculate(&date, &loc, &cfg, text);
    VorMoonInfo(&date, &loc, &cfg, text);
    VorQiblaInfo(&loc, &date, &a, &b, &c);
    EXPECT_NEAR(loc.latitude, 51.5, 1e-13);
    EXPECT_NEAR(loc.longitude, -0.1, 1e-15);
}

}  // namespace

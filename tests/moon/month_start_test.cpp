#include "moon/month_start.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/earth_rotation.h"
#include "calendar/julian_day.h"
#include "moon/moon_rise_transit_set.h"
#include "prayer/text_writer.h"
#include "support/test_support.h"

namespace vorlin {
namespace {

using namespace testing_support;

double LocalDay(int year, int month, int day) { return DateToJulianDay(Civil(year, month, day)); }

const VorLocation Makkah = MakkahInRadians(/*name=*/"");

MonthStartDetails DetailsFor(const VorDate &date, const VorLocation &loc, const VorConfig &cfg) {
    MonthStartDetails d{};
    EXPECT_EQ(ComputeMonthStartDetails(&date, &loc, &cfg, &d), 1);
    return d;
}

// Local JD of an instant given as radians of day from local midnight of day.
double Instant(double day, double timeOfDay) { return day + timeOfDay / TwoPi; }

// ---- The evening search ---------------------------------------------------

struct EveningCase {
    const char *what;
    int year, month, day;          // a date shortly before the new moon
    int conjunctionDay;            // local day of the topocentric new moon
    int eveningDay;                // the accepted evening
};

class FirstEvening : public ::testing::TestWithParam<EveningCase> {};

TEST_P(FirstEvening, IsTheFirstOnWhichTheSunSetsAfterTheNewMoonAndTheMoonAfterTheSun) {
    const EveningCase &c = GetParam();
    const VorConfig cfg = ObservingSettings(20.0f);
    const MonthStartDetails d = DetailsFor(Civil(c.year, c.month, c.day), Makkah, cfg);
    EXPECT_EQ(std::floor(d.topo - 0.5) + 0.5, LocalDay(c.year, c.month, c.conjunctionDay))
        << c.what;
    EXPECT_EQ(d.eveningJd, LocalDay(c.year, c.month, c.eveningDay)) << c.what;
    // On the accepted evening the Sun sets after the conjunction and the
    // Moon after the Sun; sunset at Makkah is between 17:30 and 19:30.
    EXPECT_GE(Instant(d.eveningJd, d.sunset), d.topo) << c.what;
    EXPECT_GE(d.moonset, d.sunset) << c.what;
    EXPECT_GT(d.sunset, 17.5 * HourToRad);
    EXPECT_LT(d.sunset, 19.5 * HourToRad);
    // The month begins on the day after the evening, or the day after that.
    EXPECT_TRUE(d.start == d.eveningJd + 1.0 || d.start == d.eveningJd + 2.0);
    EXPECT_EQ(d.start == d.eveningJd + 1.0, d.visibility >= 20.0 * DegToRad);
}

INSTANTIATE_TEST_SUITE_P(
    Makkah, FirstEvening,
    ::testing::Values(
        // New moon 2024-06-06 at 17:17 local, sunset 19:04, moonset 19:15:
        // the evening of the new moon's own day, the Moon only hours old.
        EveningCase{"shortly before sunset", 2024, 6, 1, 6, 6},
        // New moon 2023-07-17 at 22:16 local, after that day's sunset.
        EveningCase{"after sunset", 2023, 7, 10, 17, 18},
        // New moon 2024-01-11 at 16:30 local, but the Moon sets before the
        // Sun that evening: the next evening is used.
        EveningCase{"moon sets first", 2024, 1, 5, 11, 12},
        // New moon 2023-11-13 at 12:12 local, the Moon again setting first.
        EveningCase{"moon sets first, noon", 2023, 11, 5, 13, 14}));

TEST(FirstEvening, ShortlyBeforeSunsetTheCrescentIsOnlyHoursOld) {
    const MonthStartDetails d = DetailsFor(Civil(2024, 6, 1), Makkah, ObservingSettings(20.0f));
    const double ageHours = (Instant(d.eveningJd, d.sunset) - d.topo) * 24.0;
    EXPECT_GT(ageHours, 0.0);
    EXPECT_LT(ageHours, 3.0);
    EXPECT_LT((d.moonset - d.sunset) * RadToHour, 0.5);
    EXPECT_LT(d.moonData.illuminated, 0.01);
}

TEST(FirstEvening, NewMoonAfterSunsetMovesToTheNextEvening) {
    const VorConfig cfg = ObservingSettings(20.0f);
    const MonthStartDetails d = DetailsFor(Civil(2023, 7, 10), Makkah, cfg);
    const double d0 = std::floor(d.topo - 0.5) + 0.5;
    // FindFirstEvening itself: day D0 is refused, D0 + 1 taken.
    double evening = 0.0;
    double sunset = 0.0;
    double moonset = 0.0;
    const double deltaT = DeltaT(JulianCenturies(d.topo));
    ASSERT_EQ(FindFirstEvening(d.topo, deltaT, &Makkah, &cfg, &evening, &sunset, &moonset), 1);
    EXPECT_EQ(evening, d0 + 1.0);
    // Delta T is taken here at the civil new moon, there a minute later:
    // the times agree to far below a second.
    EXPECT_NEAR(sunset, d.sunset, 1e-7);
    EXPECT_NEAR(moonset, d.moonset, 1e-7);
    // Under the midnight Sun no evening qualifies and nothing is written.
    const VorLocation north = PlaceInRadians(80.0, 15.0, 0, 1.0f);
    double untouched[3] = {-1.0, -2.0, -3.0};
    EXPECT_EQ(FindFirstEvening(LocalDay(2024, 6, 6) + 0.3, deltaT, &north, &cfg, &untouched[0],
                               &untouched[1], &untouched[2]),
              0);
    EXPECT_EQ(untouched[0], -1.0);
    EXPECT_EQ(untouched[1], -2.0);
    EXPECT_EQ(untouched[2], -3.0);
}

TEST(FirstEvening, GeocentricAndTopocentricNewMoonOnDifferentDays) {
    // The geocentric new moon at 23:53 local on 2023-01-21 (20:53 UT), the
    // topocentric one at 00:07 on the 22nd; the search starts on the 22nd.
    const VorLocation sea = PlaceInRadians(21.4225, 39.8262, 0, 3.0f);
    const MonthStartDetails d = DetailsFor(Civil(2023, 1, 15), sea, ObservingSettings(20.0f));
    EXPECT_EQ(std::floor(d.geo - 0.5) + 0.5, LocalDay(2023, 1, 21));
    EXPECT_EQ(std::floor(d.topo - 0.5) + 0.5, LocalDay(2023, 1, 22));
    EXPECT_EQ(d.eveningJd, LocalDay(2023, 1, 22));
}

TEST(FirstEvening, SunAndMoonStandAtTheirHorizonAltitudes) {
    // At the sunset the search found, the Sun's apparent centre is its
    // semidiameter below the horizon (height 0, no dip); at the moonset the
    // Moon's apparent centre is a little below it.
    const VorLocation sea = PlaceInRadians(21.4225, 39.8262, 0, 3.0f);
    const VorConfig cfg = ObservingSettings(20.0f);
    VorDate date = Civil(2023, 1, 1);
    for (int month = 0; month < 12; ++month) {
        const MonthStartDetails d = DetailsFor(date, sea, cfg);
        EXPECT_NEAR(d.moonData.sunAltitude, -d.moonData.sunTopoSemidiameter, 0.02 * DegToRad);
        MoonDataAtSunset atMoonset{};
        ComputeMoonDataAtSunset(d.eveningJd, d.moonset, &sea, &cfg, &atMoonset);
        EXPECT_LT(atMoonset.moonAltitude, 0.0);
        EXPECT_GT(atMoonset.moonAltitude, -0.25 * DegToRad);
        JulianDayToDate(d.geo + 1.0, date);
    }
}

// ---- Evenings at 50 degrees and beyond ----------------------------------

// The Sun's apparent altitude at an instant (radians of day from local
// midnight of day), from the moon-data computation.
double SunAltitudeAt(double day, double timeOfDay, const VorLocation &loc, const VorConfig &cfg) {
    MoonDataAtSunset at{};
    ComputeMoonDataAtSunset(day, timeOfDay, &loc, &cfg, &at);
    return at.sunAltitude + at.sunTopoSemidiameter;  // 0 at sunset, as the search takes it
}

// Why the evening of day is no first evening, tested without the search:
// the Sun is down before the new moon, the Moon does not set, or the Sun is
// still up when the Moon sets.
bool EveningRefused(double day, double topo, const VorLocation &loc, const VorConfig &cfg) {
    constexpr double Margin = 0.02 * DegToRad;  // of the Sun's altitude at its computed set
    if (day <= topo && topo < day + 1.0 &&
        SunAltitudeAt(day, (topo - day) * TwoPi, loc, cfg) < Margin) {
        return true;
    }
    VorDate evening{};
    JulianDayToDate(day, evening);
    double moon[3];
    if (MoonRiseTransitSet(&evening, &loc, &cfg, moon) == MoonEventsTransitOutside ||
        IsTimeMarker(moon[2])) {
        return true;
    }
    return SunAltitudeAt(day, moon[2], loc, cfg) > -Margin;
}

struct NorthernPlace {
    const char *name;
    double latitude, longitude;
    float zone;
};

void PrintTo(const NorthernPlace &p, std::ostream *os) { *os << p.name; }

class FirstEveningNorth : public ::testing::TestWithParam<NorthernPlace> {};

TEST_P(FirstEveningNorth, EveryMonthOf2024To2027HasAnEveningAndNoEarlierOneQualifies) {
    const NorthernPlace &p = GetParam();
    const VorLocation loc = PlaceInRadians(p.latitude, p.longitude, 0, p.zone);
    const VorConfig cfg = ObservingSettings(20.0f);
    VorDate date = Civil(2024, 1, 1);
    int beyondTwo = 0;
    for (int lunation = 0; lunation < 49; ++lunation) {
        MonthStartDetails d{};
        ASSERT_EQ(ComputeMonthStartDetails(&date, &loc, &cfg, &d), 1) << p.name << " " << lunation;
        const double d0 = std::floor(d.topo - 0.5) + 0.5;
        EXPECT_GE(d.eveningJd, d0);
        EXPECT_LT(d.eveningJd, d0 + MaxFirstEvenings);
        EXPECT_GE(Instant(d.eveningJd, d.sunset), d.topo);
        EXPECT_GE(d.moonset, d.sunset);
        // At the moonset of the accepted evening the Sun is down already.
        EXPECT_LT(SunAltitudeAt(d.eveningJd, d.moonset, loc, cfg), 0.02 * DegToRad);
        for (double e = d0; e < d.eveningJd; e += 1.0) {
            EXPECT_TRUE(EveningRefused(e, d.topo, loc, cfg))
                << p.name << ": the evening " << e - d0 << " days after the new moon's";
        }
        if (d.eveningJd >= d0 + 2.0) ++beyondTwo;
        JulianDayToDate(d.geo + 1.0, date);
    }
    // The months the search of two evenings could not place.
    EXPECT_GT(beyondTwo, 0) << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    Places, FirstEveningNorth,
    ::testing::Values(NorthernPlace{"London", 51.5074, -0.1278, 0.0f},
                      NorthernPlace{"Oslo", 59.9139, 10.7522, 1.0f},
                      NorthernPlace{"NewYork", 40.7128, -74.0060, -5.0f}),
    [](const ::testing::TestParamInfo<NorthernPlace> &info) { return info.param.name; });

// ---- The new-moon search start ------------------------------------------

TEST(ComputeMonthStart, DateOfTheNewMoonItselfStartsFromThatNewMoon) {
    // New moon 2023-07-17 at 21:32 local: the day itself (0 h) and the
    // evening before it find it; 22:00 local finds the next one (August).
    const VorConfig cfg = ObservingSettings(20.0f);
    EXPECT_EQ(std::floor(DetailsFor(Civil(2023, 7, 17), Makkah, cfg).geo - 0.5) + 0.5,
              LocalDay(2023, 7, 17));
    EXPECT_EQ(std::floor(DetailsFor(Civil(2023, 7, 17.85), Makkah, cfg).geo - 0.5) + 0.5,
              LocalDay(2023, 7, 17));
    EXPECT_EQ(std::floor(DetailsFor(Civil(2023, 7, 17.92), Makkah, cfg).geo - 0.5) + 0.5,
              LocalDay(2023, 8, 16));
}

// ---- The visibility test --------------------------------------------------

TEST(CrescentPasses, EqualityCountsAsVisible) {
    const float threshold = 12.5f;
    const double atThreshold = static_cast<double>(threshold) * DegToRad;
    EXPECT_TRUE(CrescentPasses(atThreshold, threshold));
    EXPECT_FALSE(CrescentPasses(std::nextafter(atThreshold, 0.0), threshold));
    EXPECT_TRUE(CrescentPasses(std::nextafter(atThreshold, 1.0), threshold));
    EXPECT_TRUE(CrescentPasses(0.0, 0.0f));
    EXPECT_FALSE(CrescentPasses(-1e-300, 0.0f));
}

TEST(ComputeMonthStart, ThresholdAtTheComputedValueDecidesBetweenTheTwoDays) {
    // Makkah, new moon of 2023 July: v at the sunset of July 18 is about 19.7
    // degrees.  The single-precision thresholds just below and just above
    // the computed v give the two possible first days.
    const VorDate date = Civil(2023, 7, 10);
    const MonthStartDetails d = DetailsFor(date, Makkah, ObservingSettings(20.0f));
    const double vDeg = d.visibility * RadToDeg;
    ASSERT_GT(vDeg, 15.0);
    ASSERT_LT(vDeg, 25.0);
    float below = static_cast<float>(vDeg);
    while (static_cast<double>(below) * DegToRad > d.visibility) below = std::nextafter(below, 0.0f);
    const float above = std::nextafter(below, 90.0f);
    ASSERT_GT(static_cast<double>(above) * DegToRad, d.visibility);

    double start = 0.0;
    VorConfig cfg = ObservingSettings(below);
    ASSERT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &start, nullptr), 1.0);
    EXPECT_EQ(start, d.eveningJd + 1.0);
    cfg.crescentThreshold = above;
    ASSERT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &start, nullptr), 1.0);
    EXPECT_EQ(start, d.eveningJd + 2.0);
}

TEST(ComputeMonthStart, ThresholdZeroAcceptsEveryFirstEvening) {
    VorDate date = Civil(2023, 7, 1);
    for (int month = 0; month < 12; ++month) {
        const MonthStartDetails d = DetailsFor(date, Makkah, ObservingSettings(0.0f));
        EXPECT_GE(d.visibility, 0.0);
        EXPECT_EQ(d.start, d.eveningJd + 1.0) << "month " << month;
        // Nothing passes a threshold of 90 degrees: always one day later.
        double start = 0.0;
        const VorConfig strict = ObservingSettings(90.0f);
        ASSERT_EQ(ComputeMonthStart(&date, &Makkah, &strict, &start, nullptr), 1.0);
        EXPECT_EQ(start, d.eveningJd + 2.0) << "month " << month;
        JulianDayToDate(d.geo + 1.0, date);
    }
}

// ---- Modes and failures ------------------------------------------------------

TEST(ComputeMonthStart, ConversionModeGivesTheFirstDayReportModeTheNewMoon) {
    const VorDate date = Civil(2024, 3, 1);
    const VorConfig cfg = ObservingSettings(20.0f);
    const MonthStartDetails d = DetailsFor(date, Makkah, cfg);
    double first = 0.0;
    EXPECT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &first, nullptr), 1.0);
    EXPECT_EQ(first, d.start);
    EXPECT_EQ(first - std::floor(first), 0.5);
    char buffer[4096];
    TextWriter text(buffer, sizeof buffer);
    double geo = 0.0;
    EXPECT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &geo, &text), 1.0);
    EXPECT_EQ(geo, d.geo);
    // Civil time: the geocentric new moon of 2024 March 10 at 09:00 UT.
    EXPECT_NEAR(geo, LocalDay(2024, 3, 10) + (9.0 + 3.0) / 24.0, 3.0 / 1440.0);
}

TEST(ComputeMonthStart, BeforeTheHijriEpochTheReportModeFails) {
    const VorDate date = Civil(600, 3, 1);
    const VorConfig cfg = ObservingSettings(20.0f);
    double first = 0.0;
    EXPECT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &first, nullptr), 1.0);
    EXPECT_LT(first, HijriEpochDayNumber);
    char buffer[4096];
    TextWriter text(buffer, sizeof buffer);
    double geo = 0.0;
    EXPECT_EQ(ComputeMonthStart(&date, &Makkah, &cfg, &geo, &text), 0.0);
    EXPECT_GT(geo, first - 3.0);
    EXPECT_LT(geo, first);
}

struct PolarCase {
    int year, month;
};

class PolarDayAndNight : public ::testing::TestWithParam<PolarCase> {};

TEST_P(PolarDayAndNight, NoSunsetMeansNoMonthStart) {
    const VorLocation north = PlaceInRadians(80.0, 15.0, 0, 1.0f);
    const VorConfig cfg = ObservingSettings(20.0f);
    const VorDate date = Civil(GetParam().year, GetParam().month, 1);
    MonthStartDetails d{};
    EXPECT_EQ(ComputeMonthStartDetails(&date, &north, &cfg, &d), 0);

    double outJd = 12345.0;
    EXPECT_EQ(ComputeMonthStart(&date, &north, &cfg, &outJd, nullptr), 0.0);
    EXPECT_EQ(outJd, 12345.0);

    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    TextWriter text(buffer, sizeof buffer);
    text.Append("Header");
    EXPECT_EQ(ComputeMonthStart(&date, &north, &cfg, &outJd, &text), 0.0);
    EXPECT_EQ(outJd, 12345.0);
    EXPECT_STREQ(buffer, "Header\n Could not calculate valid sunset/moonset times!\n");
}

INSTANTIATE_TEST_SUITE_P(Arctic, PolarDayAndNight,
                         ::testing::Values(PolarCase{2024, 6},    // midnight Sun
                                           PolarCase{2024, 12},   // polar night
                                           PolarCase{2023, 5}));

// An evening is a sunset of its own day: after the day's noon, never the
// night before's sunset that falls after midnight in the summers near the
// polar circle (66 N, 4 June 1984: the corrections ran onto 00:39, the
// previous evening's sunset, and the month began three days late).
TEST(FirstEvening, TheSunsetOfAnEveningIsTheDaysOwn) {
    VorConfig cfg = DayPrayerSettings();
    cfg.crescentThreshold = 20.0f;
    int evenings = 0;
    for (const double latitude : {60.0, 63.0, 65.0, 66.0, 66.5}) {
        for (const double longitude : {55.5, -20.0, 140.0}) {
            const VorLocation loc = PrayerPlace(latitude, longitude,
                                                static_cast<float>(std::floor(longitude / 15.0 + 0.5)), 300);
            for (int year = 1904; year <= 2100; year += 20) {
                for (int day = 0; day < 80; ++day) {
                    const double dayJd = LocalDay(year, 5, 20) + day;
                    const double deltaT = DeltaT(JulianCenturies(dayJd));
                    double sunset = 0.0, moonset = 0.0;
                    if (EveningOfDay(dayJd, deltaT, &loc, &cfg, &sunset, &moonset) == 0) continue;
                    ++evenings;
                    // The day's noon lies within three hours of 12 h of the zone.
                    ASSERT_GT(sunset * RadToHour, 15.0) << latitude << " " << longitude << " " << dayJd;
                }
            }
        }
    }
    EXPECT_GT(evenings, 500);
    const VorLocation north = PrayerPlace(66.0, 55.5, 4.0f, 300);
    const double deltaT = DeltaT(JulianCenturies(LocalDay(1984, 6, 4)));
    double sunset = 0.0, moonset = 0.0;
    EXPECT_EQ(EveningOfDay(LocalDay(1984, 6, 4), deltaT, &north, &cfg, &sunset, &moonset), 0);
}

}  // namespace
}  // namespace vorlin

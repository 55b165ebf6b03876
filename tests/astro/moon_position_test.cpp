#include "astro/moon_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "astro/constants.h"
#include "astro/lunar_series.h"

namespace vorlin {
namespace {

double Centuries(double jde) { return (jde - J2000) / DaysPerCentury; }

// Difference of two angles in degrees, brought into [-180, 180).
double DegreesApart(double a, double b) { return std::remainder(a - b, 360.0); }

// ---------------------------------------------------------------------------
// Published positions of the DE404-fitted theory.

TEST(MoonPosition, ReferenceInstantToThePublishedDigits) {
    const LunarPosition p = MoonPosition(-0.07722108145106092);  // JDE 2448724.5
    EXPECT_NEAR(p.longitude * RadToDeg, 133.16212, 5e-6);
    EXPECT_NEAR(p.latitude * RadToDeg, -3.22922, 5e-6);
    EXPECT_NEAR(p.distanceKm, 368405.5, 0.05);
}

struct PublishedInstant {
    double jde;
    // Full position (mean equinox of date, light-time step included).
    double longitudeDeg, latitudeDeg, distanceKm;
    // Series sums alone (before the light-time step).
    double seriesLongitudeDeg;
    // JPL DE431, geometric, mean ecliptic and equinox of date.
    double de431LongitudeDeg, de431LatitudeDeg, de431DistanceKm;
};

class MoonPositionPublished : public ::testing::TestWithParam<PublishedInstant> {};

TEST_P(MoonPositionPublished, FullPosition) {
    const PublishedInstant &c = GetParam();
    const LunarPosition p = MoonPosition(Centuries(c.jde));
    EXPECT_NEAR(p.longitude * RadToDeg, c.longitudeDeg, 1e-6);
    EXPECT_NEAR(p.latitude * RadToDeg, c.latitudeDeg, 1e-6);
    EXPECT_NEAR(p.distanceKm, c.distanceKm, 0.1);
}

// The series sums before the light-time step, against the theory's own
// values and against an independent numerical ephemeris.
TEST_P(MoonPositionPublished, SeriesSumsMatchTheTheoryAndDe431) {
    const PublishedInstant &c = GetParam();
    LunarSeriesScratch scratch;
    double lr[3];
    LunarSeriesTwo(c.jde, MoonLongitudeRadiusSeries, lr, scratch);
    const double longitudeDeg = std::fmod((lr[0] + scratch.meanLongitudeArcsec) / 3600.0 + 360.0, 360.0);
    const double latitudeDeg = LunarSeriesOne(c.jde, MoonLatitudeSeries, scratch) / 3600.0;
    const double distanceKm =
        (1.0 + lr[2] * ArcsecToRad) * MoonLongitudeRadiusSeries.distanceScaleAu * 149597870.691;

    EXPECT_NEAR(DegreesApart(longitudeDeg, c.seriesLongitudeDeg), 0.0, 1e-6);
    EXPECT_NEAR(latitudeDeg, c.latitudeDeg, 1e-6);
    EXPECT_NEAR(distanceKm, c.distanceKm, 0.1);

    // Fit to DE404, compared with DE431 over 1900-2100: 0.26" / 0.17" / 0.18 km at most.
    EXPECT_NEAR(DegreesApart(longitudeDeg, c.de431LongitudeDeg) * 3600.0, 0.0, 0.3);
    EXPECT_NEAR((latitudeDeg - c.de431LatitudeDeg) * 3600.0, 0.0, 0.2);
    EXPECT_NEAR(distanceKm, c.de431DistanceKm, 0.1);

    // The light-time step takes about 0.7" (0.0118 degree of Earth radius).
    const LunarPosition p = MoonPosition(Centuries(c.jde));
    const double stepArcsec = DegreesApart(longitudeDeg, p.longitude * RadToDeg) * 3600.0;
    EXPECT_GT(stepArcsec, 0.65);
    EXPECT_LT(stepArcsec, 0.80);
}

INSTANTIATE_TEST_SUITE_P(
    Instants, MoonPositionPublished,
    ::testing::Values(
        PublishedInstant{2415020.5, 272.411821, 1.108316, 368389.7, 272.412026, 272.412017, 1.108303, 368389.69},
        PublishedInstant{2433282.5, 61.412258, 3.781604, 399601.8, 61.412446, 61.412455, 3.781602, 399601.83},
        PublishedInstant{2448724.5, 133.162119, -3.229220, 368405.5, 133.162323, 133.162314, -3.229203, 368405.54},
        PublishedInstant{2451545.0, 223.318744, 5.170854, 402448.6, 223.318931, 223.318927, 5.170869, 402448.64},
        PublishedInstant{2460310.5, 155.984211, 3.568137, 404667.5, 155.984397, 155.984386, 3.568130, 404667.52},
        PublishedInstant{2469807.5, 18.660585, 3.391945, 378667.7, 18.660784, 18.660766, 3.391936, 378667.68},
        PublishedInstant{2488069.5, 157.399473, 1.092687, 371711.1, 157.399676, 157.399622, 1.092710, 371711.17}));

// ---------------------------------------------------------------------------
// Longitude range.

// Over the theory's years (-1369 to +3000) and beyond, every longitude is in
// [0, 2 pi) and the distance stays within the Moon's orbit.
TEST(MoonPosition, LongitudeAlwaysInRangeOverTheFittedYears) {
    const double first = 1221000.0;  // about -1369
    const double last = 2817000.0;   // about +3000
    int samples = 0;
    for (double jde = first; jde <= last; jde += 97.3) {
        const LunarPosition p = MoonPosition(Centuries(jde));
        ASSERT_GE(p.longitude, 0.0) << jde;
        ASSERT_LT(p.longitude, TwoPi) << jde;
        ASSERT_GT(p.distanceKm, 355000.0) << jde;
        ASSERT_LT(p.distanceKm, 408000.0) << jde;
        ASSERT_LT(std::fabs(p.latitude), 5.4 * DegToRad) << jde;
        ++samples;
    }
    EXPECT_GT(samples, 16000);
}

// Around instants where the longitude passes through 0 (sum just below 0
// after the light-time step): every representable instant near the passage
// still gives [0, 2 pi), close to one end or the other.
TEST(MoonPosition, LongitudeStaysInRangeWhereItPassesZero) {
    for (double start : {2451545.0, 2460000.0, 2300000.0, 2600000.0}) {
        // Step daily to the first wrap from near 2 pi to near 0.
        double before = start;
        double after = start + 1.0;
        while (!(MoonPosition(Centuries(before)).longitude > Pi &&
                 MoonPosition(Centuries(after)).longitude < Pi)) {
            before = after;
            after += 1.0;
            ASSERT_LT(after, start + 40.0);
        }
        // Bisect on T down to adjacent doubles.
        double lo = Centuries(before);
        double hi = Centuries(after);
        while (std::nextafter(lo, hi) != hi) {
            const double mid = lo + 0.5 * (hi - lo);
            if (mid == lo || mid == hi) break;
            (MoonPosition(mid).longitude > Pi ? lo : hi) = mid;
        }
        double T = lo;
        for (int k = 0; k < 4; ++k) T = std::nextafter(T, -1e9);
        for (int k = 0; k < 9; ++k, T = std::nextafter(T, 1e9)) {
            const double lambda = MoonPosition(T).longitude;
            EXPECT_GE(lambda, 0.0) << T;
            EXPECT_LT(lambda, TwoPi) << T;
            EXPECT_TRUE(lambda < 1e-6 || lambda > TwoPi - 1e-6) << T;
        }
    }
}

// The last steps alone, with sums chosen to land at and around 0.
TEST(MoonPositionFromSums, LongitudeJustBelowZeroStaysBelowTwoPi) {
    const double distanceAu = MoonLongitudeRadiusSeries.distanceScaleAu;
    const double distanceKm = distanceAu * 149597870.691;
    // Sum whose longitude is the light-time step itself: the result is 0 up
    // to rounding, on either side of it.
    const double stepArcsec = DegToRad * EarthEquatorialRadiusKm * 0.0118 / distanceKm / ArcsecToRad;
    int nearZero = 0;
    int nearTwoPi = 0;
    for (int k = -200; k <= 200; ++k) {
        const double sum = stepArcsec + k * 1e-12;
        const LunarPosition p = MoonPositionFromSums(sum, 0.0, 0.0, 0.0, distanceAu);
        ASSERT_GE(p.longitude, 0.0) << k;
        ASSERT_LT(p.longitude, TwoPi) << k;
        if (p.longitude < 2e-15) ++nearZero;
        if (p.longitude > TwoPi - 2e-15) ++nearTwoPi;
    }
    EXPECT_EQ(nearZero + nearTwoPi, 401);
    EXPECT_GT(nearZero, 100);

    const LunarPosition below = MoonPositionFromSums(stepArcsec - 0.01, 0.0, 0.0, 0.0, distanceAu);
    EXPECT_LT(below.longitude, TwoPi);
    EXPECT_NEAR(TwoPi - below.longitude, 0.01 * ArcsecToRad, 2e-15);
}

struct SumCase {
    double sumArcsec, meanLongitudeArcsec, expectedDeg;  // expected before the light-time step
};

class MoonPositionFromSumsReduction : public ::testing::TestWithParam<SumCase> {};

TEST_P(MoonPositionFromSumsReduction, LongitudeIsSumPlusMeanLongitudeModuloTurn) {
    const SumCase &c = GetParam();
    const double distanceAu = MoonLongitudeRadiusSeries.distanceScaleAu;
    const LunarPosition p = MoonPositionFromSums(c.sumArcsec, c.meanLongitudeArcsec, 0.0, 0.0, distanceAu);
    ASSERT_GE(p.longitude, 0.0);
    ASSERT_LT(p.longitude, TwoPi);
    // 0.70" of light time at the theory's mean distance, 385 000 km.
    EXPECT_NEAR(DegreesApart(c.expectedDeg, p.longitude * RadToDeg) * 3600.0, 0.7, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Reductions, MoonPositionFromSumsReduction,
                         ::testing::Values(SumCase{0.0, 648000.0, 180.0},
                                           SumCase{20000.0, 1295000.0, 5.2777778},          // above one turn
                                           SumCase{-1000.0, 100.0, 359.75},           // below 0
                                           SumCase{-22000.0, 10000.0, 356.6666667},   // sum pulls below 0
                                           SumCase{-1300000.0, 1000.0, 359.1666667},        // below -645000"
                                           SumCase{10000.0, 640000.0, 180.5555556})); // past 645000"

// Far outside the fitted years the numbers mean nothing, but the reduction
// still ends and still returns [0, 2 pi); no value enters an endless loop.
TEST(MoonPositionFromSums, HugeSumsReducedWithoutLooping) {
    const double distanceAu = MoonLongitudeRadiusSeries.distanceScaleAu;
    for (double sum : {-1e25, -3e14, 7e13, 1e30}) {
        const double lambda = MoonPositionFromSums(sum, 0.0, 0.0, 0.0, distanceAu).longitude;
        EXPECT_GE(lambda, 0.0) << sum;
        EXPECT_LT(lambda, TwoPi) << sum;
    }
    for (double T : {-1e9, -1e6, 1e6, 1e9}) {
        const double lambda = MoonPosition(T).longitude;
        EXPECT_GE(lambda, 0.0) << T;
        EXPECT_LT(lambda, TwoPi) << T;
    }
    EXPECT_TRUE(std::isnan(MoonPosition(std::numeric_limits<double>::quiet_NaN()).longitude));
}

// ---------------------------------------------------------------------------
// The tables.

TEST(MoonSeriesTables, DescriptorsAndCounts) {
    const LunarSeriesDescriptor &lr = MoonLongitudeRadiusSeries;
    const LunarSeriesDescriptor &lat = MoonLatitudeSeries;
    const int lrHarmonics[18] = {3, 26, 29, 23, 5, 10, 0, 0, 0, 8, 4, 4, 6, 2, 0, 0, 0, 0};
    const int latHarmonics[18] = {0, 26, 29, 8, 3, 5, 0, 0, 0, 6, 5, 3, 5, 1, 0, 0, 0, 0};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(lr.maxHarmonic[i], lrHarmonics[i]) << i;
        EXPECT_EQ(lat.maxHarmonic[i], latHarmonics[i]) << i;
    }
    for (const LunarSeriesDescriptor *d : {&lr, &lat}) {
        EXPECT_EQ(d->argumentCount, 14);
        EXPECT_EQ(d->maxPowerOfTime, 3);
        EXPECT_EQ(d->timeScaleDays, 3652500.0);
        EXPECT_EQ(d->amplitudeUnit, 0.0001);
        EXPECT_EQ(d->arguments[d->argumentsLength - 1], -1);
        EXPECT_TRUE(IsWellFormedLunarSeries(*d));
    }
    EXPECT_EQ(lr.argumentsLength, 5019);
    EXPECT_EQ(lr.firstTableLength, 1562);
    EXPECT_EQ(lr.secondTableLength, 1562);
    EXPECT_EQ(lat.argumentsLength, 3157);
    EXPECT_EQ(lat.firstTableLength, 850);
    EXPECT_EQ(lr.distanceScaleAu, 0.00257356868953);
}

TEST(MoonSeriesTables, LatitudeSeriesHasNoDistanceAndNoSecondTable) {
    EXPECT_EQ(MoonLatitudeSeries.distanceScaleAu, 0.0);
    EXPECT_EQ(MoonLatitudeSeries.secondTable, nullptr);
    EXPECT_EQ(MoonLatitudeSeries.secondTableLength, 0);
    // Through the two-table walk the missing table adds nothing and reads nothing.
    LunarSeriesScratch scratch;
    double out[3] = {0.0, 7.0, 9.0};
    LunarSeriesTwo(2448724.5, MoonLatitudeSeries, out, scratch);
    EXPECT_EQ(out[1], 7.0);
    EXPECT_EQ(out[2], 0.0);
    EXPECT_NEAR(out[0] / 3600.0, -3.229220, 1e-6);
}

TEST(MoonSeriesTables, TellingRows) {
    const LunarSeriesDescriptor &lr = MoonLongitudeRadiusSeries;
    // Polynomial term of degree 3.
    const std::int8_t polynomial[] = {0, 3};
    const std::int32_t lon0[] = {175667, 66453, 5249, -42};
    const std::int32_t rad0[] = {-5422, -2120, 1077, 772};
    for (int k = 0; k < 2; ++k) EXPECT_EQ(lr.arguments[k], polynomial[k]);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(lr.firstTable[k], lon0[k]);
        EXPECT_EQ(lr.secondTable[k], rad0[k]);
    }
    // 4 Earth - 8 Mars + 3 Jupiter, degree 1: c 20057 / -2360, s 403 / 6148.
    const std::int8_t planetary[] = {3, 4, 3, -8, 4, 3, 5, 1};
    const std::int32_t lon1[] = {20057, 403, -2360, 6148};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(lr.arguments[2 + k], planetary[k]);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(lr.firstTable[4 + k], lon1[k]);
    // Latitude: polynomial term of degree 1.
    EXPECT_EQ(MoonLatitudeSeries.arguments[0], 0);
    EXPECT_EQ(MoonLatitudeSeries.arguments[1], 1);
    EXPECT_EQ(MoonLatitudeSeries.firstTable[0], -3);
    EXPECT_EQ(MoonLatitudeSeries.firstTable[1], -4);
}

// ---------------------------------------------------------------------------
// Mean elements against J. Meeus, Astronomical Algorithms (2nd ed.): the
// planets' mean longitudes of table 31.B (J2000 ecliptic, linear terms) and
// the lunar arguments of ch. 47 (with their T^2 terms).  Different fits, so
// they agree to an arc-second or two, not to the digit.
struct MeeusElement {
    int index;
    double a0, a1, a2;  // degrees, degrees per century, per century^2
    double toleranceArcsec;
};

class LunarMeanElementsMeeus : public ::testing::TestWithParam<MeeusElement> {};

TEST_P(LunarMeanElementsMeeus, AgreeWithinTheFits) {
    const MeeusElement &e = GetParam();
    for (double T : {-2.0, -1.0, -0.3, 0.0, 0.5, 1.0}) {
        LunarSeriesScratch scratch;
        LunarMeanElements(J2000 + DaysPerCentury * T, scratch);
        const double meeus = e.a0 + T * (e.a1 + T * e.a2);
        EXPECT_NEAR(DegreesApart(scratch.elements[e.index] * RadToDeg, meeus) * 3600.0, 0.0,
                    e.toleranceArcsec * (1.0 + T * T))
            << "element " << e.index << " T " << T;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, LunarMeanElementsMeeus,
    ::testing::Values(MeeusElement{0, 252.250906, 149472.6746358, 0.0, 0.5},
                      MeeusElement{1, 181.979801, 58517.8156760, 0.0, 0.5},
                      MeeusElement{2, 100.466457, 35999.3728565, 0.0, 0.5},
                      MeeusElement{3, 355.433000, 19140.2993039, 0.0, 0.5},
                      MeeusElement{4, 34.351519, 3034.9056606, 0.0, 1.0},
                      MeeusElement{5, 50.077444, 1222.1138488, 0.0, 1.0},
                      MeeusElement{6, 314.055005, 428.4669983, 0.0, 0.5},
                      MeeusElement{7, 304.348665, 218.4862002, 0.0, 0.5},
                      MeeusElement{9, 297.8501921, 445267.1114034, -0.0018819, 1.0},
                      MeeusElement{10, 93.2720950, 483202.0175233, -0.0036539, 1.0},
                      MeeusElement{11, 357.5291092, 35999.0502909, -0.0001536, 2.5},
                      MeeusElement{12, 134.9633964, 477198.8675055, 0.0087414, 1.0},
                      MeeusElement{13, 218.3164477, 481267.88123421, -0.0015786, 1.0}));

// ---------------------------------------------------------------------------
// Multiple angles.

class LunarMultipleAnglesRows : public ::testing::TestWithParam<double> {};

TEST_P(LunarMultipleAnglesRows, MatchDirectSinesAndCosines) {
    const double x = GetParam();
    LunarSeriesScratch scratch;
    scratch.sinMultiple[6][0] = 42.0;  // the next row must stay untouched
    LunarMultipleAngles(scratch, 5, x, 40);  // capped at the row length, 31
    for (int k = 1; k <= LunarMaxHarmonic; ++k) {
        EXPECT_NEAR(scratch.sinMultiple[5][k - 1], std::sin(k * x), 1e-13) << k;
        EXPECT_NEAR(scratch.cosMultiple[5][k - 1], std::cos(k * x), 1e-13) << k;
    }
    EXPECT_EQ(scratch.sinMultiple[6][0], 42.0);
    // A count of 1 still fills the second multiple.
    LunarMultipleAngles(scratch, 0, x, 1);
    EXPECT_NEAR(scratch.sinMultiple[0][1], std::sin(2.0 * x), 1e-15);
    EXPECT_NEAR(scratch.cosMultiple[0][1], std::cos(2.0 * x), 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Angles, LunarMultipleAnglesRows, ::testing::Values(0.3, -2.1, 5.9, 1e-9, 3.14159));

// ---------------------------------------------------------------------------
// The generic walk over hand-made series (unit amplitude, so sums are raw).

LunarSeriesDescriptor HandMade(const std::int8_t *args, int nArgs, const std::int32_t *first, int nFirst,
                               const std::int32_t *second = nullptr, int nSecond = 0) {
    LunarSeriesDescriptor d{};
    d.argumentCount = 14;
    for (int i = 0; i < 14; ++i) d.maxHarmonic[i] = 3;
    d.maxPowerOfTime = 3;
    d.arguments = args;
    d.argumentsLength = nArgs;
    d.firstTable = first;
    d.firstTableLength = nFirst;
    d.secondTable = second;
    d.secondTableLength = nSecond;
    d.distanceScaleAu = 0.0;
    d.timeScaleDays = 3652500.0;
    d.amplitudeUnit = 1.0;
    return d;
}

constexpr double TestJd = 2448724.5;
const double TestT = (TestJd - J2000) / 3652500.0;

TEST(LunarSeries, TermWhosePairsAreAllZeroContributesNothing) {
    // polynomial 5 + 6t; then (0 x D, 0 x F), nt = 0, with large coefficients.
    const std::int8_t args[] = {0, 1, 2, 0, 10, 0, 11, 0, -1};
    const std::int32_t first[] = {6, 5, 100000, 200000};
    const std::int32_t second[] = {-2, 9, 300000, 400000};
    const LunarSeriesDescriptor d = HandMade(args, 9, first, 4, second, 4);
    ASSERT_TRUE(IsWellFormedLunarSeries(d));
    LunarSeriesScratch scratch;
    EXPECT_DOUBLE_EQ(LunarSeriesOne(TestJd, d, scratch), 6.0 * TestT + 5.0);
    double out[3] = {0.0, 42.0, 0.0};
    LunarSeriesTwo(TestJd, d, out, scratch);
    EXPECT_DOUBLE_EQ(out[0], 6.0 * TestT + 5.0);
    EXPECT_DOUBLE_EQ(out[2], -2.0 * TestT + 9.0);
    EXPECT_EQ(out[1], 42.0);
}

TEST(LunarSeries, PeriodicTermsCombineTheirArguments) {
    // 2 D - 3 F (degree 1); l - 2 l' with a zero pair between (degree 2);
    // 3 l' alone (degree 0).  Pairs name element m - 1.
    const std::int8_t args[] = {2, 2, 10, -3, 11, 1,   //
                                3, 1, 13, 0, 2, -2, 12, 2,  //
                                1, 3, 12, 0,  //
                                -1};
    const std::int32_t first[] = {11, -13, 17, 19,  //
                                  3, 5, -7, 2, 23, -29,  //
                                  31, 37};
    const std::int32_t second[] = {1, 2, 3, 4,  //
                                   5, 6, 7, 8, 9, 10,  //
                                   -11, 12};
    const LunarSeriesDescriptor d = HandMade(args, 19, first, 12, second, 12);
    ASSERT_TRUE(IsWellFormedLunarSeries(d));

    LunarSeriesScratch scratch;
    LunarMeanElements(TestJd, scratch);
    const double *e = scratch.elements;
    const double t = TestT;
    const double a1 = 2.0 * e[9] - 3.0 * e[10];
    const double a2 = e[12] - 2.0 * e[11];
    const double a3 = 3.0 * e[11];
    auto sum = [&](const std::int32_t *c) {
        return (c[0] * t + c[2]) * std::cos(a1) + (c[1] * t + c[3]) * std::sin(a1) +
               ((c[4] * t + c[6]) * t + c[8]) * std::cos(a2) + ((c[5] * t + c[7]) * t + c[9]) * std::sin(a2) +
               c[10] * std::cos(a3) + c[11] * std::sin(a3);
    };
    EXPECT_NEAR(LunarSeriesOne(TestJd, d, scratch), sum(first), 1e-11);
    double out[3];
    LunarSeriesTwo(TestJd, d, out, scratch);
    EXPECT_NEAR(out[0], sum(first), 1e-11);
    EXPECT_NEAR(out[2], sum(second), 1e-11);
}

// Malformed tables are read only up to their first fault: the terms before
// it count, nothing after it, and nothing past the arrays is touched.
struct MalformedCase {
    const char *what;
    std::int8_t args[12];
    int nArgs;
    int nFirst;
};

class LunarSeriesMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(LunarSeriesMalformed, StopsAtTheFault) {
    const MalformedCase &c = GetParam();
    // Term 1: polynomial 4 (degree 0).  Term 2 is the faulty one, using 2 D with
    // coefficients 1000, 1000 when it is read at all.
    const std::int32_t first[] = {4, 1000, 1000, 1000, 1000};
    const LunarSeriesDescriptor d = HandMade(c.args, c.nArgs, first, c.nFirst);
    EXPECT_FALSE(IsWellFormedLunarSeries(d)) << c.what;
    LunarSeriesScratch scratch;
    EXPECT_EQ(LunarSeriesOne(TestJd, d, scratch), 4.0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LunarSeriesMalformed,
    ::testing::Values(MalformedCase{"element beyond the count", {0, 0, 1, 2, 15, 0, -1}, 7, 3},
                      MalformedCase{"element 0", {0, 0, 1, 2, 0, 0, -1}, 7, 3},
                      MalformedCase{"harmonic above maximum", {0, 0, 1, 4, 10, 0, -1}, 7, 3},
                      MalformedCase{"negative power of time", {0, 0, 1, 2, 10, -3, -1}, 7, 5},
                      MalformedCase{"coefficients run out", {0, 0, 1, 2, 10, 1, -1}, 7, 3},
                      MalformedCase{"term cut by the table end", {0, 0, 1, 2, 10}, 5, 5},
                      MalformedCase{"no end mark", {0, 0}, 2, 1}));

}  // namespace
}  // namespace vorlin

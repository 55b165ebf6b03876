#include "astro/earth_rotation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"

namespace vorlin {
namespace {

// Julian centuries from J2000.0 of a year given as a real number.
double CenturiesOfYear(double year) { return (year - 2000.0) / 100.0; }

struct DeltaTCase {
    double year;
    double seconds;    // expected Delta T
    double tolerance;  // half a unit of the last published digit
};

class DeltaTKnownValues : public ::testing::TestWithParam<DeltaTCase> {};

TEST_P(DeltaTKnownValues, MatchesPublishedValue) {
    const DeltaTCase c = GetParam();
    EXPECT_NEAR(DeltaT(CenturiesOfYear(c.year)), c.seconds, c.tolerance) << "year " << c.year;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DeltaTKnownValues,
    ::testing::Values(
        // Table entries at p = 0 (no difference terms) from 1955 on.
        DeltaTCase{2000.0, 63.83, 1e-12}, DeltaTCase{1955.0, 31.07, 1e-12},
        DeltaTCase{2010.0, 70.00, 1e-12},
        // Interpolated, with and without the tidal term below 1955.
        DeltaTCase{1990.5, 57.2034, 5e-5}, DeltaTCase{1954.9, 31.0376, 5e-5},
        // Linear only (no earlier entry): 121.5 s less 1.82e-5 (1620.5 - 1955)^2.
        DeltaTCase{1620.5, 119.4636, 5e-5},
        // Polynomials before the table; the tidal term is not applied there.
        DeltaTCase{1000.0, 1456.6, 1e-9}, DeltaTCase{0.0, 9282.1875, 1e-9},
        // The last tabulated value is held from 2014 on, without extrapolation.
        DeltaTCase{2014.0, 73.00, 1e-12}, DeltaTCase{2014.5, 73.00, 1e-12},
        DeltaTCase{2014.999, 73.00, 1e-12}, DeltaTCase{2015.0, 73.00, 1e-12},
        DeltaTCase{2024.5, 73.00, 1e-12}, DeltaTCase{2500.0, 73.00, 1e-12},
        DeltaTCase{100000.0, 73.00, 1e-12}));

TEST(DeltaT, TwoThousandIsExactlyTheTabulatedValue) {
    EXPECT_DOUBLE_EQ(DeltaT(0.0), 63.83);
}

TEST(DeltaT, FirstTableYearInterpolatesLinearlyOnly) {
    // 1620.0: 124.00 s, 1621.0: 119.00 s.
    for (double p : {0.0, 0.1, 0.25, 0.5, 0.75, 0.9}) {
        const double year = 1620.0 + p;
        const double linear = 124.00 + p * (119.00 - 124.00) - 1.82e-5 * (year - 1955.0) * (year - 1955.0);
        EXPECT_NEAR(DeltaT(CenturiesOfYear(year)), linear, 1e-9) << "p " << p;
    }
}

TEST(DeltaT, SecondTableYearHasThirdButNoFourthDifference) {
    // 1621.25 from 124.00, 119.00, 115.00, 110.00, 106.00: linear 118.00, third
    // difference term -0.015625 s, no fourth-difference term (it would add
    // -0.0341797 s), tidal term -1.82e-5 x 333.75^2.
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1621.25)), 115.9570940625, 1e-9);
}

TEST(DeltaT, LastFullTableYearInterpolatesLinearlyOnly) {
    // 2013.0: 72.00 s, 2014.0: 73.00 s; the second difference there is not 0,
    // so any difference term would show.
    for (double p : {0.1, 0.25, 0.5, 0.9}) {
        EXPECT_NEAR(DeltaT(CenturiesOfYear(2013.0 + p)), 72.00 + p, 1e-9) << "p " << p;
    }
}

TEST(DeltaT, TidalTermOnlyBefore1955) {
    const double justBefore = DeltaT(CenturiesOfYear(1955.0 - 1e-9));
    const double at = DeltaT(CenturiesOfYear(1955.0));
    EXPECT_NEAR(justBefore, at, 1e-6);
    // At 1954.0 (an entry, p = 0) the value is the table's 30.72 s less 1.82e-5.
    EXPECT_NEAR(DeltaT(CenturiesOfYear(1954.0)), 30.72 - 1.82e-5, 1e-9);
}

class DeltaTYearBoundary : public ::testing::TestWithParam<int> {};

TEST_P(DeltaTYearBoundary, IsContinuousAcrossEveryYearBoundary) {
    // Every difference term vanishes at p = 0 and p = 1, so the value runs
    // into the next entry without a step.
    const int first = GetParam();
    for (int year = first; year < first + 50 && year <= 2015; ++year) {
        const double before = DeltaT(CenturiesOfYear(year - 1e-7));
        const double after = DeltaT(CenturiesOfYear(year));
        EXPECT_NEAR(before, after, 1e-4) << "year " << year;
    }
}

INSTANTIATE_TEST_SUITE_P(Years1621To2015, DeltaTYearBoundary,
                         ::testing::Values(1621, 1671, 1721, 1771, 1821, 1871, 1921, 1971));

TEST(DeltaT, NotANumberYearDoesNotIndexTheTable) {
    EXPECT_DOUBLE_EQ(DeltaT(std::nan("")), 73.00);
}

TEST(MeanSiderealTime, AtJ2000) {
    EXPECT_NEAR(MeanSiderealTime(0.0), 4.894961212735792, 1e-15);
}

struct SiderealCase {
    double julianDayUt;
    double degrees;
};

class MeanSiderealTimeMeeus : public ::testing::TestWithParam<SiderealCase> {};

TEST_P(MeanSiderealTimeMeeus, MatchesExample) {
    const SiderealCase c = GetParam();
    EXPECT_NEAR(MeanSiderealTime(JulianCenturies(c.julianDayUt)) * RadToDeg, c.degrees, 2e-6);
}

// Meeus, Astronomical Algorithms, examples 12.a (1987 April 10, 0 h UT:
// 13h10m46.3668s) and 12.b (19h21m00s UT: 8h34m57.0896s).
INSTANTIATE_TEST_SUITE_P(Examples, MeanSiderealTimeMeeus,
                         ::testing::Values(SiderealCase{2446895.5, 197.693195},
                                           SiderealCase{2446896.30625, 128.7378733}));

TEST(MeanSiderealTime, StaysInOneTurn) {
    for (double T = -5.0; T <= 5.0; T += 0.0123) {
        const double theta = MeanSiderealTime(T);
        EXPECT_GE(theta, 0.0);
        EXPECT_LT(theta, TwoPi);
    }
}

TEST(ApparentSiderealTime, MeeusExample12a) {
    // 1987 April 10, 0 h UT: apparent 13h10m46.1351s with nutation -3.788" and
    // true obliquity 23 deg 26' 36.85".
    const double T = JulianCenturies(2446895.5);
    const double apparent = AddEquationOfEquinoxes(
        MeanSiderealTime(T), -3.788 * ArcsecToRad, (23.0 + 26.0 / 60.0 + 36.85 / 3600.0) * DegToRad);
    EXPECT_NEAR(apparent * RadToHour * 3600.0, ((13.0 * 60.0) + 10.0) * 60.0 + 46.1351, 1e-3);
}

TEST(AddEquationOfEquinoxes, IsAPlusBCosC) {
    EXPECT_DOUBLE_EQ(AddEquationOfEquinoxes(1.0, 0.5, 0.0), 1.5);
    EXPECT_NEAR(AddEquationOfEquinoxes(1.0, 0.5, Pi / 2), 1.0, 1e-16);
    // Not reduced into one turn.
    EXPECT_DOUBLE_EQ(AddEquationOfEquinoxes(TwoPi, 1.0, Pi), TwoPi - 1.0);
    EXPECT_GT(AddEquationOfEquinoxes(TwoPi - 1e-6, 1e-5, 0.0), TwoPi);
}

TEST(MeanObliquity, AtJ2000) {
    EXPECT_NEAR(MeanObliquity(0.0) / ArcsecToRad, 84381.406173, 1e-8);
    EXPECT_NEAR(MeanObliquity(0.0) * RadToDeg, 23.4392794925, 1e-10);
}

struct NutationCase {
    double julianEphemerisDay;
    double longitudeArcsec;
    double obliquityArcsec;
    double tolerance;
};

class NutationKnownValues : public ::testing::TestWithParam<NutationCase> {};

TEST_P(NutationKnownValues, MatchesPublishedValue) {
    const NutationCase c = GetParam();
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(JulianCenturies(c.julianEphemerisDay), &dpsi, &deps);
    EXPECT_NEAR(dpsi / ArcsecToRad, c.longitudeArcsec, c.tolerance);
    EXPECT_NEAR(deps / ArcsecToRad, c.obliquityArcsec, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Published, NutationKnownValues,
    ::testing::Values(
        // J2000.0.
        NutationCase{2451545.0, -13.9234, -5.7738, 5e-5},
        // Meeus, Astronomical Algorithms, example 22.a (1987 April 10, 0 h TD),
        // printed to 0.001".
        NutationCase{2446895.5, -3.788, 9.443, 1e-3}));

TEST(Nutation, InLongitudeOn1992October13) {
    // 0 h TD, the instant of Meeus's solar example 25.b: +15.908".
    double dpsi = 0.0;
    double deps = 0.0;
    Nutation(JulianCenturies(2448908.5), &dpsi, &deps);
    EXPECT_NEAR(dpsi / ArcsecToRad, 15.908, 5e-4);
}

class MultipleAnglesCase : public ::testing::TestWithParam<int> {};

TEST_P(MultipleAnglesCase, AgreesWithDirectSineAndCosine) {
    const int count = GetParam();
    for (double x : {0.0, 0.3, -1.7, 2.9, 5.5, 100.25}) {
        MultipleAngleRow row{};
        MultipleAngles(row, x, count);
        const int filled = count < 2 ? 2 : count;
        for (int k = 1; k <= filled; ++k) {
            EXPECT_NEAR(row.sine[k], std::sin(k * x), 1e-13) << "k " << k << " x " << x;
            EXPECT_NEAR(row.cosine[k], std::cos(k * x), 1e-13) << "k " << k << " x " << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, MultipleAnglesCase, ::testing::Values(1, 2, 3, 4, 8));

TEST(MultipleAngles, CountAboveTheRowIsLimitedToTheRow) {
    struct Guarded {
        MultipleAngleRow row;
        double after;
    } guarded{};
    guarded.after = 42.0;
    MultipleAngles(guarded.row, 0.4, 50);
    EXPECT_EQ(guarded.after, 42.0);
    EXPECT_NEAR(guarded.row.sine[MultipleAngleRow::MaxMultiple], std::sin(8 * 0.4), 1e-13);
}

}  // namespace
}  // namespace vorlin

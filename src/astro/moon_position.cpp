// The Moon's geocentric ecliptic position from the longitude/radius and the
// latitude series of the lunar theory fitted to JPL DE404 (S. L. Moshier,
// 1996), mean ecliptic and equinox of date.
#include "astro/moon_position.h"

#include <cmath>
#include <cstdint>

#include "astro/constants.h"
#include "astro/lunar_series.h"

namespace vorlin {

#include "astro/moon_series_tables.inc"

// The walks trust these tables, so prove them sound at compile time.
static_assert(IsWellFormedLunarSeries(MoonLongitudeRadiusSeries));
static_assert(IsWellFormedLunarSeries(MoonLatitudeSeries));
static_assert(MoonLatitudeSeries.secondTable == nullptr && MoonLatitudeSeries.distanceScaleAu == 0.0);

namespace {

constexpr double ArcsecPerTurn = 1296000.0;
constexpr double KmPerAu = 149597870.691;

// The two series decoded at compile time for the walk MoonPosition runs.
constexpr auto LongitudeRadiusTerms =
    DecodeLunarSeries<LunarTermCount(MoonLongitudeRadiusSeries),
                      LunarPairCount(MoonLongitudeRadiusSeries)>(MoonLongitudeRadiusSeries);
constexpr auto LatitudeTerms =
    DecodeLunarSeries<LunarTermCount(MoonLatitudeSeries), LunarPairCount(MoonLatitudeSeries)>(
        MoonLatitudeSeries);

// Highest harmonic of element i that either series needs: the
// longitude/radius series names elements below its argumentCount, the
// latitude series any element with a harmonic (as LunarSeriesTwo and
// LunarSeriesOne fill them).  A row filled to more harmonics holds the
// same values in its first ones, so one filling serves both walks.
constexpr int SharedHarmonic(int i) {
    const int lr = i < MoonLongitudeRadiusSeries.argumentCount
                       ? MoonLongitudeRadiusSeries.maxHarmonic[i]
                       : 0;
    const int lat = MoonLatitudeSeries.maxHarmonic[i];
    return lr > lat ? lr : lat;
}

}  // namespace

LunarPosition MoonPositionFromSums(double longitudeSumArcsec, double meanLongitudeArcsec,
                                   double latitudeArcsec, double radiusSumArcsec,
                                   double distanceScaleAu) {
    // Bring L + sum near (-180, 180] degrees; L is already in [0, 360 deg) less
    // a few hours of arc, the sum within about 6.3 degrees.
    double x = longitudeSumArcsec + meanLongitudeArcsec;
    if (x < -645000.0) x += ArcsecPerTurn;
    if (x > 645000.0) x -= ArcsecPerTurn;
    double lambda = x * ArcsecToRad;
    const double distanceKm = (1.0 + ArcsecToRad * radiusSumArcsec) * distanceScaleAu * KmPerAu;
    // Light-time correction: the Moon moves about 0.7" while its light
    // reaches the Earth (0.0118 degree per Earth radius of distance).
    lambda -= DegToRad * EarthEquatorialRadiusKm * 0.0118 / distanceKm;
    // Into [0, 2 pi).  The usual case (-pi, 0) gets one 2 pi added; a value
    // farther out (only far outside the theory's years, -1369 to +3000) is
    // reduced by the exact fmod rather than by a loop of whole turns, which
    // would not end once 2 pi falls below the value's rounding step.  A value
    // just below 0 whose sum with 2 pi rounds to 2 pi itself becomes 0.
    if (lambda < 0.0 || lambda >= TwoPi) {
        lambda = std::fmod(lambda, TwoPi);
        if (lambda < 0.0) lambda += TwoPi;
        if (lambda >= TwoPi) lambda = 0.0;
    }
    return LunarPosition{lambda, latitudeArcsec * ArcsecToRad, distanceKm};
}

LunarPosition MoonPosition(double T_TT) {
    // LunarSeriesTwo on the longitude/radius series and LunarSeriesOne on
    // the latitude series, with the mean elements and their multiples
    // computed once for both and the walks on the decoded tables: the same
    // operations on the same values, so the same bits.
    LunarSeriesScratch scratch;
    const double jd = DaysPerCentury * T_TT + J2000;
    LunarMeanElements(jd, scratch);
    for (int i = 0; i < LunarElementCount; ++i) {
        const int harmonic = SharedHarmonic(i);
        if (harmonic > 0) LunarMultipleAngles(scratch, i, scratch.elements[i], harmonic);
    }
    double lr[2];
    WalkDecodedLunarSeries(LongitudeRadiusTerms, (jd - J2000) / MoonLongitudeRadiusSeries.timeScaleDays,
                           true, scratch, lr);
    double lat[2];
    WalkDecodedLunarSeries(LatitudeTerms, (jd - J2000) / MoonLatitudeSeries.timeScaleDays, false,
                           scratch, lat);
    return MoonPositionFromSums(MoonLongitudeRadiusSeries.amplitudeUnit * lr[0],
                                scratch.meanLongitudeArcsec,
                                MoonLatitudeSeries.amplitudeUnit * lat[0],
                                MoonLongitudeRadiusSeries.amplitudeUnit * lr[1],
                                MoonLongitudeRadiusSeries.distanceScaleAu);
}

}  // namespace vorlin

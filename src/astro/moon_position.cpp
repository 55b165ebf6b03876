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
    LunarSeriesScratch scratch;
    const double jd = DaysPerCentury * T_TT + J2000;
    double lr[3] = {0.0, 0.0, 0.0};
    LunarSeriesTwo(jd, MoonLongitudeRadiusSeries, lr, scratch);
    const double meanLongitudeArcsec = scratch.meanLongitudeArcsec;
    const double latitudeArcsec = LunarSeriesOne(jd, MoonLatitudeSeries, scratch);
    return MoonPositionFromSums(lr[0], meanLongitudeArcsec, latitudeArcsec, lr[2],
                                MoonLongitudeRadiusSeries.distanceScaleAu);
}

}  // namespace vorlin

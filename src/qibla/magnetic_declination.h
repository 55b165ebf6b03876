// Magnetic declination from the World Magnetic Model WMM2000 (degree and
// order 12, epoch 2000.0, linear secular variation).  The model's
// coefficients are src/qibla/wmm2000.cof, converted into constexpr tables.
#pragma once

#include "vorlin.h"

namespace vorlin {

// Declination of the main geomagnetic field, the angle from true north to
// the horizontal field, by spherical-harmonic synthesis with Schmidt
// semi-normalised associated Legendre functions.
//   given:    latitude    geodetic latitude (radians)
//             longitude   east longitude (radians)
//             heightKm    height above the ellipsoid a = 6378.137 km,
//                         f = 1/298.257 (km)
//             date        civil date (year, month, day) of the epoch; the
//                         coefficients move linearly with the years since
//                         2000.0, without a limit in either direction
//   returned: radians, east of true north positive; 0 where the horizontal
//             field vanishes.  Finite at the geographic poles (there the
//             value depends on the meridian given).
// The recursion factors are computed once per process (thread-safe); the
// work storage is local to the call, so calls may run at the same time.
double MagneticDeclination(double latitude, double longitude, double heightKm, const VorDate &date);

}  // namespace vorlin

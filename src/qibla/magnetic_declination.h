// Magnetic declination from the World Magnetic Model (degree and order 12,
// linear secular variation), each date by the model made for it:
//
//   date (decimal year)    model       years t after the model's epoch
//   before 2005.0          WMM2000     (JD - JD of 2000-01-01 0 h) / 365.25
//   2005.0 up to 2010.0    WMM2005     decimal year - 2005.0
//   2010.0 up to 2015.0    WMM2010     decimal year - 2010.0
//   2015.0 up to 2020.0    WMM2015v2   decimal year - 2015.0
//   2020.0 up to 2025.0    WMM2020     decimal year - 2020.0
//   2025.0 and later       WMM2025     decimal year - 2025.0
//
// A model is used from its epoch (1 January, 0 h) up to the epoch of the
// next.  WMM2015v2 is the out-of-cycle revision of WMM2015 (2018) that
// replaces it for its whole period.  Outside 2000.0 to 2030.0 the nearest
// model is extrapolated without limit, WMM2000 backwards and WMM2025
// forwards: less accurate the farther, and MagneticModelFor says so.
// Decimal year: year + (day of year - 1) / days in the year, the WMM
// convention, counting the fraction of the day.  WMM2000 keeps its own
// 365.25-day years, so that its results, the library's before 2005.0, are
// unchanged; in 2000 to 2005 the two counts differ by less than a day.
// The coefficients are src/qibla/wmm<model>.cof as published, converted by
// tools/gen_wmm.py into constexpr tables.
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
//             date        civil date (year, month, day with its fraction;
//                         a day past the month's end rolls over, as in
//                         DateToJulianDay) choosing the model and its
//                         coefficients, see above
//   returned: radians, east of true north positive; 0 where the horizontal
//             field vanishes.  Finite at the geographic poles (there the
//             value depends on the meridian given).
// The recursion factors are computed once per process (thread-safe); the
// work storage (a few kB of stack) is local to the call, so calls may run
// at the same time.
double MagneticDeclination(double latitude, double longitude, double heightKm, const VorDate &date);

// The model MagneticDeclination uses for a date.
struct MagneticModelUse {
    const char *name;   // "WMM2000", "WMM2005", "WMM2010", "WMM2015v2", "WMM2020", "WMM2025"
    double firstYear;   // the period the model is made for, decimal years:
    double lastYear;    //   2000.0 and 2005.0 for WMM2000, ..., 2025.0 and 2030.0
    bool extrapolated;  // the date lies outside that period (before 2000.0 or
                        // after 2030.0; also for a day that is not a number)
};
MagneticModelUse MagneticModelFor(const VorDate &date);

// The name of that model, a static string.
const char *MagneticModelName(const VorDate &date);

}  // namespace vorlin

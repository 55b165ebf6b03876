// The Moon and the Sun at the instant of sunset on one evening: apparent
// altitudes and azimuths seen by the observer, geocentric and topocentric
// elongation, phase angle and illuminated fraction, semidiameters, the
// width of the crescent, the angle of the bright limb and the distances
// (Meeus, Astronomical Algorithms, chapters 14, 40 and 48).
#pragma once

#include "vorlin.h"

namespace vorlin {

// The result of one evening.  Angles in radians.
struct MoonDataAtSunset {
    double sunsetUt;              // Julian Date (UT) of sunset
    double deltaT;                // TT - UT at sunset, seconds
    double sunLongitude;          // geocentric apparent ecliptic longitude of the Sun
    double sunLatitude;           // its ecliptic latitude
    double sunDistanceAu;         // Earth-Sun distance, AU
    double moonLongitude;         // geocentric ecliptic longitude of the Moon, nutation added
    double moonLatitude;          // its ecliptic latitude
    double moonDistanceKm;        // Earth-Moon distance (centres), km
    double sunTopoLongitude;      // the Sun's ecliptic place seen by the observer
    double sunTopoLatitude;
    double sunTopoSemidiameter;
    double moonTopoLongitude;     // the Moon's ecliptic place seen by the observer
    double moonTopoLatitude;
    double moonTopoSemidiameter;
    double sunRa;                 // topocentric right ascension and declination
    double sunDec;
    double moonRa;
    double moonDec;
    double sunAzimuth;            // topocentric azimuth from the north through the east, [0, 2 pi)
    double moonAzimuth;
    double sunAltitude;           // topocentric altitude, refraction added (apparent)
    double moonAltitude;
    double geoElongation;         // geocentric elongation of the Moon from the Sun, [0, pi]
    double topoElongation;        // topocentric elongation, [0, pi]
    double phaseAngle;            // phase angle i, [0, pi]
    double illuminated;           // illuminated fraction (1 + cos i) / 2
    double brightLimbAngle;       // position angle of the bright limb minus the
                                  // parallactic angle of the Moon, not reduced
    double crescentWidth;         // 2 x illuminated x moonTopoSemidiameter
    double topoDistanceKm;        // moonDistanceKm minus the observer's geocentric radius
    double sunAirlessAltitude;    // topocentric altitude without refraction
    double moonAirlessAltitude;
    double sunGeoAltitude;        // geocentric altitude without refraction (the Earth's centre)
    double moonGeoAltitude;
};

// Moon data at sunset.
//   eveningJd   local JD (UT JD + timeZone/24) of 0 h of the evening's local
//               calendar day (ends in .5)
//   sunsetTime  sunset in radians of day from local standard-time midnight
//               (a real time, not a marker)
//   loc         latitude, longitude (radians, east positive), height (m),
//               timeZone (hours east)
//   cfg         temperature and pressure, for the refraction
// Every field of *out is written.
void ComputeMoonDataAtSunset(double eveningJd, double sunsetTime, const VorLocation *loc,
                             const VorConfig *cfg, MoonDataAtSunset *out);

// Parallactic angle (radians, (-pi, pi]) of a body at right ascension ra and
// declination dec for an observer at latitude and local sidereal time
// siderealTime: atan2(sin H, tan(latitude) cos(dec) - sin(dec) cos H) with
// H = siderealTime - ra (Meeus, ch. 14).
double ParallacticAngle(double ra, double dec, double latitude, double siderealTime);

// Phase angle i (radians) of the Moon from its elongation psi (radians,
// [0, pi]) and the geocentric distances of the Sun (AU) and the Moon (km):
// tan i = R sin psi / (Delta - R cos psi) (Meeus, ch. 48), taken in
// [0, pi] from the signs (at psi = 0 exactly, i = pi: nothing lit).
double PhaseAngle(double elongation, double sunDistanceAu, double moonDistanceKm);

}  // namespace vorlin

// From geocentric to what the observer sees: the observer's geocentric
// coordinates, parallax in ecliptic and equatorial coordinates, parallax
// in altitude, the Moon's semidiameter and atmospheric refraction.
#pragma once

#include "vorlin.h"

namespace vorlin {

// rho cos(phi') and rho sin(phi') of an observer at geodetic latitude
// (radians) and heightMetres.
void ObserverGeocentric(double latitude, double heightMetres, double *rhoCosPhi, double *rhoSinPhi);

// Parallax correction in ecliptic coordinates.  position[0..1] (longitude,
// latitude) and *semidiameter are corrected in place.  sinParallax is the
// sine of the equatorial horizontal parallax; localSiderealTime is the
// Greenwich apparent sidereal time plus the east longitude.
void TopocentricEcliptic(double position[2], double *semidiameter, double rhoSinPhi,
                         double rhoCosPhi, double obliquity, double localSiderealTime,
                         double sinParallax);

// Parallax correction in equatorial coordinates; *rightAscension,
// *declination and *semidiameter are corrected in place.
void TopocentricEquatorial(double sinParallax, double localSiderealTime, double rhoCosPhi,
                           double rhoSinPhi, double *rightAscension, double *declination,
                           double *semidiameter);

// Parallax in altitude (radians) of a body at altitude for the observer.
double AltitudeParallax(double latitude, double sinParallax, double altitude, double heightMetres);

// Semidiameter of the Moon (radians) for the sine of its horizontal parallax.
double MoonSemidiameter(double sinParallax);

// Atmospheric refraction under the configured pressure and temperature.
// direction 1: altitude is true, the apparent altitude is returned; any
// other value: altitude is apparent, the true altitude is returned.
double Refraction(double altitude, const VorLocation *location, const VorConfig *config,
                  int direction);

}  // namespace vorlin

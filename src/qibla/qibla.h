// Qibla: the direction of the Kaaba from a place and the distance to it.
//
// The direction is the initial azimuth of the great circle through the two
// points taken on their geocentric latitudes; the distance is measured on
// the earth ellipsoid (a = 6378.137 km, f = 1/298.257) by Andoyer's formula
// to the second order in the flattening, in the form of Meeus, Astronomical
// Algorithms, chapter 11 (good to a few metres).  Pure functions.
#pragma once

#include "vorlin.h"

namespace vorlin {

// Half the circumference of the meridian ellipse (km), pole to pole along a
// meridian: the distance between antipodal points off the equator.
double HalfMeridianKm();

// Direction and distance from the place to the Kaaba.
//   given:    location.latitude, location.longitude   geodetic latitude and
//                                                      east longitude (radians)
//   returned: *direction   azimuth of the qibla, radians clockwise from true
//                          north, in [0, 2 pi)
//             *distance    distance to the Kaaba along the ellipsoid (km)
// At the Kaaba itself (within about a millimetre, where the formula divides
// 0 by 0) the distance is 0 and the direction 0; at its antipode (within
// about a millimetre, where it divides by zero) the distance is
// HalfMeridianKm() and the direction 0 (north).  Never NaN for finite input.
void QiblaDirectionAndDistance(const VorLocation &location, double *direction, double *distance);

// Initial azimuth of the great circle from point 1 to point 2, both given by
// geodetic latitude and east longitude (radians) and converted to geocentric
// latitude (phi - 692.73" sin 2 phi - 1.16" sin 4 phi, Meeus ch. 11).
// Returned: radians clockwise from north in [0, 2 pi): 0 north, pi/2 east;
// 0 for two identical points.
double QiblaAzimuth(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace vorlin

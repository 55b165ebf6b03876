// Rise, transit and set by interpolation and iteration (Meeus, Astronomical
// Algorithms, ch. 15).
#include "astro/rise_transit_set.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {
namespace {

// Furthest a rise or set may lie from the transit estimate, in days.
constexpr double kMaxDaysFromTransit = 0.75;
// Corrections allowed per event; after this many more the event is not valid.
constexpr int kMaxIterations = 1000;
// Largest finite double: an interpolated coordinate not below it is infinite.
constexpr double kLargestFinite = 1.7976931348623157e308;
// Sidereal degrees per solar day.
constexpr double kSiderealDegreesPerDay = 360.985647;

}  // namespace

void RiseTransitSet(double latitude, double longitude, double siderealTime0, double deltaT,
                    double ra1, double dec1, double ra2, double dec2, double ra3, double dec3,
                    double standardAltitude, double out[3], double toleranceSeconds,
                    bool classifyGrazing, RiseTransitSetShared *shared) {
    const double phi = latitude;
    const double h0 = standardAltitude;
    // Right ascensions of the neighbouring days on the same turn as ra2.
    ra1 = NormalizeAngleSigned(ra1 - ra2) + ra2;
    ra3 = NormalizeAngleSigned(ra3 - ra2) + ra2;

    RiseTransitSetShared local;
    if (shared == nullptr) shared = &local;
    if (!shared->sinesKnown) {
        shared->sinLatitude = std::sin(phi);
        shared->cosLatitude = std::cos(phi);
        shared->sinDeclination = std::sin(dec2);
        shared->cosDeclination = std::cos(dec2);
        shared->sinesKnown = true;
    }
    const double sinPhi = shared->sinLatitude;
    const double cosPhi = shared->cosLatitude;
    const double cosH0 =
        (std::sin(h0) - sinPhi * shared->sinDeclination) / (cosPhi * shared->cosDeclination);
    double m[3];
    m[0] = (ra2 - longitude - siderealTime0) / TwoPi;
    if (m[0] < 0.0) m[0] += 1.0;
    // A latitude, longitude, altitude or place that is not a number (the
    // boundary passes an unusable input on as NaN) has no events at all.
    if (std::isnan(cosH0) || std::isnan(m[0])) {
        out[0] = out[1] = out[2] = TimeNotValid;
        return;
    }
    if (std::fabs(cosH0) <= 1.0) {
        const double H0 = SafeAcos(cosH0);
        m[1] = m[0] - H0 / TwoPi;
        m[2] = m[0] + H0 / TwoPi;
    } else if (cosH0 < -1.0) {
        m[1] = m[2] = TimeAlwaysAbove;
    } else {
        // cosH0 > 1: the altitude is never reached.
        m[0] = m[1] = m[2] = TimeAlwaysBelow;
    }

    const double tolerance = toleranceSeconds / 86400.0;
    const double transitEstimate = m[0];
    // A rise or set that does not converge where the altitude is only just
    // reached (the first estimate uses the place of the day's origin, and
    // the body's declination changes during the day) is a passage that does
    // not happen: the body stays above the altitude through the culmination
    // next to the estimate (the lower one, half a day from the transit), or
    // below it (the upper one).  Otherwise the event is not valid.
    const auto unconverged = [&](int event, double estimate) {
        if (!classifyGrazing) return TimeNotValid;
        const double lowerCulmination = m[0] + (event == 1 ? -0.5 : 0.5);
        const bool nearLower = std::fabs(estimate - lowerCulmination) < std::fabs(estimate - m[0]);
        const double at = nearLower ? lowerCulmination : m[0];
        const double delta = Interpolate3(dec1, dec2, dec3, at + deltaT / 86400.0);
        if (!(std::fabs(delta) < kLargestFinite) || IsTimeMarker(m[0])) return TimeNotValid;
        const double sinPart = sinPhi * std::sin(delta);
        const double cosPart = cosPhi * std::cos(delta);
        if (nearLower && SafeAsin(sinPart - cosPart) > h0) return TimeAlwaysAbove;
        if (!nearLower && SafeAsin(sinPart + cosPart) < h0) return TimeAlwaysBelow;
        return TimeNotValid;
    };
    for (int event = 0; event < 3; ++event) {
        if (m[event] == TimeAlwaysBelow) continue;
        if (m[event] == TimeAlwaysAbove && event != 0) continue;
        const bool transit = event == 0;
        if (transit && shared->transitKnown) {
            m[0] = shared->transit;
            continue;
        }
        const double estimate = m[event];
        int iterations = 0;
        for (;;) {
            // The transit has the same cap as rise and set, so that no
            // tolerance (0 or negative included) can keep it running.
            if (iterations > kMaxIterations) {
                m[event] = transit ? TimeNotValid : unconverged(event, estimate);
                break;
            }
            const double n = m[event] + deltaT / 86400.0;
            const double theta = siderealTime0 + DegToRad * kSiderealDegreesPerDay * m[event];
            const double alpha = Interpolate3(ra1, ra2, ra3, n);
            double dm = 0.0;
            if (transit) {
                const double H = NormalizeAngleSigned(theta + longitude - alpha);
                dm = -H / TwoPi;
            } else {
                const double delta = Interpolate3(dec1, dec2, dec3, n);
                if (!(std::fabs(alpha) < kLargestFinite) || !(std::fabs(delta) < kLargestFinite)) {
                    m[event] = TimeNotValid;
                    break;
                }
                const double H = NormalizeAngleSigned(theta + longitude - alpha);
                double sinDelta = 0.0, cosDelta = 0.0, sinH = 0.0, cosH = 0.0;
                SineCosine(delta, &sinDelta, &cosDelta);
                SineCosine(H, &sinH, &cosH);
                const double sinAltitude = sinPhi * sinDelta + cosPhi * cosDelta * cosH;
                const double h = SafeAsin(sinAltitude);
                // cos h = sqrt(1 - sin^2 h), h within +-pi/2; 0 where SafeAsin clamps.
                const double s = std::fabs(sinAltitude) < 1.0 ? sinAltitude : 1.0;
                const double cosAltitude = std::sqrt((1.0 - s) * (1.0 + s));
                double D = TwoPi * cosDelta * cosPhi * sinH;
                if (D == 0.0) D = 1.0;
                dm = (h - h0) * cosAltitude / D;
            }
            m[event] += dm;
            ++iterations;
            // Where the altitude is only just reached, sin H is nearly 0 and
            // one correction can throw the estimate days away, onto a
            // crossing of the extrapolated places that belongs to no day
            // near this one.  A rise or set lies within half a (lunar) day of
            // its transit; one that wanders further is not valid.  So is a
            // transit that wanders as far from its estimate (its corrections
            // do not converge: the places are not smooth, as the Sun's
            // millions of years from now), without running to the cap.
            if (!(std::fabs(m[event] - transitEstimate) <= kMaxDaysFromTransit)) {
                m[event] = transit ? TimeNotValid : unconverged(event, estimate);
                break;
            }
            if (std::fabs(dm) <= tolerance) {
                // A rise after the transit, or a set before it, is a passage of
                // another day that the corrections ran onto (the day's own one
                // is missing where the altitude is only just reached): the day
                // is classified as if the corrections had not converged.
                const bool otherDay = event == 1 ? m[1] > m[0] : m[2] < m[0];
                if (!transit && classifyGrazing && !IsTimeMarker(m[0]) && otherDay) {
                    m[event] = unconverged(event, estimate);
                }
                break;
            }
        }
        if (transit) {
            shared->transit = m[0];
            shared->transitKnown = true;
        }
    }

    for (int event = 0; event < 3; ++event) out[event] = IsTimeMarker(m[event]) ? m[event] : TwoPi * m[event];
}

}  // namespace vorlin

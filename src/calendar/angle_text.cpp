#include "calendar/angle_text.h"

#include <cmath>
#include <cstdio>

#include "astro/constants.h"

namespace vorlin {

namespace {

// Fractional part of a non-negative x.
double Fraction(double x) {
    double whole = 0.0;
    return std::modf(x, &whole);
}

// An angle of degrees SplitDegrees can split (finite, |x| below the limit).
bool Splittable(double degrees) { return std::fabs(degrees) < MaxSplitDegrees; }

void WriteNotValid(char *out, std::size_t size) { std::snprintf(out, size, "%s", "NotValid"); }

}  // namespace

void SplitDegrees(double x, int *deg, int *min, int *sec, int minutesOnly) {
    *deg = 0;
    *min = 0;
    *sec = 0;
    if (!Splittable(x)) return;  // also NaN
    const double b = std::fabs(x);
    const double c = Fraction(b) * 60.0;
    const double d = Fraction(c) * 60.0;
    int degrees = static_cast<int>(b);
    int minutes = static_cast<int>(c);
    int seconds = static_cast<int>(d);
    // Round the seconds up when the remainder exceeds 29/60 of a second.
    if (Fraction(d) * 60.0 > 29.0) ++seconds;
    if (seconds >= 60 || (minutesOnly == 1 && seconds >= 30)) {
        seconds = 0;
        if (++minutes >= 60) {
            minutes = 0;
            ++degrees;
        }
    }
    *deg = x < 0.0 ? -degrees : degrees;
    *min = minutes;
    *sec = seconds;
}

void FormatAngle(double angle, char *out, std::size_t size) {
    if (out == nullptr || size == 0) return;
    const double degrees = angle * RadToDeg;
    if (angle == TimeNotValid || !Splittable(degrees)) {
        WriteNotValid(out, size);
        return;
    }
    int deg = 0, min = 0, sec = 0;
    SplitDegrees(degrees, &deg, &min, &sec, 0);
    // Between -1 and 0 degrees the whole degrees carry no sign: print it.
    if (deg == 0 && angle < 0.0) {
        std::snprintf(out, size, "-%02d" "\xB0" "%02d'%02d\"", 0, min, sec);
    } else {
        std::snprintf(out, size, "%02d" "\xB0" "%02d'%02d\"", deg, min, sec);
    }
}

void FormatLatitudeLongitude(double angle, int isLongitude, char *out, std::size_t size) {
    if (out == nullptr || size == 0) return;
    const double degrees = std::fabs(angle) * RadToDeg;
    if (!Splittable(degrees)) {
        WriteNotValid(out, size);
        return;
    }
    const bool negative = angle < 0.0;
    const char letter = isLongitude == 0 ? (negative ? 'S' : 'N') : (negative ? 'W' : 'E');
    int deg = 0, min = 0, sec = 0;
    SplitDegrees(degrees, &deg, &min, &sec, 0);
    if (isLongitude == 0) {
        std::snprintf(out, size, "%02d" "\xB0" "%02d'%02d\" %c", deg, min, sec, letter);
    } else {
        std::snprintf(out, size, "%03d" "\xB0" "%02d'%02d\" %c", deg, min, sec, letter);
    }
}

}  // namespace vorlin

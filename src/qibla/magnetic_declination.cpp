// Magnetic declination by spherical-harmonic synthesis of the WMM2000 main
// field (NIMA/BGS, degree and order 12), with the Schmidt semi-normalised
// associated Legendre functions by the standard recursion in the colatitude.

#include "qibla/magnetic_declination.h"

#include <cmath>

#include "astro/constants.h"
#include "calendar/julian_day.h"

namespace vorlin {
namespace {

#include "qibla/wmm2000_table.inc"

constexpr int N = kWmm2000MaxDegree;

constexpr double kReferenceRadiusKm = 6371.2;      // of the expansion
constexpr double kModelEpochJd = 2451544.5;        // 2000-01-01 0 h
constexpr double kYearsPerDay = 0.0027378507871321013;  // 1 / 365.25
constexpr double kPoleGuard = 1e-8;                // added to a zero sin(colatitude)

// The factors of the Legendre recursion, which depend on n and m only.
struct RecursionFactors {
    double diagonal[N + 1];       // sqrt((2m - 1) / (2m)), m = 2..12
    double previous[N + 1][N + 1];  // sqrt((n - 1)^2 - m^2), n >= max(2, m + 1)
    double inverse[N + 1][N + 1];   // 1 / sqrt(n^2 - m^2), same n and m
};

// Computed on first use; C++ guarantees a thread-safe one-time initialisation.
const RecursionFactors &Factors() {
    static const RecursionFactors factors = [] {
        RecursionFactors f{};
        for (int m = 2; m <= N; ++m) f.diagonal[m] = std::sqrt((2.0 * m - 1.0) / (2.0 * m));
        for (int m = 0; m <= N; ++m) {
            for (int n = (m + 1 > 2 ? m + 1 : 2); n <= N; ++n) {
                f.previous[n][m] = std::sqrt(static_cast<double>((n - 1) * (n - 1) - m * m));
                f.inverse[n][m] = 1.0 / std::sqrt(static_cast<double>(n * n - m * m));
            }
        }
        return f;
    }();
    return factors;
}

}  // namespace

double MagneticDeclination(double latitude, double longitude, double heightKm, const VorDate &date) {
    const double a = EarthEquatorialRadiusKm;
    const double b = EarthPolarRadiusKm;
    const double a2 = a * a, b2 = b * b;
    const double a4 = a2 * a2, b4 = b2 * b2;
    const double h = heightKm;

    // Geodetic to geocentric spherical coordinates: colatitude theta, radius r (km).
    const double sinPhi = std::sin(latitude);
    const double cosPhi = std::cos(latitude);
    const double sinPhi2 = sinPhi * sinPhi;
    const double B = std::sqrt(a2 * cosPhi * cosPhi + b2 * sinPhi2);
    const double theta = std::atan2(cosPhi * (B * h + a2), sinPhi * (B * h + b2));
    const double r = std::sqrt((a4 - sinPhi2 * (a4 - b4)) / (a2 - sinPhi2 * (a2 - b2)) + h * (h + 2.0 * B));
    const double sinTheta = std::sin(theta);
    const double cosTheta = std::cos(theta);

    // Schmidt semi-normalised P(n, m)(cos theta) and dP(n, m)/d theta.
    const RecursionFactors &k = Factors();
    double P[N + 1][N + 1] = {};
    double dP[N + 1][N + 1] = {};
    P[0][0] = 1.0;
    dP[0][0] = 0.0;
    P[1][1] = sinTheta;
    dP[1][1] = cosTheta;
    P[1][0] = cosTheta;
    dP[1][0] = -sinTheta;
    for (int m = 0; m <= N; ++m) {
        if (m >= 2) {
            P[m][m] = k.diagonal[m] * sinTheta * P[m - 1][m - 1];
            dP[m][m] = k.diagonal[m] * (sinTheta * dP[m - 1][m - 1] + cosTheta * P[m - 1][m - 1]);
        }
        for (int n = (m + 1 > 2 ? m + 1 : 2); n <= N; ++n) {
            // Degree n - 2 below the order m counts as 0.
            const double P2 = n - 2 >= m ? P[n - 2][m] : 0.0;
            const double dP2 = n - 2 >= m ? dP[n - 2][m] : 0.0;
            P[n][m] = ((2.0 * n - 1.0) * cosTheta * P[n - 1][m] - k.previous[n][m] * P2) * k.inverse[n][m];
            dP[n][m] = ((2.0 * n - 1.0) * (cosTheta * dP[n - 1][m] - sinTheta * P[n - 1][m]) -
                        k.previous[n][m] * dP2) *
                       k.inverse[n][m];
        }
    }

    // Coefficients at the date: linear secular variation from 2000.0 (years).
    const double t = (DateToJulianDay(date) - kModelEpochJd) * kYearsPerDay;
    double g[N + 1][N + 1] = {};
    double hc[N + 1][N + 1] = {};
    for (int n = 1; n <= N; ++n) {
        for (int m = 0; m <= N; ++m) {
            g[n][m] = kWmm2000G[n][m] + t * kWmm2000GDot[n][m];
            hc[n][m] = kWmm2000H[n][m] + t * kWmm2000HDot[n][m];
        }
    }

    double cosML[N + 1], sinML[N + 1];
    for (int m = 0; m <= N; ++m) {
        cosML[m] = std::cos(m * longitude);
        sinML[m] = std::sin(m * longitude);
    }

    // Field components (nT): radial Br, along the colatitude Btheta, east Bphi.
    const double rho = kReferenceRadiusKm / r;
    const double poleGuard = sinTheta == 0.0 ? kPoleGuard : 0.0;
    double s = rho * rho;
    double Br = 0.0, Btheta = 0.0, Bphi = 0.0;
    for (int n = 1; n <= N; ++n) {
        s *= rho;  // rho^(n + 2)
        double sum1 = 0.0, sum2 = 0.0, sum3 = 0.0;
        for (int m = 0; m <= n; ++m) {
            const double T = g[n][m] * cosML[m] + hc[n][m] * sinML[m];
            sum1 += T * P[n][m];
            sum2 += T * dP[n][m];
            sum3 += m * (g[n][m] * sinML[m] - hc[n][m] * cosML[m]) * P[n][m];
        }
        Br += s * (n + 1) * sum1;
        Btheta -= s * sum2;
        Bphi += s * sum3 / (sinTheta + poleGuard);
    }

    // Rotate from the geocentric to the geodetic frame: psi is geocentric
    // minus geodetic colatitude.
    const double psi = theta - (Pi / 2.0 - latitude);
    const double X = -std::cos(psi) * Btheta - std::sin(psi) * Br;  // north
    const double Y = Bphi;                                          // east
    if (X == 0.0 && Y == 0.0) return 0.0;
    return std::atan2(Y, X);
}

}  // namespace vorlin

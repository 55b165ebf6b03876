// Magnetic declination by spherical-harmonic synthesis of the World Magnetic
// Model main field (degree and order 12) valid for the date, with the Schmidt
// semi-normalised associated Legendre functions by the standard recursion in
// the colatitude.

#include "qibla/magnetic_declination.h"

#include <cmath>

#include "astro/constants.h"
#include "calendar/julian_day.h"

namespace vorlin {
namespace {

#include "qibla/wmm2000_table.inc"
#include "qibla/wmm2005_table.inc"
#include "qibla/wmm2010_table.inc"
#include "qibla/wmm2015v2_table.inc"
#include "qibla/wmm2020_table.inc"
#include "qibla/wmm2025_table.inc"

constexpr int N = kWmm2000MaxDegree;
static_assert(kWmm2005MaxDegree == N && kWmm2010MaxDegree == N && kWmm2015v2MaxDegree == N &&
                  kWmm2020MaxDegree == N && kWmm2025MaxDegree == N,
              "every model has degree and order 12");

constexpr double kReferenceRadiusKm = 6371.2;      // of the expansion
constexpr double kWmm2000EpochJd = 2451544.5;      // 2000-01-01 0 h
constexpr double kYearsPerDay = 0.0027378507871321013;  // 1 / 365.25
constexpr double kPoleGuard = 1e-8;                // added to a zero sin(colatitude)

// One model: coefficient tables, epoch, and the first JD it is used for.
struct Model {
    const char *name;
    double epochYear;  // its period runs to epochYear + 5
    double firstJd;    // 1 January of epochYear, 0 h; WMM2000 is also used before
    const double (*g)[N + 1];
    const double (*h)[N + 1];
    const double (*gDot)[N + 1];
    const double (*hDot)[N + 1];
};

constexpr Model kModels[] = {
    {"WMM2000", 2000.0, kWmm2000EpochJd, kWmm2000G, kWmm2000H, kWmm2000GDot, kWmm2000HDot},
    {"WMM2005", 2005.0, 2453371.5, kWmm2005G, kWmm2005H, kWmm2005GDot, kWmm2005HDot},
    {"WMM2010", 2010.0, 2455197.5, kWmm2010G, kWmm2010H, kWmm2010GDot, kWmm2010HDot},
    {"WMM2015v2", 2015.0, 2457023.5, kWmm2015v2G, kWmm2015v2H, kWmm2015v2GDot, kWmm2015v2HDot},
    {"WMM2020", 2020.0, 2458849.5, kWmm2020G, kWmm2020H, kWmm2020GDot, kWmm2020HDot},
    {"WMM2025", 2025.0, 2460676.5, kWmm2025G, kWmm2025H, kWmm2025GDot, kWmm2025HDot},
};
constexpr int kModelCount = sizeof kModels / sizeof kModels[0];
constexpr double kLastModelEndJd = 2462502.5;  // 2030-01-01 0 h

// The model of a JD: the last whose period has begun; WMM2000 before 2005.0
// (and for a JD that is not a number).
const Model &ModelFor(double jd) {
    for (int i = kModelCount - 1; i > 0; --i)
        if (jd >= kModels[i].firstJd) return kModels[i];
    return kModels[0];
}

// Decimal year of a JD in the WMM convention: year + (day of year - 1) /
// days in the year, with the fraction of the day.  Beyond the 32-bit years
// (no civil date), or for a JD that is not a number, 365.25-day years.
double DecimalYear(double jd) {
    VorDate civil{};
    JulianDayToDate(jd, civil);
    if (civil.month == 0) return 2000.0 + (jd - kWmm2000EpochJd) * kYearsPerDay;
    VorDate first{};
    first.year = civil.year;
    first.month = 1;
    first.day = 1.0;
    VorDate next = first;
    next.year = civil.year + 1;
    const double start = DateToJulianDay(first);
    return civil.year + (jd - start) / (DateToJulianDay(next) - start);
}

// Years from the model's epoch to the JD.
double YearsAfterEpoch(const Model &model, double jd) {
    // WMM2000 as it always was: 365.25-day years from 2000-01-01 0 h.
    if (&model == &kModels[0]) return (jd - kWmm2000EpochJd) * kYearsPerDay;
    return DecimalYear(jd) - model.epochYear;
}

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

    // Coefficients at the date: the model's linear secular variation.
    const double jd = DateToJulianDay(date);
    const Model &model = ModelFor(jd);
    const double t = YearsAfterEpoch(model, jd);
    double g[N + 1][N + 1] = {};
    double hc[N + 1][N + 1] = {};
    for (int n = 1; n <= N; ++n) {
        for (int m = 0; m <= N; ++m) {
            g[n][m] = model.g[n][m] + t * model.gDot[n][m];
            hc[n][m] = model.h[n][m] + t * model.hDot[n][m];
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

MagneticModelUse MagneticModelFor(const VorDate &date) {
    const double jd = DateToJulianDay(date);
    const Model &model = ModelFor(jd);
    MagneticModelUse use{};
    use.name = model.name;
    use.firstYear = model.epochYear;
    use.lastYear = model.epochYear + 5.0;
    use.extrapolated = !(jd >= kWmm2000EpochJd && jd <= kLastModelEndJd);
    return use;
}

const char *MagneticModelName(const VorDate &date) { return MagneticModelFor(date).name; }

}  // namespace vorlin

// Delta T, sidereal time, obliquity and IAU 1980 nutation.
#include "astro/earth_rotation.h"

#include <cmath>
#include <cstdint>

#include "astro/angles.h"
#include "astro/constants.h"
#include "astro/sine_cosine.h"

namespace vorlin {
namespace {

#include "astro/delta_t_table.inc"
#include "astro/nutation_table.inc"

// Tabulated Delta T at index k, in units of 0.01 s.
double DeltaTAt(int k) { return static_cast<double>(kDeltaTTable[k]); }

// The last tabulated year (an entry at Y.0); the continuation starts there.
constexpr double kDeltaTLastYear = kDeltaTFirstYear + kDeltaTCount - 1;
// Years over which the continuation turns from the table's trend into the
// long-term parabola.
constexpr double kDeltaTBlendYears = 100.0;
// |Y - 2000| is limited to this many years before a formula squares it, so no
// argument (an infinite T included) overflows; a VorDate's 32-bit year stays
// far inside.  Beyond it the value is held.
constexpr double kDeltaTYearLimit = 1.0e12;

// Delta T (seconds) from the last tabulated year on.  The table's last value
// continues with the slope of its last interval (the interpolation is linear
// there), and that line is blended over kDeltaTBlendYears into the long-term
// parabola of Morrison and Stephenson (2004), -20 + 32 u^2 s with
// u = (Y - 1820) / 100, which Espenak and Meeus also use after 2150.  The
// weight w = 3 s^2 - 2 s^3 (s the fraction of the blend) has zero slope at
// both ends, so value and slope join the table at its end and the parabola
// at the blend's end.  Delta T = line + w (parabola - line) only grows:
// its derivative (1 - w) slope + w parabola' + w' (parabola - line) has no
// negative term while the table's last slope is not negative, and the
// parabola lies above the line and rises after 1820.
double DeltaTAfterTable(double year) {
    if (year > 2000.0 + kDeltaTYearLimit) year = 2000.0 + kDeltaTYearLimit;
    const double u = (year - 1820.0) / 100.0;
    const double parabola = -20.0 + 32.0 * u * u;
    const double s = (year - kDeltaTLastYear) / kDeltaTBlendYears;
    if (s >= 1.0) return parabola;
    const double last = 0.01 * DeltaTAt(kDeltaTCount - 1);
    const double slope = 0.01 * (DeltaTAt(kDeltaTCount - 1) - DeltaTAt(kDeltaTCount - 2));
    const double line = last + slope * (year - kDeltaTLastYear);
    const double w = s * s * (3.0 - 2.0 * s);
    return line + w * (parabola - line);
}

// An arc-second value reduced to one turn (1296000").
double ReduceArcseconds(double x) { return x - 1296000.0 * std::floor(x / 1296000.0); }

// Number of multiples of l, l', F, D, Omega the series needs.
constexpr int kArgumentMultiples[5] = {3, 2, 4, 4, 2};

// A term of the nutation table decoded once, at compile time: its non-zero
// multipliers in column order (the argument and the signed multiple), and
// its coefficients.
struct DecodedNutationTerm {
    int factorCount = 0;
    int argument[5] = {};
    int multiple[5] = {};  // -4 .. 4, never 0 among the first factorCount
    double longitude = 0.0;      // A
    double longitudeRate = 0.0;  // A'
    double obliquity = 0.0;      // B
    double obliquityRate = 0.0;  // B'
};

// The terms ordered by their number of factors (and in table order within
// one number), so that the walk over each run multiplies a fixed number of
// factors; first[n] is the first term with n factors (first[6] the end).
struct DecodedNutationTable {
    DecodedNutationTerm terms[kNutationTermCount];
    int first[7] = {};
};

constexpr DecodedNutationTable DecodeNutationTable() {
    DecodedNutationTable table{};
    int next = 0;
    for (int count = 1; count <= 5; ++count) {
        table.first[count] = next;
        for (int i = 0; i < kNutationTermCount; ++i) {
            const auto &row = kNutationTerms[i];
            int factors = 0;
            for (int a = 0; a < 5; ++a) factors += row[a] != 0 ? 1 : 0;
            if (factors != count) continue;
            DecodedNutationTerm &t = table.terms[next++];
            for (int a = 0; a < 5; ++a) {
                if (row[a] == 0) continue;
                t.argument[t.factorCount] = a;
                t.multiple[t.factorCount] = row[a];
                ++t.factorCount;
            }
            t.longitude = row[5];
            t.longitudeRate = row[6];
            t.obliquity = row[7];
            t.obliquityRate = row[8];
        }
    }
    table.first[6] = next;
    table.first[0] = 0;
    return table;
}

constexpr DecodedNutationTable kDecodedNutation = DecodeNutationTable();

constexpr bool EveryTermHasAMultiplier() {
    if (kDecodedNutation.first[6] != kNutationTermCount) return false;
    for (const DecodedNutationTerm &t : kDecodedNutation.terms) {
        if (t.factorCount == 0) return false;
        for (int j = 0; j < t.factorCount; ++j) {
            const int m = t.multiple[j];
            if (m == 0 || m < -kArgumentMultiples[t.argument[j]] ||
                m > kArgumentMultiples[t.argument[j]]) {
                return false;
            }
        }
    }
    return true;
}
static_assert(EveryTermHasAMultiplier(),
              "a nutation term without an argument, or a multiple beyond the rows");

// sin(k x) and cos(k x) of one argument for k = -4 .. 4 (index k + 4).
struct SignedMultiples {
    double sine[9];
    double cosine[9];
};

// The sine and cosine of a term's argument, factor by factor.
template <int Factors>
void TermAngle(const DecodedNutationTerm &term, const SignedMultiples rows[5], double *sv,
               double *cv) {
    const SignedMultiples &first = rows[term.argument[0]];
    double s = first.sine[term.multiple[0] + 4];
    double c = first.cosine[term.multiple[0] + 4];
    for (int j = 1; j < Factors; ++j) {
        const SignedMultiples &r = rows[term.argument[j]];
        const double su = r.sine[term.multiple[j] + 4];
        const double cu = r.cosine[term.multiple[j] + 4];
        const double sNext = su * c + cu * s;
        c = cu * c - su * s;
        s = sNext;
    }
    *sv = s;
    *cv = c;
}

template <int Factors>
void SumRun(const SignedMultiples rows[5], double T10, double *sumLongitude, double *sumObliquity) {
    for (int i = kDecodedNutation.first[Factors]; i < kDecodedNutation.first[Factors + 1]; ++i) {
        const DecodedNutationTerm &term = kDecodedNutation.terms[i];
        double sv = 0.0, cv = 0.0;
        TermAngle<Factors>(term, rows, &sv, &cv);
        *sumLongitude += (term.longitude + T10 * term.longitudeRate) * sv;
        *sumObliquity += (term.obliquity + T10 * term.obliquityRate) * cv;
    }
}

}  // namespace

double DeltaT(double T) {
    double year = 2000.0 + 100.0 * T;
    // A NaN year has no Delta T; it gets the table's last value, a defined
    // finite number, and is never converted to an index.
    if (std::isnan(year)) return 0.01 * DeltaTAt(kDeltaTCount - 1);
    if (year < kDeltaTFirstYear) {
        // Polynomials for the years before the table (seconds).
        if (year < 2000.0 - kDeltaTYearLimit) year = 2000.0 - kDeltaTYearLimit;
        const double b = 0.01 * (year - 2000.0);
        if (year >= 948.0) return (23.58 * b + 100.3) * b + 101.6;
        return 35.0 * (b + 3.75) * (b + 3.75) + 40.0;
    }
    if (year >= kDeltaTLastYear) return DeltaTAfterTable(year);
    const double whole = std::floor(year);
    const double p = year - whole;
    // 0 <= i <= kDeltaTCount - 2 here.
    const int i = static_cast<int>(whole - kDeltaTFirstYear);

    double dt = DeltaTAt(i);
    if (i + 1 < kDeltaTCount) {
        dt = DeltaTAt(i) + p * (DeltaTAt(i + 1) - DeltaTAt(i));
        if (i - 1 >= 0 && i + 2 < kDeltaTCount) {
            // Difference interpolation (Everett/Bessel form) over up to six entries.
            double d[5];
            for (int j = 0; j < 5; ++j) {
                const int k = i - 2 + j;
                d[j] = (k >= 0 && k + 1 < kDeltaTCount) ? DeltaTAt(k + 1) - DeltaTAt(k) : 0.0;
            }
            for (int j = 0; j < 4; ++j) d[j] = d[j + 1] - d[j];
            double b = p * (p - 1.0) / 4.0;
            dt += b * (d[1] + d[2]);
            for (int j = 0; j < 3; ++j) d[j] = d[j + 1] - d[j];
            b = 2.0 * b / 3.0;
            dt += (p - 0.5) * b * d[1];
            if (i - 2 >= 0 && i + 3 <= kDeltaTCount) {
                for (int j = 0; j < 2; ++j) d[j] = d[j + 1] - d[j];
                b = b * (p + 1.0) * (p - 2.0) / 8.0;
                dt += b * (d[0] + d[1]);
            }
        }
    }
    dt = 0.01 * dt;
    // The table's early values assume a lunar tidal acceleration that differs
    // from the one of the current lunar theory: -1.82e-5 (Y - 1955)^2 s.
    if (year < 1955.0) dt -= 1.82e-5 * (year - 1955.0) * (year - 1955.0);
    return dt;
}

double MeanSiderealTime(double T_UT) {
    // Meeus, Astronomical Algorithms, eq. 12.4, degrees; 13185000.770053742 =
    // 360.98564736629 x 36525 and 2.5833118057349522e-8 = 1 / 38710000.
    const double T = T_UT;
    const double theta =
        280.46061837 + T * (13185000.770053742 + T * (0.000387933 - T * 2.5833118057349522e-8));
    return NormalizeAngle(theta * DegToRad);
}

double AddEquationOfEquinoxes(double a, double b, double c) { return a + b * std::cos(c); }

double MeanObliquity(double T_TT) {
    // Polynomial in U = T / 10 (Julian millennia), arc-seconds.
    const double U = T_TT / 10.0;
    const double eps0 =
        84381.406173 +
        U * (-468.3396 +
             U * (-0.0175 +
                  U * (1.9989 +
                       U * (-0.005138 +
                            U * (-0.0024967 +
                                 U * (-0.00003905 +
                                      U * (7.12e-7 + U * (2.787e-7 + U * (5.79e-9 + U * 2.45e-10)))))))));
    return eps0 * ArcsecToRad;
}

void MultipleAngles(MultipleAngleRow &row, double angle, int count) {
    if (count > MultipleAngleRow::MaxMultiple) count = MultipleAngleRow::MaxMultiple;
    double s1 = 0.0, c1 = 0.0;
    SineCosine(angle, &s1, &c1);
    row.sine[1] = s1;
    row.cosine[1] = c1;
    row.sine[2] = 2.0 * s1 * c1;
    row.cosine[2] = c1 * c1 - s1 * s1;
    for (int k = 3; k <= count; ++k) {
        row.sine[k] = c1 * row.sine[k - 1] + s1 * row.cosine[k - 1];
        row.cosine[k] = c1 * row.cosine[k - 1] - s1 * row.sine[k - 1];
    }
}

void Nutation(double T_TT, double *nutationLongitude, double *nutationObliquity) {
    const double T = T_TT;
    const double T2 = T * T;
    const double T10 = T / 10.0;

    // Fundamental arguments (IAU 1980), arc-seconds, in the table's column
    // order l, l', F, D, Omega.
    double argument[5];
    argument[0] = ReduceArcseconds(485866.733 + 1717915922.633 * T) + (31.31 + 0.064 * T) * T2;
    argument[1] = ReduceArcseconds(1287099.804 + 129596581.224 * T) - (0.577 + 0.012 * T) * T2;
    argument[2] = ReduceArcseconds(335778.877 + 1739527263.137 * T) + (0.011 * T - 13.257) * T2;
    argument[3] = ReduceArcseconds(1072261.307 + 1602961601.328 * T) + (0.019 * T - 6.891) * T2;
    argument[4] = ReduceArcseconds(450160.28 - 6962890.539 * T) + (7.455 + 0.008 * T) * T2;

    // One sine and one cosine per argument; the multiples by addition theorems.
    MultipleAngleRow rows[5];
    SignedMultiples signedRows[5];
    for (int a = 0; a < 5; ++a) {
        // Every multiple the signed rows hold (4), though the table uses at
        // most kArgumentMultiples[a] of this argument.
        MultipleAngles(rows[a], argument[a] * ArcsecToRad, 4);
        SignedMultiples &r = signedRows[a];
        r.sine[4] = 0.0;
        r.cosine[4] = 1.0;
        for (int k = 1; k <= 4; ++k) {
            r.sine[4 + k] = rows[a].sine[k];
            r.sine[4 - k] = -rows[a].sine[k];
            r.cosine[4 + k] = rows[a].cosine[k];
            r.cosine[4 - k] = rows[a].cosine[k];
        }
    }

    double sumLongitude = 0.0;
    double sumObliquity = 0.0;
    SumRun<1>(signedRows, T10, &sumLongitude, &sumObliquity);
    SumRun<2>(signedRows, T10, &sumLongitude, &sumObliquity);
    SumRun<3>(signedRows, T10, &sumLongitude, &sumObliquity);
    SumRun<4>(signedRows, T10, &sumLongitude, &sumObliquity);
    SumRun<5>(signedRows, T10, &sumLongitude, &sumObliquity);
    // The principal term (argument Omega), too large for the 16-bit table.
    sumLongitude += (-1742.0 * T10 - 171996.0) * rows[4].sine[1];
    sumObliquity += (89.0 * T10 + 92025.0) * rows[4].cosine[1];

    *nutationLongitude = sumLongitude * 0.0001 * ArcsecToRad;
    *nutationObliquity = sumObliquity * 0.0001 * ArcsecToRad;
}

}  // namespace vorlin

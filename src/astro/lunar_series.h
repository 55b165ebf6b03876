// The evaluator behind MoonPosition: the mean elements of the Moon and the
// planets, their multiple angles, and a generic walk over trigonometric series
// whose arguments are integer combinations of those elements (S. L. Moshier's
// analytical lunar theory, fitted to the JPL DE404 ephemeris, December 1996).
//
// A series is a table of argument bytes and one or two tables of 32-bit
// coefficients.  The argument table is a sequence of terms ended by a
// negative byte:
//   np             number of periodic arguments of the term (np < 0 ends);
//   np = 0:        a polynomial term, then nt (highest power of time); it
//                  consumes nt + 1 values of each coefficient table, highest
//                  power first;
//   np > 0:        np pairs (j, m), j the signed harmonic of mean element
//                  m - 1 (a pair with j = 0 contributes nothing), then nt; the
//                  term consumes c_0 s_0 c_1 s_1 ... c_nt s_nt (cosine and sine
//                  coefficients, highest power of time first) of each table.
#pragma once

#include <cstdint>

#include "astro/moon_position.h"

namespace vorlin {

// Mean elements and multiple-angle rows of the series.
inline constexpr int LunarElementCount = 18;
// Longest row of multiples: sin(k x), cos(k x) for k = 1 .. 31.
inline constexpr int LunarMaxHarmonic = 31;

// Description of one series.  The table lengths bound every walk: a table
// that is malformed (see IsWellFormedLunarSeries) is read only up to its
// first fault, never beyond its arrays.
struct LunarSeriesDescriptor {
    int argumentCount;                          // mean elements the terms may name (14)
    std::int8_t maxHarmonic[LunarElementCount]; // highest |j| used per element
    int maxPowerOfTime;                         // highest nt of any term
    const std::int8_t *arguments;               // argument table, end mark included
    int argumentsLength;
    const std::int32_t *firstTable;             // longitude or latitude coefficients
    int firstTableLength;
    const std::int32_t *secondTable;            // radius coefficients, or null
    int secondTableLength;
    double distanceScaleAu;                     // mean distance the radius sum scales (AU), or 0
    double timeScaleDays;                       // t = (JD - 2451545) / timeScaleDays
    double amplitudeUnit;                       // coefficient unit (arc-seconds)
};

// Scratch of one series evaluation, owned by the caller (normally on its
// stack), so evaluations on separate threads never share state.
struct LunarSeriesScratch {
    // Mean elements (radians): 0 Mercury, 1 Venus, 2 Earth, 3 Mars, 4 Jupiter,
    // 5 Saturn, 6 Uranus, 7 Neptune (mean longitudes), 8 unused, 9 D, 10 F,
    // 11 l', 12 l, 13 L; 14 to 17 unused (zero).
    double elements[LunarElementCount];
    // Mean longitude of the Moon L in arc-seconds (element 13 before the
    // conversion to radians).
    double meanLongitudeArcsec;
    // sinMultiple[i][k - 1] = sin(k x_i), cosMultiple[i][k - 1] = cos(k x_i).
    double sinMultiple[LunarElementCount][LunarMaxHarmonic];
    double cosMultiple[LunarElementCount][LunarMaxHarmonic];
};

// The longitude/radius series (longitude and relative distance) and the
// latitude series of the DE404 fit, referred to the mean ecliptic and
// equinox of date.  The latitude series has no second table and distance
// scale 0: use it with LunarSeriesOne only.
extern const LunarSeriesDescriptor MoonLongitudeRadiusSeries;
extern const LunarSeriesDescriptor MoonLatitudeSeries;

// Mean elements at jd (TT Julian Date) into scratch.elements (radians) and
// scratch.meanLongitudeArcsec.  Each element is a linear part in arc-seconds
// reduced to [0, 1296000), plus a polynomial in T times T^2 (T in Julian
// centuries from J2000.0) added after the reduction.
void LunarMeanElements(double jd, LunarSeriesScratch &scratch);

// sin(k angle) and cos(k angle) for k = 1 .. max(count, 2) into the row of
// mean element `argument` (0 .. 17), from one sine and one cosine by the
// angle-addition recurrence.  count is capped at 31, the row length.
void LunarMultipleAngles(LunarSeriesScratch &scratch, int argument, double angle, int count);

// Both sums of a two-table series at jd (TT Julian Date): out[0] = first-table
// sum, out[2] = second-table sum (0 when the descriptor has no second table),
// each times the amplitude unit (arc-seconds); out[1] is left untouched.
// Fills scratch (mean elements, kept mean longitude, multiples of the
// elements below argumentCount).
void LunarSeriesTwo(double jd, const LunarSeriesDescriptor &d, double out[3],
                    LunarSeriesScratch &scratch);

// The first-table sum of a series at jd (TT Julian Date), times the amplitude
// unit (arc-seconds).  Fills scratch as LunarSeriesTwo does, with multiples
// for every element whose maximum harmonic is above 0.
double LunarSeriesOne(double jd, const LunarSeriesDescriptor &d, LunarSeriesScratch &scratch);

// The lunar position from the sums of the two series (the last steps of
// MoonPosition): longitudeSumArcsec and radiusSumArcsec from LunarSeriesTwo,
// meanLongitudeArcsec the mean longitude L it kept, latitudeArcsec from
// LunarSeriesOne, distanceScaleAu the mean distance of the radius series.
// The longitude is L plus the sum brought near (-180, 180] degrees, less the
// lunar light-time correction of about 0.7 arc-seconds (0.0118 degree times
// the Earth's equatorial radius over the distance), and reduced to
// [0, 2 pi) with no loop; distance in km (1 AU = 149597870.691 km).
LunarPosition MoonPositionFromSums(double longitudeSumArcsec, double meanLongitudeArcsec,
                                   double latitudeArcsec, double radiusSumArcsec,
                                   double distanceScaleAu);

// True when every term of the series lies inside its tables: each pair names
// an element 1 .. argumentCount with 1 <= |j| <= its maximum harmonic (or
// j = 0), 0 <= nt <= maxPowerOfTime, the end mark closes the argument table
// exactly, and the terms consume each coefficient table exactly.
constexpr bool IsWellFormedLunarSeries(const LunarSeriesDescriptor &d) {
    if (d.argumentCount < 1 || d.argumentCount > LunarElementCount) return false;
    if (d.maxPowerOfTime < 0 || d.arguments == nullptr || d.firstTable == nullptr) return false;
    if ((d.secondTable == nullptr) != (d.secondTableLength == 0)) return false;
    for (int i = 0; i < LunarElementCount; ++i) {
        if (d.maxHarmonic[i] < 0 || d.maxHarmonic[i] > LunarMaxHarmonic) return false;
    }
    int p = 0;
    int used = 0;
    while (p < d.argumentsLength) {
        const int np = d.arguments[p++];
        if (np < 0) {
            return p == d.argumentsLength && used == d.firstTableLength &&
                   (d.secondTable == nullptr || used == d.secondTableLength);
        }
        if (p + 2 * np >= d.argumentsLength) return false;
        for (int k = 0; k < np; ++k) {
            const int j = d.arguments[p++];
            const int m = d.arguments[p++];
            if (j == 0) continue;
            if (m < 1 || m > d.argumentCount) return false;
            const int h = j < 0 ? -j : j;
            if (h > d.maxHarmonic[m - 1]) return false;
        }
        const int nt = d.arguments[p++];
        if (nt < 0 || nt > d.maxPowerOfTime) return false;
        used += (np == 0 ? 1 : 2) * (nt + 1);
        if (used > d.firstTableLength) return false;
        if (d.secondTable != nullptr && used > d.secondTableLength) return false;
    }
    return false;  // no end mark
}

// ---- Decoded series: the walk of a known table without the byte parsing --
//
// The argument table is decoded once, at compile time, into one record per
// term and one per (nonzero) harmonic pair, laid out in the order the walk
// reads them.  The decoded walk performs the same floating-point operations
// in the same order as the walk of LunarSeriesTwo and LunarSeriesOne, so
// its sums are the same to the bit; it needs a well-formed table
// (IsWellFormedLunarSeries), which is what makes skipping the checks safe.

struct LunarTermPair {
    std::uint8_t element;   // mean element (row of the multiples), 0 .. 17
    std::uint8_t harmonic;  // |j| - 1 (column of the multiples)
    std::uint8_t negative;  // 1 when j < 0
};

struct LunarTerm {
    std::uint16_t firstPair;    // index of its first pair in the pair array
    std::uint16_t coefficient;  // index of its first coefficient in each table
    std::uint8_t pairCount;     // pairs with j != 0
    std::uint8_t powerOfTime;   // nt
    std::uint8_t polynomial;    // 1 for np = 0 (no periodic argument)
};

template <int TermCount, int PairCount>
struct DecodedLunarSeries {
    LunarTerm terms[TermCount];
    LunarTermPair pairs[PairCount > 0 ? PairCount : 1];
    const std::int32_t *firstTable;
    const std::int32_t *secondTable;  // or null
};

// Terms and nonzero pairs of a well-formed series.
constexpr int LunarTermCount(const LunarSeriesDescriptor &d) {
    int terms = 0;
    for (int p = 0; d.arguments[p] >= 0;) {
        const int np = d.arguments[p];
        p += 2 + 2 * np;
        ++terms;
    }
    return terms;
}

constexpr int LunarPairCount(const LunarSeriesDescriptor &d) {
    int pairs = 0;
    for (int p = 0; d.arguments[p] >= 0;) {
        const int np = d.arguments[p++];
        for (int k = 0; k < np; ++k, p += 2) {
            if (d.arguments[p] != 0) ++pairs;
        }
        ++p;  // nt
    }
    return pairs;
}

template <int TermCount, int PairCount>
constexpr DecodedLunarSeries<TermCount, PairCount> DecodeLunarSeries(
    const LunarSeriesDescriptor &d) {
    DecodedLunarSeries<TermCount, PairCount> out{};
    out.firstTable = d.firstTable;
    out.secondTable = d.secondTable;
    int p = 0;
    int q = 0;
    int pairs = 0;
    for (int term = 0; term < TermCount; ++term) {
        const int np = d.arguments[p++];
        LunarTerm &t = out.terms[term];
        t.firstPair = static_cast<std::uint16_t>(pairs);
        t.coefficient = static_cast<std::uint16_t>(q);
        t.polynomial = np == 0 ? 1 : 0;
        int count = 0;
        for (int k = 0; k < np; ++k) {
            const int j = d.arguments[p++];
            const int m = d.arguments[p++];
            if (j == 0) continue;
            LunarTermPair &pair = out.pairs[pairs++];
            pair.element = static_cast<std::uint8_t>(m - 1);
            pair.harmonic = static_cast<std::uint8_t>((j < 0 ? -j : j) - 1);
            pair.negative = j < 0 ? 1 : 0;
            ++count;
        }
        t.pairCount = static_cast<std::uint8_t>(count);
        const int nt = d.arguments[p++];
        t.powerOfTime = static_cast<std::uint8_t>(nt);
        q += (np == 0 ? 1 : 2) * (nt + 1);
    }
    return out;
}

// The sums of a decoded series at time t (units of its timeScaleDays from
// J2000), from the multiples in scratch: sums[0] over the first table,
// sums[1] over the second when withSecond (0 otherwise), before the
// amplitude unit.  The multiples of every element the series names must
// be filled up to its maximum harmonic.
template <int TermCount, int PairCount>
void WalkDecodedLunarSeries(const DecodedLunarSeries<TermCount, PairCount> &d, double t,
                            bool withSecond, const LunarSeriesScratch &scratch, double sums[2]) {
    double sl = 0.0;
    double sr = 0.0;
    for (const LunarTerm &term : d.terms) {
        const int nt = term.powerOfTime;
        const std::int32_t *first = d.firstTable + term.coefficient;
        const std::int32_t *second = withSecond ? d.secondTable + term.coefficient : nullptr;
        if (term.polynomial != 0) {
            double cu = first[0];
            for (int k = 1; k <= nt; ++k) cu = cu * t + first[k];
            sl += cu;
            if (withSecond) {
                cu = second[0];
                for (int k = 1; k <= nt; ++k) cu = cu * t + second[k];
                sr += cu;
            }
            continue;
        }
        double sv = 0.0;
        double cv = 0.0;
        if (term.pairCount > 0) {
            const LunarTermPair *pair = d.pairs + term.firstPair;
            sv = scratch.sinMultiple[pair->element][pair->harmonic];
            cv = scratch.cosMultiple[pair->element][pair->harmonic];
            if (pair->negative != 0) sv = -sv;
            for (int k = 1; k < term.pairCount; ++k) {
                ++pair;
                double su = scratch.sinMultiple[pair->element][pair->harmonic];
                const double cu = scratch.cosMultiple[pair->element][pair->harmonic];
                if (pair->negative != 0) su = -su;
                const double s = su * cv + cu * sv;
                cv = cu * cv - su * sv;
                sv = s;
            }
        }
        double c = first[0];
        double s = first[1];
        for (int k = 1; k <= nt; ++k) {
            c = c * t + first[2 * k];
            s = s * t + first[2 * k + 1];
        }
        sl += c * cv + s * sv;
        if (withSecond) {
            c = second[0];
            s = second[1];
            for (int k = 1; k <= nt; ++k) {
                c = c * t + second[2 * k];
                s = s * t + second[2 * k + 1];
            }
            sr += c * cv + s * sv;
        }
    }
    sums[0] = sl;
    sums[1] = sr;
}

}  // namespace vorlin

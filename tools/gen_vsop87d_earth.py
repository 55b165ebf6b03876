"""Converts the abridged VSOP87D Earth series into constexpr tables.

Reads src/astro/vsop87d_earth.txt (lines 'series power A B C') and writes
src/astro/vsop87d_earth_table.inc: the 18 term counts (L0..L5, B0..B5,
R0..R5) and the 195 terms (A, P, W) in that order, digits unchanged, each
with A cos P, A sin P and the index of its frequency W among the distinct
frequencies, which are listed with the cosine and sine of their turn in one
day (W / 365250).  The cosines and sines are computed in decimal arithmetic
at 60 digits and rounded once to the nearest double, so the table is the
same on every machine.  Checks the group order, the counts 64/34/20/7/3/1,
5/2, 40/10/6/2/1, and the published first terms and phase-pi constants.
"""
import decimal

from tablegen import data_lines, emit, require

# Pi to 70 digits.
PI = decimal.Decimal("3.141592653589793238462643383279502884197169399375105820974944592307816")
DAYS_PER_MILLENNIUM = 365250


def cos_sin(x):
    """cos x and sin x of a Decimal x, to the context's precision."""
    two_pi = 2 * PI
    x = x - two_pi * (x / two_pi).to_integral_value(rounding=decimal.ROUND_FLOOR)
    term = decimal.Decimal(1)
    c, s = decimal.Decimal(0), decimal.Decimal(0)
    n = 0
    while True:  # the terms fall below 1e-70 long before n = 200
        if n % 4 == 0:
            c += term
        elif n % 4 == 1:
            s += term
        elif n % 4 == 2:
            c -= term
        else:
            s -= term
        n += 1
        term = term * x / n
        if abs(term) < decimal.Decimal("1e-70") or n > 200:
            break
    return c, s


def double(x):
    """The double nearest to a Decimal, written so that it reads back exactly."""
    return repr(float(x))

SOURCE = "src/astro/vsop87d_earth.txt"
OUTPUT = "src/astro/vsop87d_earth_table.inc"
SERIES = "LBR"
COUNTS = [64, 34, 20, 7, 3, 1, 5, 2, 0, 0, 0, 0, 40, 10, 6, 2, 1, 0]
PHASE_PI = "3.14159265359"


def main():
    terms = []
    for line in data_lines(SOURCE):
        fields = line.split()
        require(len(fields) == 5, "%s: line '%s' is not 'series power A B C'" % (SOURCE, line))
        require(fields[0] in SERIES, "%s: unknown series %s" % (SOURCE, fields[0]))
        power = int(fields[1])
        require(0 <= power <= 5, "%s: power %d" % (SOURCE, power))
        for text in fields[2:]:
            float(text)
            require("." in text, "%s: number %s without a decimal point" % (SOURCE, text))
        terms.append((SERIES.index(fields[0]) * 6 + power, fields[2:]))
    groups = [g for g, _ in terms]
    require(groups == sorted(groups), "%s: groups not in the order L0..L5, B0..B5, R0..R5" % SOURCE)
    counts = [groups.count(g) for g in range(18)]
    require(counts == COUNTS, "%s: term counts %s" % (SOURCE, counts))
    require(len(terms) == 195, "%s: %d terms" % (SOURCE, len(terms)))

    def group(series, power):
        g = SERIES.index(series) * 6 + power
        return [t for k, t in terms if k == g]

    require(group("L", 0)[0] == ["1.75347045673", "0.00000000000", "0.00000000000"], "L0 first term")
    require(group("L", 0)[1] == ["0.03341656456", "4.66925680417", "6283.07584999140"], "L0 second term")
    require(group("L", 1)[0][0] == "6283.31966747491", "L1 first term")
    require(group("R", 0)[0][0] == "1.00013988799", "R0 first term")
    require(group("R", 0)[1] == ["0.01670699626", "3.09846350771", "6283.07584999140"], "R0 second term")
    for series, power, amplitude in [("L", 4, "0.00000114084"), ("L", 5, "0.00000000878"),
                                     ("R", 1, "0.00000702215"), ("R", 2, "0.00000012341")]:
        require([amplitude, PHASE_PI, "0.00000000000"] in group(series, power),
                "%s%d phase-pi constant %s" % (series, power, amplitude))
    for k, (_, (a, _, _)) in enumerate(terms):
        require(float(a) > 0.0, "%s: term %d amplitude not positive" % (SOURCE, k + 1))

    body = ("// VSOP87D (Bretagnon and Francou 1988), Earth, heliocentric ecliptic\n"
            "// coordinates of the mean equinox and ecliptic of date, cut to the 195\n"
            "// terms of the abridged table of Meeus, Astronomical Algorithms,\n"
            "// Appendix III, at full precision.  A term is A cos(P + W tau), tau in\n"
            "// Julian millennia (TT) from J2000.0; A in radians (L, B) or AU (R).\n"
            "// Included inside namespace vorlin.\n\n")
    body += ("// Number of terms of L0..L5, B0..B5, R0..R5.\n"
             "constexpr int kEarthTermCounts[18] = {%s};\n\n" % ", ".join(str(c) for c in COUNTS))
    body += "constexpr int kEarthTermTotal = %d;\n\n" % len(terms)
    decimal.getcontext().prec = 60
    frequencies = []
    for _, (_, _, w) in terms:
        if decimal.Decimal(w) not in [decimal.Decimal(f) for f in frequencies]:
            frequencies.append(w)
    body += "constexpr int kEarthFrequencyCount = %d;\n\n" % len(frequencies)
    body += ("// The distinct frequencies W (radians per Julian millennium) and the\n"
             "// cosine and sine of W / 365250, their turn in one day.\n")
    body += "constexpr double kEarthFrequencies[kEarthFrequencyCount][3] = {\n"
    for w in frequencies:
        c, s_ = cos_sin(decimal.Decimal(w) / DAYS_PER_MILLENNIUM)
        body += "    {%s, %s, %s},\n" % (w, double(c), double(s_))
    body += "};\n\n"
    body += ("// One term: A cos(P + W tau) = (A cos P) cos(W tau) - (A sin P) sin(W tau),\n"
             "// its frequency W the one at index frequency of kEarthFrequencies.\n"
             "struct EarthSeriesTerm {\n"
             "    double a, p, w;\n"
             "    double aCosP, aSinP;\n"
             "    int frequency;\n"
             "};\n\n")
    body += ("// A, P, W, A cos P, A sin P and the index of W in kEarthFrequencies of\n"
             "// each term, groups in the order of kEarthTermCounts.\n")
    body += "constexpr EarthSeriesTerm kEarthTerms[kEarthTermTotal] = {\n"
    previous = None
    for g, (a, p, w) in terms:
        if g != previous:
            body += "    // %s%d\n" % (SERIES[g // 6], g % 6)
            previous = g
        c, s_ = cos_sin(decimal.Decimal(p))
        index = [decimal.Decimal(f) for f in frequencies].index(decimal.Decimal(w))
        amplitude = decimal.Decimal(a)
        body += "    {%s, %s, %s, %s, %s, %d},\n" % (a, p, w, double(amplitude * c),
                                                    double(amplitude * s_), index)
    body += "};\n"
    emit(OUTPUT, SOURCE, body)


if __name__ == "__main__":
    main()

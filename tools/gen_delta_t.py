"""Converts the annual Delta T tables into one constexpr table.

Reads src/astro/delta_t.txt (the Astronomical Almanac's annual values 1620 to
2001, then a provisional 2002 and a predicted tail 2003-2014) and
src/astro/delta_t_recent.txt (observed 2002-2025 from IERS data, predicted
2026-2030), both as year and Delta T at the start of the year in units of
0.01 s, and writes src/astro/delta_t_table.inc.

The join: delta_t.txt up to 2001, delta_t_recent.txt from 2002 on.  The recent
file replaces the older file's provisional 2002 (64.26 s; observed 64.30 s)
and its predicted tail (73.00 s at 2014 against 67.28 s observed), which the
Earth did not follow.  The entries up to 2001 are the same numbers as before,
so every Delta T up to 1999.0 is unchanged; the six-entry difference
interpolation reaches three entries ahead, so years between 1999 and 2002
see the new 2002-2004 entries.

Checks: the counts, that each file's years run on without a gap, the signed
16-bit range, every tenth-year value and 2001/2002 of the Almanac file and
its predicted tail (so a different file is noticed), and the published check
values of the recent file.
"""
from tablegen import data_lines, emit, require, wrap

ALMANAC = "src/astro/delta_t.txt"
RECENT = "src/astro/delta_t_recent.txt"
OUTPUT = "src/astro/delta_t_table.inc"
FIRST_YEAR = 1620
ALMANAC_COUNT = 395          # 1620 .. 2014
RECENT_FIRST_YEAR = 2002     # the recent file takes over from here
RECENT_COUNT = 29            # 2002 .. 2030

# Delta T (0.01 s) at every tenth year 1620..2010, then 2001 and 2002, in delta_t.txt.
KNOWN = {
    1620: 12400, 1630: 8500, 1640: 6200, 1650: 4800, 1660: 3700, 1670: 2600,
    1680: 1600, 1690: 1000, 1700: 900, 1710: 1000, 1720: 1100, 1730: 1100,
    1740: 1200, 1750: 1300, 1760: 1500, 1770: 1600, 1780: 1700, 1790: 1700,
    1800: 1370, 1810: 1250, 1820: 1200, 1830: 750, 1840: 570, 1850: 710,
    1860: 788, 1870: 161, 1880: -540, 1890: -587, 1900: -272, 1910: 1046,
    1920: 2116, 1930: 2402, 1940: 2433, 1950: 2915, 1960: 3315, 1970: 4018,
    1980: 5054, 1990: 5686, 2000: 6383, 2010: 7000, 2001: 6409, 2002: 6426,
}
# The predicted values for 2003 to 2014 in delta_t.txt (replaced).
TAIL = [6520, 6580, 6600, 6700, 6800, 6800, 6900, 7000, 7000, 7100, 7200, 7300]
# Check values of delta_t_recent.txt (data README): observed 2002.0, 2010.0,
# 2014.0, 2015.0, 2020.0 (the US Naval Observatory's annual values).
RECENT_KNOWN = {2002: 6430, 2010: 6607, 2014: 6728, 2015: 6764, 2020: 6936}


def read_table(path, first_year, count):
    """The values of a 'year value' file whose years run first_year on."""
    rows = []
    for line in data_lines(path):
        fields = line.split()
        require(len(fields) == 2, "%s: line '%s' is not 'year value'" % (path, line))
        rows.append((int(fields[0]), int(fields[1])))
    require(len(rows) == count, "%s: %d values, expected %d" % (path, len(rows), count))
    for i, (year, _) in enumerate(rows):
        require(year == first_year + i, "%s: year %d at index %d" % (path, year, i))
    values = [v for _, v in rows]
    require(all(-32768 <= v <= 32767 for v in values), "%s: value outside int16" % path)
    return values


def main():
    almanac = read_table(ALMANAC, FIRST_YEAR, ALMANAC_COUNT)
    for year, expected in KNOWN.items():
        got = almanac[year - FIRST_YEAR]
        require(got == expected, "%s: %d is %d, expected %d" % (ALMANAC, year, got, expected))
    require(almanac[2003 - FIRST_YEAR:] == TAIL, "%s: predicted tail 2003-2014" % ALMANAC)

    recent = read_table(RECENT, RECENT_FIRST_YEAR, RECENT_COUNT)
    for year, expected in RECENT_KNOWN.items():
        got = recent[year - RECENT_FIRST_YEAR]
        require(got == expected, "%s: %d is %d, expected %d" % (RECENT, year, got, expected))

    values = almanac[:RECENT_FIRST_YEAR - FIRST_YEAR] + recent
    last_year = FIRST_YEAR + len(values) - 1

    body = ("// Delta T = TT - UT at the start of each year %d .. %d, units of 0.01 s;\n"
            "// index i is the year %d + i.  The Astronomical Almanac's annual values\n"
            "// up to %d; from %d observed values from IERS data (best estimates\n"
            "// 2024-2025, predicted 2026 .. %d).  Included inside namespace vorlin.\n\n"
            % (FIRST_YEAR, last_year, FIRST_YEAR, RECENT_FIRST_YEAR - 1, RECENT_FIRST_YEAR,
               last_year))
    body += "constexpr int kDeltaTFirstYear = %d;\n" % FIRST_YEAR
    body += "constexpr int kDeltaTCount = %d;\n\n" % len(values)
    body += "constexpr std::int16_t kDeltaTTable[kDeltaTCount] = {\n"
    body += wrap([str(v) for v in values], per_line=10) + "\n};\n"
    emit(OUTPUT, "%s and %s" % (ALMANAC, RECENT), body)


if __name__ == "__main__":
    main()

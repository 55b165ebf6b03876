"""Converts the annual Delta T table into a constexpr table.

Reads src/astro/delta_t.txt (year, Delta T at the start of the year in units
of 0.01 s, 1620 to 2014) and writes src/astro/delta_t_table.inc.  Checks the
count, that the years run 1620, 1621, ... without a gap, the signed 16-bit
range, every tenth-year value, 2001 and 2002, and the predicted tail 2003-2014.
"""
from tablegen import data_lines, emit, require, wrap

SOURCE = "src/astro/delta_t.txt"
OUTPUT = "src/astro/delta_t_table.inc"
FIRST_YEAR = 1620
COUNT = 395

# Delta T (0.01 s) at every tenth year 1620..2010, then 2001 and 2002.
KNOWN = {
    1620: 12400, 1630: 8500, 1640: 6200, 1650: 4800, 1660: 3700, 1670: 2600,
    1680: 1600, 1690: 1000, 1700: 900, 1710: 1000, 1720: 1100, 1730: 1100,
    1740: 1200, 1750: 1300, 1760: 1500, 1770: 1600, 1780: 1700, 1790: 1700,
    1800: 1370, 1810: 1250, 1820: 1200, 1830: 750, 1840: 570, 1850: 710,
    1860: 788, 1870: 161, 1880: -540, 1890: -587, 1900: -272, 1910: 1046,
    1920: 2116, 1930: 2402, 1940: 2433, 1950: 2915, 1960: 3315, 1970: 4018,
    1980: 5054, 1990: 5686, 2000: 6383, 2010: 7000, 2001: 6409, 2002: 6426,
}
# The predicted values for 2003 to 2014.
TAIL = [6520, 6580, 6600, 6700, 6800, 6800, 6900, 7000, 7000, 7100, 7200, 7300]


def main():
    rows = []
    for line in data_lines(SOURCE):
        fields = line.split()
        require(len(fields) == 2, "%s: line '%s' is not 'year value'" % (SOURCE, line))
        rows.append((int(fields[0]), int(fields[1])))
    require(len(rows) == COUNT, "%s: %d values, expected %d" % (SOURCE, len(rows), COUNT))
    for i, (year, _) in enumerate(rows):
        require(year == FIRST_YEAR + i, "%s: year %d at index %d" % (SOURCE, year, i))
    values = [v for _, v in rows]
    require(all(-32768 <= v <= 32767 for v in values), "%s: value outside int16" % SOURCE)
    for year, expected in KNOWN.items():
        got = values[year - FIRST_YEAR]
        require(got == expected, "%s: %d is %d, expected %d" % (SOURCE, year, got, expected))
    require(values[2003 - FIRST_YEAR:] == TAIL, "%s: predicted tail 2003-2014" % SOURCE)

    body = ("// Delta T = TT - UT at the start of each year 1620 .. 2014, units of 0.01 s;\n"
            "// index i is the year 1620 + i.  The Astronomical Almanac's annual values\n"
            "// up to 2002, predictions 2003 .. 2014.  Included inside namespace vorlin.\n\n")
    body += "constexpr int kDeltaTFirstYear = %d;\n" % FIRST_YEAR
    body += "constexpr int kDeltaTCount = %d;\n\n" % COUNT
    body += "constexpr std::int16_t kDeltaTTable[kDeltaTCount] = {\n"
    body += wrap([str(v) for v in values], per_line=10) + "\n};\n"
    emit(OUTPUT, SOURCE, body)


if __name__ == "__main__":
    main()

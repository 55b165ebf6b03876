"""Converts the IAU 1980 nutation series into a constexpr table.

Reads src/astro/nutation_iau1980.txt (105 rows of nine integers: multipliers
of l, l', F, D, Omega, then A, A', B, B' in 0.0001 arc-second) and writes
src/astro/nutation_table.inc.  Checks the row count, nine columns, the signed
16-bit range, the published first, eighth and last rows, and that no
multiplier exceeds the multiples the series evaluation prepares (3, 2, 4, 4, 2).
"""
from tablegen import data_lines, emit, require

SOURCE = "src/astro/nutation_iau1980.txt"
OUTPUT = "src/astro/nutation_table.inc"
ROWS = 105
MAX_MULTIPLE = [3, 2, 4, 4, 2]


def main():
    rows = [[int(v) for v in line.split()] for line in data_lines(SOURCE)]
    require(len(rows) == ROWS, "%s: %d rows, expected %d" % (SOURCE, len(rows), ROWS))
    for k, row in enumerate(rows):
        require(len(row) == 9, "%s: row %d has %d columns" % (SOURCE, k + 1, len(row)))
        require(all(-32768 <= v <= 32767 for v in row), "%s: row %d outside int16" % (SOURCE, k + 1))
        require(any(row[:5]), "%s: row %d has no argument" % (SOURCE, k + 1))
        for j in range(5):
            require(abs(row[j]) <= MAX_MULTIPLE[j],
                    "%s: row %d multiplier %d of argument %d" % (SOURCE, k + 1, row[j], j + 1))
    require(rows[0] == [0, 0, 0, 0, 2, 2062, 2, -895, 5], "%s: first row (2 Omega)" % SOURCE)
    require(rows[7] == [0, 0, 2, -2, 2, -13187, -16, 5736, -31], "%s: eighth row" % SOURCE)
    require(rows[-1] == [0, 1, 0, 1, 0, 1, 0, 0, 0], "%s: last row" % SOURCE)

    body = ("// IAU 1980 theory of nutation (Wahr 1981; Seidelmann 1982) without its\n"
            "// principal term: multipliers of l, l', F, D, Omega; longitude coefficient\n"
            "// A and its rate A' (0.0001\" and 0.0001\" per 10 Julian centuries);\n"
            "// obliquity coefficient B and its rate B'.  Included inside namespace vorlin.\n\n")
    body += "constexpr int kNutationTermCount = %d;\n\n" % ROWS
    body += "constexpr std::int16_t kNutationTerms[kNutationTermCount][9] = {\n"
    body += "\n".join("    {%s}," % ", ".join(str(v) for v in row) for row in rows)
    body += "\n};\n"
    emit(OUTPUT, SOURCE, body)


if __name__ == "__main__":
    main()

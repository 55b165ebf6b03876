"""Converts the WMM2000 coefficient file into constexpr tables.

Reads src/qibla/wmm2000.cof (classic WMM .COF layout: an epoch/name line, one
line "n m g h gdot hdot" per degree n = 1..12 and order m = 0..n, closed by a
line of nines) and writes src/qibla/wmm2000_table.inc: four 13 x 13 tables
indexed [n][m] of the main-field Gauss coefficients g, h (nT at 2000.0) and
their yearly rates gdot, hdot (nT per year).  Entries that the file does not
list (degree 0, m > n) are 0.0.

Checked: the SHA-256 of the file, the header, 90 rows in (n, m) order, h and
hdot zero for m = 0, no secular variation above degree 8 (as published), and
the coefficients by which the model is recognised.
"""
import hashlib

from tablegen import ROOT, data_lines, emit, require

SOURCE = "src/qibla/wmm2000.cof"
OUTPUT = "src/qibla/wmm2000_table.inc"
SHA256 = "104db7a07376bdc5a8dba063547540f5bbb8b3267b539e018c8c36af1afcb0fa"
MAX_DEGREE = 12

# (table, n, m) -> value as published.
KNOWN_VALUES = {
    ("g", 1, 0): -29616.0, ("g", 1, 1): -1722.7, ("h", 1, 1): 5194.5,
    ("g", 2, 0): -2266.7, ("g", 2, 1): 3070.2, ("h", 2, 1): -2484.8,
    ("g", 2, 2): 1677.6, ("h", 2, 2): -467.9,
    ("gdot", 1, 0): 14.7, ("gdot", 1, 1): 11.1, ("hdot", 1, 1): -20.4,
    ("g", 12, 12): 0.4, ("h", 12, 12): 1.0,
}

NAMES = ("g", "h", "gdot", "hdot")


def read_model():
    """The four tables as 13 x 13 lists of the published number texts."""
    digest = hashlib.sha256((ROOT / SOURCE).read_bytes()).hexdigest()
    require(digest == SHA256, "%s: SHA-256 %s" % (SOURCE, digest))
    lines = list(data_lines(SOURCE))
    require(lines and lines[0].split() == ["2000.0", "WMM-2000"],
            "%s: header line %r" % (SOURCE, lines[0] if lines else ""))
    tables = {name: [["0.0"] * (MAX_DEGREE + 1) for _ in range(MAX_DEGREE + 1)] for name in NAMES}
    expected = [(n, m) for n in range(1, MAX_DEGREE + 1) for m in range(n + 1)]
    rows = []
    for line in lines[1:]:
        if line.startswith("9999"):
            break
        fields = line.split()
        require(len(fields) == 6, "%s: row %r does not have 6 fields" % (SOURCE, line))
        rows.append(fields)
    else:
        require(False, "%s: no closing line of nines" % SOURCE)
    require(len(rows) == 90, "%s: %d coefficient rows, expected 90" % (SOURCE, len(rows)))
    for k, fields in enumerate(rows):
        n, m = int(fields[0]), int(fields[1])
        require((n, m) == expected[k], "%s: row %d is (%d, %d), expected %r" %
                (SOURCE, k + 1, n, m, expected[k]))
        for name, text in zip(NAMES, fields[2:]):
            value = float(text)
            require(text.count(".") == 1 and len(text.split(".")[1]) == 1,
                    "%s: %s(%d,%d) = %s has not one decimal" % (SOURCE, name, n, m, text))
            tables[name][n][m] = text
            if m == 0 and name in ("h", "hdot"):
                require(value == 0.0, "%s: %s(%d,0) is not zero" % (SOURCE, name, n))
            if n > 8 and name in ("gdot", "hdot"):
                require(value == 0.0, "%s: %s(%d,%d) is not zero" % (SOURCE, name, n, m))
    for (name, n, m), value in KNOWN_VALUES.items():
        require(float(tables[name][n][m]) == value,
                "%s: %s(%d,%d) = %s, published %s" % (SOURCE, name, n, m, tables[name][n][m], value))
    return tables


def table(name, rows, comment):
    lines = ["    {%s}," % ", ".join("%8s" % v for v in row) for row in rows]
    return ("// %s\nconstexpr double %s[%d][%d] = {\n%s\n};\n\n" %
            (comment, name, MAX_DEGREE + 1, MAX_DEGREE + 1, "\n".join(lines)))


def main():
    t = read_model()
    body = ("// World Magnetic Model WMM2000 (NIMA / British Geological Survey), epoch\n"
            "// 2000.0, degree and order 12, Schmidt semi-normalised Gauss coefficients.\n"
            "// Tables indexed [n][m], n = degree (row), m = order (column); entries not\n"
            "// published (n = 0, m > n, h for m = 0) are 0.0.  Included inside\n"
            "// namespace vorlin.\n\n"
            "constexpr int kWmm2000MaxDegree = %d;\n\n" % MAX_DEGREE)
    body += table("kWmm2000G", t["g"], "Main field g(n, m), nT at 2000.0.")
    body += table("kWmm2000H", t["h"], "Main field h(n, m), nT at 2000.0.")
    body += table("kWmm2000GDot", t["gdot"], "Secular variation of g(n, m), nT per year.")
    body += table("kWmm2000HDot", t["hdot"], "Secular variation of h(n, m), nT per year.")
    emit(OUTPUT, SOURCE, body.rstrip("\n") + "\n")


if __name__ == "__main__":
    main()

"""Converts the World Magnetic Model coefficient files into constexpr tables.

Reads src/qibla/wmm<model>.cof for the models the library uses (WMM2000,
WMM2005, WMM2010, WMM2015v2, WMM2020, WMM2025; classic WMM .COF layout: an
"epoch name" line, one line "n m g h gdot hdot" per degree n = 1..12 and
order m = 0..n, closed by two lines of nines) and writes beside each
src/qibla/wmm<model>_table.inc: four 13 x 13 tables indexed [n][m] of the
main-field Gauss coefficients g, h (nT at the epoch) and their yearly rates
gdot, hdot (nT per year).  Entries that the file does not list (degree 0,
m > n) are 0.0.

Checked for each file: its SHA-256, the header, 90 rows in (n, m) order,
one decimal per number, h and hdot zero for m = 0, no secular variation
above the degree the model publishes it to (8 for WMM2000 and WMM2005, 12
for the later models), the closing nines, and the coefficients by which the
model is recognised.

Sources (the SHA-256 below pin the files): wmm2000.cof as before; the later
files are described in src/qibla/wmm_models.md, which names one source per
file and the independent copies each was compared with number by number (0
differences), and the published test values of each model (the tests check
the library against them).  wmm2015.cof (the original WMM2015, superseded by
the out-of-cycle WMM2015v2 for 2015.0 to 2020.0) is not used.

Run with no argument to regenerate the tables, with --check to verify that
the committed tables are exactly what the files give.
"""
import hashlib

from tablegen import ROOT, data_lines, emit, require

MAX_DEGREE = 12
NAMES = ("g", "h", "gdot", "hdot")

# file stem, epoch, model name in the header, makers, SHA-256, degree of the
# secular variation, and (table, n, m) -> value as published.
MODELS = [
    ("wmm2000", "2000.0", "WMM-2000", "NIMA / British Geological Survey",
     "104db7a07376bdc5a8dba063547540f5bbb8b3267b539e018c8c36af1afcb0fa", 8, {
         ("g", 1, 0): -29616.0, ("g", 1, 1): -1722.7, ("h", 1, 1): 5194.5,
         ("g", 2, 0): -2266.7, ("g", 2, 1): 3070.2, ("h", 2, 1): -2484.8,
         ("g", 2, 2): 1677.6, ("h", 2, 2): -467.9,
         ("gdot", 1, 0): 14.7, ("gdot", 1, 1): 11.1, ("hdot", 1, 1): -20.4,
         ("g", 12, 12): 0.4, ("h", 12, 12): 1.0,
     }),
    ("wmm2005", "2005.0", "WMM-2005", "NOAA / British Geological Survey",
     "4bd2300cd19e96dbd5dc0e2791c994048fa35cf97d571bc196bc54bb216d67cf", 8, {
         ("g", 1, 0): -29556.8, ("g", 1, 1): -1671.7, ("h", 1, 1): 5079.8,
         ("gdot", 1, 0): 8.0, ("gdot", 1, 1): 10.6, ("hdot", 1, 1): -20.9,
         ("g", 12, 12): -0.1, ("h", 12, 12): 0.8,
     }),
    ("wmm2010", "2010.0", "WMM-2010", "NOAA / British Geological Survey",
     "630cc4052ea16aa478fa40ab794daea9ba32c3a888183a39cd628244f336bd87", 12, {
         ("g", 1, 0): -29496.6, ("g", 1, 1): -1586.3, ("h", 1, 1): 4944.4,
         ("gdot", 1, 0): 11.6, ("gdot", 1, 1): 16.5, ("hdot", 1, 1): -25.9,
         ("g", 12, 12): 0.0, ("h", 12, 12): 0.9, ("gdot", 12, 12): 0.1,
     }),
    ("wmm2015v2", "2015.0", "WMM-2015v2", "NOAA / British Geological Survey",
     "e27cfbcb196bb403bad77b6d2e663b18304efff53d0690246b6041328c2ff662", 12, {
         ("g", 1, 0): -29438.2, ("g", 1, 1): -1493.5, ("h", 1, 1): 4796.3,
         ("gdot", 1, 0): 7.0, ("gdot", 1, 1): 9.0, ("hdot", 1, 1): -30.2,
         ("g", 12, 12): 0.0, ("h", 12, 12): 0.8, ("gdot", 12, 12): -0.1,
     }),
    ("wmm2020", "2020.0", "WMM-2020", "NOAA / British Geological Survey",
     "7fa83709956765199b44c9b184d70c49bb045ade526e4ac2149fefbfd67c2379", 12, {
         ("g", 1, 0): -29404.5, ("g", 1, 1): -1450.7, ("h", 1, 1): 4652.9,
         ("gdot", 1, 0): 6.7, ("gdot", 1, 1): 7.7, ("hdot", 1, 1): -25.1,
         ("g", 12, 12): -0.3, ("h", 12, 12): 0.5, ("gdot", 12, 12): -0.1,
     }),
    ("wmm2025", "2025.0", "WMM-2025", "NOAA / British Geological Survey",
     "939806a2662d63a8ad0ae8aad0e8e0a2084a9cd705ffaac7fadbffcafd42f2eb", 12, {
         ("g", 1, 0): -29351.8, ("g", 1, 1): -1410.8, ("h", 1, 1): 4545.4,
         ("gdot", 1, 0): 12.0, ("gdot", 1, 1): 9.7, ("hdot", 1, 1): -21.5,
         ("g", 12, 12): -0.7, ("h", 12, 12): 0.2, ("gdot", 12, 12): -0.1,
     }),
]


def read_model(source, epoch, name, sha256, sv_degree, known):
    """The four tables as 13 x 13 lists of the published number texts."""
    digest = hashlib.sha256((ROOT / source).read_bytes()).hexdigest()
    require(digest == sha256, "%s: SHA-256 %s" % (source, digest))
    lines = list(data_lines(source))
    require(lines and lines[0].split() == [epoch, name],
            "%s: header line %r" % (source, lines[0] if lines else ""))
    tables = {t: [["0.0"] * (MAX_DEGREE + 1) for _ in range(MAX_DEGREE + 1)] for t in NAMES}
    expected = [(n, m) for n in range(1, MAX_DEGREE + 1) for m in range(n + 1)]
    rows = [line.split() for line in lines[1:1 + len(expected)]]
    require(len(rows) == 90, "%s: %d coefficient rows, expected 90" % (source, len(rows)))
    require(lines[1 + len(expected):] == ["9" * 48] * 2,
            "%s: not closed by exactly two lines of 48 nines" % source)
    for k, fields in enumerate(rows):
        require(len(fields) == 6, "%s: row %r does not have 6 fields" % (source, " ".join(fields)))
        n, m = int(fields[0]), int(fields[1])
        require((n, m) == expected[k], "%s: row %d is (%d, %d), expected %r" %
                (source, k + 1, n, m, expected[k]))
        for t, text in zip(NAMES, fields[2:]):
            value = float(text)
            require(text.count(".") == 1 and len(text.split(".")[1]) == 1,
                    "%s: %s(%d,%d) = %s has not one decimal" % (source, t, n, m, text))
            require(text != "-0.0", "%s: %s(%d,%d) is written -0.0" % (source, t, n, m))
            tables[t][n][m] = text
            if m == 0 and t in ("h", "hdot"):
                require(value == 0.0, "%s: %s(%d,0) is not zero" % (source, t, n))
            if n > sv_degree and t in ("gdot", "hdot"):
                require(value == 0.0, "%s: %s(%d,%d) is not zero" % (source, t, n, m))
    for (t, n, m), value in known.items():
        require(float(tables[t][n][m]) == value,
                "%s: %s(%d,%d) = %s, published %s" % (source, t, n, m, tables[t][n][m], value))
    return tables


def table(name, rows, comment):
    lines = ["    {%s}," % ", ".join("%8s" % v for v in row) for row in rows]
    return ("// %s\nconstexpr double %s[%d][%d] = {\n%s\n};\n\n" %
            (comment, name, MAX_DEGREE + 1, MAX_DEGREE + 1, "\n".join(lines)))


def main():
    for stem, epoch, name, makers, sha256, sv_degree, known in MODELS:
        source = "src/qibla/%s.cof" % stem
        t = read_model(source, epoch, name, sha256, sv_degree, known)
        model = name.replace("-", "")          # WMM2015v2
        prefix = "k" + model.capitalize()       # kWmm2015v2
        body = ("// World Magnetic Model %s (%s), epoch %s,\n"
                "// degree and order 12, Schmidt semi-normalised Gauss coefficients;\n"
                "// secular variation to degree %d.\n"
                "// Tables indexed [n][m], n = degree (row), m = order (column); entries not\n"
                "// published (n = 0, m > n, h for m = 0) are 0.0.  Included inside\n"
                "// namespace vorlin.\n\n"
                "constexpr int %sMaxDegree = %d;\n\n" % (model, makers, epoch, sv_degree, prefix, MAX_DEGREE))
        body += table(prefix + "G", t["g"], "Main field g(n, m), nT at %s." % epoch)
        body += table(prefix + "H", t["h"], "Main field h(n, m), nT at %s." % epoch)
        body += table(prefix + "GDot", t["gdot"], "Secular variation of g(n, m), nT per year.")
        body += table(prefix + "HDot", t["hdot"], "Secular variation of h(n, m), nT per year.")
        emit("src/qibla/%s_table.inc" % stem, source, body.rstrip("\n") + "\n")


if __name__ == "__main__":
    main()

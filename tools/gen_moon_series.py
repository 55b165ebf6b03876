"""Converts the two lunar series of the DE404 fit into constexpr tables.

Reads src/astro/moon_lr.txt (longitude and radius) and src/astro/moon_lat.txt
(latitude) and writes src/astro/moon_series_tables.inc: the signed-byte
argument tables, the int32 coefficient tables and the two series descriptors
(MoonLongitudeRadiusSeries, MoonLatitudeSeries).  Every count of the
descriptor sections, the published plain check sums, the term grammar and the
pairing of each argument line with its coefficient lines are verified.
"""
from tablegen import data_lines, emit, require, wrap

OUTPUT = "src/astro/moon_series_tables.inc"

# (sum of values, sum of absolute values) as published with the tables.
CHECK_SUMS = {
    ("moon_lr", "args"): (18267, 23611),
    ("moon_lr", "lon"): (300353681, 337955991),
    ("moon_lr", "rad"): (-150821607, 160761133),
    ("moon_lat", "args"): (13754, 16088),
    ("moon_lat", "lat"): (217509105, 219777389),
}


def read_series(path):
    """The descriptor entries and the sections (lists of lines of integers)."""
    descriptor, sections, current = {}, {}, None
    for line in data_lines(path):
        if line.startswith("["):
            current = line.strip("[]")
            require(current not in sections, "%s: section [%s] twice" % (path, current))
            sections[current] = []
            continue
        require(current is not None, "%s: data before the first section" % path)
        if current == "descriptor":
            key, *values = line.split()
            descriptor[key] = values
        else:
            sections[current].append([int(v) for v in line.split()])
    require("end" in sections and not sections["end"], "%s: [end] missing or not empty" % path)
    return descriptor, sections


def flat(lines):
    return [v for line in lines for v in line]


def check_series(name, path, tables):
    """Checks one file; returns (descriptor, args, {table: values})."""
    d, sec = read_series(path)
    count = lambda key: int(d[key][0])
    narg = count("number_of_arguments")
    harmonics = [int(v) for v in d["max_harmonic"]]
    max_power = count("max_power_of_t")
    require(narg == 14, "%s: number_of_arguments %d" % (path, narg))
    require(len(harmonics) == 18, "%s: %d maximum harmonics" % (path, len(harmonics)))
    require(all(0 <= h <= 31 for h in harmonics), "%s: harmonic outside 0..31" % path)
    require(float(d["time_scale_days"][0]) == 3652500.0, "%s: time scale" % path)
    require(float(d["amplitude_unit"][0]) == 0.0001, "%s: amplitude unit" % path)

    arg_lines = sec["args"]
    args = flat(arg_lines)
    require(len(args) == count("args_count"), "%s: %d argument bytes" % (path, len(args)))
    require(all(-128 <= v <= 127 for v in args), "%s: argument outside a signed byte" % path)
    require(arg_lines[-1] == [-1], "%s: argument table does not end with -1" % path)

    coefficient_lines = {t: sec[t] for t in tables}
    periodic = polynomial = 0
    for k, term in enumerate(arg_lines[:-1]):
        np = term[0]
        require(np >= 0, "%s: end mark inside the table (line %d)" % (path, k + 1))
        require(len(term) == 2 * np + 2, "%s: args line %d has %d bytes" % (path, k + 1, len(term)))
        for j, m in zip(term[1:-1:2], term[2:-1:2]):
            if j != 0:
                require(1 <= m <= narg, "%s: args line %d names element %d" % (path, k + 1, m))
                require(abs(j) <= harmonics[m - 1],
                        "%s: args line %d harmonic %d above maximum" % (path, k + 1, j))
        nt = term[-1]
        require(0 <= nt <= max_power, "%s: args line %d power %d" % (path, k + 1, nt))
        consumed = (nt + 1) * (1 if np == 0 else 2)
        if np == 0:
            polynomial += 1
        else:
            periodic += 1
        for t in tables:
            require(k < len(coefficient_lines[t]) and len(coefficient_lines[t][k]) == consumed,
                    "%s: [%s] line %d does not match its argument line" % (path, t, k + 1))
    require(periodic == count("periodic_terms"), "%s: %d periodic terms" % (path, periodic))
    require(polynomial == count("polynomial_terms"), "%s: %d polynomial terms" % (path, polynomial))

    values = {}
    for t in tables:
        require(len(coefficient_lines[t]) == len(arg_lines) - 1, "%s: [%s] line count" % (path, t))
        v = flat(coefficient_lines[t])
        require(len(v) == count("%s_count" % t), "%s: %d values in [%s]" % (path, len(v), t))
        require(all(-2**31 <= x < 2**31 for x in v), "%s: [%s] outside int32" % (path, t))
        values[t] = v
    for section, v in [("args", args)] + list(values.items()):
        sums = (sum(v), sum(abs(x) for x in v))
        require(sums == CHECK_SUMS[(name, section)],
                "%s: [%s] check sums %d / %d" % (path, section, sums[0], sums[1]))
    return d, arg_lines, coefficient_lines


def per_term(lines, indent="    "):
    """One term to a line, as in the data file."""
    return "\n".join(indent + ", ".join(str(v) for v in line) + "," for line in lines)


def array(ctype, name, lines, comment):
    n = sum(len(line) for line in lines)
    return ("// %s\nconstexpr %s %s[%d] = {\n%s\n};\n\n" %
            (comment, ctype, name, n, per_term(lines)))


def descriptor(name, d, args, first, second):
    harmonics = ", ".join(d["max_harmonic"])
    n_args = sum(len(x) for x in args)
    n_first = sum(len(x) for x in first[1])
    if second:
        second_text = "%s, %d" % (second[0], sum(len(x) for x in second[1]))
    else:
        second_text = "nullptr, 0"
    return ("constexpr LunarSeriesDescriptor %s = {\n"
            "    %s,\n    {%s},\n    %s,\n    %s, %d,\n    %s, %d,\n    %s,\n"
            "    %s,\n    %s,\n    %s,\n};\n\n" %
            (name, d["number_of_arguments"][0], harmonics, d["max_power_of_t"][0],
             args_name(name), n_args, first[0], n_first, second_text,
             cpp_double(d["distance_au"][0]), cpp_double(d["time_scale_days"][0]),
             cpp_double(d["amplitude_unit"][0])))


def cpp_double(text):
    """A number of the data file as a C++ double literal, digits unchanged."""
    return text if "." in text or "e" in text else text + ".0"


def args_name(descriptor_name):
    return {"MoonLongitudeRadiusSeries": "kMoonLongitudeRadiusArguments",
            "MoonLatitudeSeries": "kMoonLatitudeArguments"}[descriptor_name]


def main():
    lr, lr_args, lr_tables = check_series("moon_lr", "src/astro/moon_lr.txt", ["lon", "rad"])
    lat, lat_args, lat_tables = check_series("moon_lat", "src/astro/moon_lat.txt", ["lat"])
    require(float(lr["distance_au"][0]) == 0.00257356868953, "moon_lr: distance scale")
    require(float(lat["distance_au"][0]) == 0.0, "moon_lat: distance scale")
    require([int(v) for v in lr["max_harmonic"]] ==
            [3, 26, 29, 23, 5, 10, 0, 0, 0, 8, 4, 4, 6, 2, 0, 0, 0, 0], "moon_lr: harmonics")
    require([int(v) for v in lat["max_harmonic"]] ==
            [0, 26, 29, 8, 3, 5, 0, 0, 0, 6, 5, 3, 5, 1, 0, 0, 0, 0], "moon_lat: harmonics")
    # The rows by which the tables are recognised.
    require(lr_args[0] == [0, 3] and lr_tables["lon"][0] == [175667, 66453, 5249, -42] and
            lr_tables["rad"][0] == [-5422, -2120, 1077, 772], "moon_lr: polynomial term")
    require(lr_args[1] == [3, 4, 3, -8, 4, 3, 5, 1] and
            lr_tables["lon"][1] == [20057, 403, -2360, 6148], "moon_lr: first periodic term")
    require(lat_args[0] == [0, 1] and lat_tables["lat"][0] == [-3, -4], "moon_lat: polynomial term")

    body = ("// The Moon's longitude/radius and latitude series of S. L. Moshier's\n"
            "// analytical lunar theory fitted to the JPL DE404 ephemeris (December 1996,\n"
            "// public domain); mean ecliptic and equinox of date.  One term to a line.\n"
            "// Included inside namespace vorlin after astro/lunar_series.h.\n\n")
    body += array("std::int8_t", "kMoonLongitudeRadiusArguments", lr_args,
                  "Longitude/radius argument table: 631 periodic terms, 1 polynomial term, end mark.")
    body += array("std::int32_t", "kMoonLongitudeTable", lr_tables["lon"],
                  "Longitude coefficients, 0.0001 arc-second.")
    body += array("std::int32_t", "kMoonRadiusTable", lr_tables["rad"],
                  "Radius coefficients: 0.0001 arc-second read as radians of relative distance.")
    body += array("std::int8_t", "kMoonLatitudeArguments", lat_args,
                  "Latitude argument table: 360 periodic terms, 1 polynomial term, end mark.")
    body += array("std::int32_t", "kMoonLatitudeTable", lat_tables["lat"],
                  "Latitude coefficients, 0.0001 arc-second.")
    body += descriptor("MoonLongitudeRadiusSeries", lr, lr_args,
                       ("kMoonLongitudeTable", lr_tables["lon"]),
                       ("kMoonRadiusTable", lr_tables["rad"]))
    body += descriptor("MoonLatitudeSeries", lat, lat_args,
                       ("kMoonLatitudeTable", lat_tables["lat"]), None)
    emit(OUTPUT, "src/astro/moon_lr.txt and src/astro/moon_lat.txt", body.rstrip("\n") + "\n")


if __name__ == "__main__":
    main()

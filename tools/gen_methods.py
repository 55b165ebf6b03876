"""Converts the table of named calculation methods into a constexpr table.

Reads src/methods/methods.tsv (one method per line, tab-separated columns as
its header comment describes) and writes src/methods/methods_table.inc: one
NamedMethod initialiser per method, in the file's order (the first is the
default).

Checked: the column count, unique names and aliases (case-insensitive),
angles between 0 and 30 degrees, minutes between 0 and 240, the words of the
enumerated columns, the adjusted events' names, and the rows by which the
published definitions are recognised.
"""
import math
import sys

from tablegen import ROOT, data_lines, emit, require

SOURCE = "src/methods/methods.tsv"
OUTPUT = "src/methods/methods_table.inc"
COLUMNS = ["name", "aliases", "fajr", "isha", "ramadan", "maghrib", "asr", "midnight",
           "twilight", "rounding", "adjust", "authority"]
EVENTS = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"]
MIDNIGHT = {"standard": "MidnightStandard", "jafari": "MidnightJafari"}
TWILIGHT = {"angles": "TwilightAngles", "seasonal": "TwilightSeasonal"}
ROUNDING = {"seconds": "RoundSeconds", "nearest": "RoundNearest", "up": "RoundUp",
            "down": "RoundDown"}

# name -> (fajr, isha text, maghrib text, adjust text) as published.
KNOWN = {
    "MWL": ("18", "17", "sunset", "-"),
    "UmmAlQura": ("18.5", "+90", "sunset", "-"),
    "Tehran": ("17.7", "14", "4.5", "-"),
    "Turkey": ("18", "17", "sunset", "sunrise=-7,dhuhr=5,asr=4,maghrib=7"),
    "Dubai": ("18.2", "18.2", "sunset", "sunrise=-3,dhuhr=3,asr=3,maghrib=3"),
}


def number(text, low, high, what):
    try:
        value = float(text)
    except ValueError:
        value = math.nan
    require(low <= value <= high, "%s: %r is not a number from %g to %g" % (what, text, low, high))
    return value


def c_string(text):
    require('"' not in text and "\\" not in text, "text %r has a quote or backslash" % text)
    return '"%s"' % text


def main():
    lines = list(data_lines(SOURCE))
    require(lines and lines[0].split("\t") == COLUMNS, "%s: header %r" % (SOURCE, lines[:1]))
    seen = set()
    rows = []
    for line in lines[1:]:
        f = line.split("\t")
        require(len(f) == len(COLUMNS), "%s: %d columns in %r" % (SOURCE, len(f), line))
        row = dict(zip(COLUMNS, f))
        name = row["name"]
        for n in [name] + ([] if row["aliases"] == "-" else row["aliases"].split(",")):
            require(n.isalnum() and n.lower() not in seen, "%s: name %r repeated or not a word" % (SOURCE, n))
            seen.add(n.lower())
        if name in KNOWN:
            require((row["fajr"], row["isha"], row["maghrib"], row["adjust"]) == KNOWN[name],
                    "%s: %s differs from its published definition" % (SOURCE, name))
        fajr = number(row["fajr"], 0, 30, name + " fajr")
        if row["isha"].startswith("+"):
            isha_angle, isha_minutes = "kNoValue", "%.17g" % number(row["isha"][1:], 0, 240, name + " isha")
        else:
            isha_angle, isha_minutes = "%.17g" % number(row["isha"], 0, 30, name + " isha"), "kNoValue"
        ramadan = "kNoValue" if row["ramadan"] == "-" else "%.17g" % number(row["ramadan"], 0, 240, name + " ramadan")
        require(ramadan == "kNoValue" or isha_minutes != "kNoValue",
                "%s: Ramadan minutes without Isha'a by minutes" % name)
        maghrib = "kNoValue" if row["maghrib"] == "sunset" else "%.17g" % number(row["maghrib"], 0, 30, name + " maghrib")
        require(row["asr"] in ("1", "2"), "%s: asr %r" % (name, row["asr"]))
        for column, words in (("midnight", MIDNIGHT), ("twilight", TWILIGHT), ("rounding", ROUNDING)):
            require(row[column] in words, "%s: %s %r" % (name, column, row[column]))
        adjust = [0.0] * len(EVENTS)
        if row["adjust"] != "-":
            for item in row["adjust"].split(","):
                event, _, minutes = item.partition("=")
                require(event in EVENTS, "%s: adjusted event %r" % (name, event))
                adjust[EVENTS.index(event)] = number(minutes, -60, 60, name + " adjust")
        aliases = "" if row["aliases"] == "-" else row["aliases"]
        rows.append(
            "    {%s, %s, %s,\n     %.17g, %s, %s, %s, %s, %s, %s, %s, %s,\n     {%s}},"
            % (c_string(name), c_string(aliases), c_string(row["authority"]), fajr, isha_angle,
               isha_minutes, ramadan, maghrib, row["asr"], MIDNIGHT[row["midnight"]],
               TWILIGHT[row["twilight"]], ROUNDING[row["rounding"]],
               ", ".join("%.17g" % a for a in adjust)))
    require(rows and lines[1].split("\t")[0] == "MWL", "the first method (the default) is MWL")
    body = ("// NamedMethod fields: name, aliases, authority, fajrAngle, ishaAngle,\n"
            "// ishaMinutes, ishaMinutesRamadan, maghribAngle, asrFactor, midnight,\n"
            "// twilight, rounding, adjust[imsak, fajr, sunrise, dhuhr, asr, maghrib, isha].\n"
            "inline constexpr int kNamedMethodCount = %d;\n"
            "inline constexpr NamedMethod kNamedMethods[kNamedMethodCount] = {\n%s\n};\n"
            % (len(rows), "\n".join(rows)))
    emit(OUTPUT, SOURCE, body)
    readme_table(lines)


BEGIN = "<!-- methods table: generated by tools/gen_methods.py from src/methods/methods.tsv -->"
END = "<!-- end of methods table -->"


def readme_table(lines):
    """The README's table of methods, between its two marker lines."""
    rows = ["| Method | Also | Fajr | Isha'a | Maghrib | Asr | Midnight | Other | Authority |",
            "|---|---|---|---|---|---|---|---|---|"]
    for line in lines[1:]:
        r = dict(zip(COLUMNS, line.split("\t")))
        isha = r["isha"] + " deg" if not r["isha"].startswith("+") else r["isha"] + " min after Maghrib"
        if r["ramadan"] != "-":
            isha += " (+%s in Ramadan)" % r["ramadan"]
        maghrib = "sunset" if r["maghrib"] == "sunset" else r["maghrib"] + " deg"
        other = []
        if r["twilight"] == "seasonal":
            other.append("seasonal twilight bounds")
        if r["rounding"] != "seconds":
            other.append("rounded %s to the minute" % r["rounding"])
        if r["adjust"] != "-":
            other.append("adjust " + r["adjust"].replace(",", ", "))
        rows.append("| %s | %s | %s deg | %s | %s | %s | %s | %s | %s |" % (
            r["name"], "" if r["aliases"] == "-" else r["aliases"].replace(",", ", "), r["fajr"],
            isha, maghrib, "Hanafi" if r["asr"] == "2" else "standard", r["midnight"],
            "; ".join(other), r["authority"]))
    readme = ROOT / "README.md"
    text = readme.read_text(encoding="utf-8")
    require(BEGIN in text and END in text, "README.md has no methods table markers")
    head, rest = text.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    new = head + BEGIN + "\n" + "\n".join(rows) + "\n" + END + tail
    if "--check" in sys.argv[1:]:
        if new != text:
            sys.exit("README.md's methods table is out of date: run python3 tools/gen_methods.py")
        print("README.md methods table is up to date")
    else:
        readme.write_text(new, encoding="utf-8")
        print("wrote the methods table of README.md")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks the formats of `vorlin times` against the library's report and
against the definitions of the settings.

Run as: check_formats.py PATH_TO_VORLIN.  For several places, methods and
spans it asks for the same schedule as the report (the legacy record's
computation) and as JSON (the structured one, with the report's meaning of
the height as the dip and no high-latitude default), and checks that the
JSON parses and gives every time of the report within one second (the
report rounds Imsak and Shuruq down and the others up, JSON to the nearest
second), the same days and Hijri days, null with the reason for each marker;
that the text table and the CSV hold the same values and notes; and that the
iCalendar file is valid RFC 5545: CRLF line ends, lines of at most 75
octets, folded without splitting a UTF-8 character, the required
properties, one event per existing time at the matching UTC instant.  Then
the settings people type are checked by their definitions: Isha'a minutes
after Maghrib (and in Ramadan), midnight and the last third from the same
output's sunset, sunrise and Fajr, adjustments, rounding, both Asr times,
angles given either sign, Maghrib by an angle.
"""
import csv
import datetime
import io
import json
import os
import re
import subprocess
import sys

VORLIN = sys.argv[1]
FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def run(args, env=None):
    result = subprocess.run([VORLIN] + args, capture_output=True, env=env)
    if result.returncode != 0:
        raise SystemExit("vorlin %s: exit %d: %s" % (" ".join(args), result.returncode,
                                                      result.stderr.decode("latin-1")))
    return result.stdout


KEYS = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"]
JAFARI_KEYS = ["imsak", "fajr", "sunrise", "dhuhr", "maghrib"]
MARKERS = {"AlwBelow": "always below", "AlwAbove": "always above", "NotValid": "not valid"}
ROW = re.compile(r"^(\d+) +(\d+)? +([A-Z][a-z]{2}) (.*)$")


def text_rows(report, fiqh):
    """(day, hijri day or None, weekday, {key: cell}) per row of a month/year report."""
    keys = JAFARI_KEYS if fiqh == 0 else KEYS
    rows = []
    for line in report.split("\n"):
        m = ROW.match(line)
        if not m or len(m.group(4)) != 9 * len(keys):
            continue
        cells = [m.group(4)[9 * i:9 * i + 9] for i in range(len(keys))]
        rows.append((int(m.group(1)), int(m.group(2)) if m.group(2) else None, m.group(3),
                     dict(zip(keys, cells))))
    return rows


def day_row(report, fiqh):
    keys = JAFARI_KEYS if fiqh == 0 else KEYS
    line = report.rstrip("\n").split("\n")[-1]
    return dict(zip(keys, [line[9 * i:9 * i + 9] for i in range(len(keys))]))


def compare_cell(what, cell, value, reason, day):
    word = cell[:8]
    if word in MARKERS:
        if value is not None or reason != MARKERS[word]:
            fail("%s: report shows %s, JSON %r (%r)" % (what, word, value, reason))
        return
    if value is None:
        fail("%s: report shows %s, JSON null (%r)" % (what, cell, reason))
        return
    h, m, s = (int(x) for x in word.split(":"))
    shift = {" ": 0, ">": 1, "<": -1}[cell[8]]
    text_seconds = shift * 86400 + h * 3600 + m * 60 + s
    moment = datetime.datetime.fromisoformat(value)
    date = datetime.date.fromisoformat(day)
    json_seconds = ((moment.date() - date).days * 86400 + moment.hour * 3600 + moment.minute * 60
                    + moment.second)
    if abs(text_seconds - json_seconds) > 1:
        fail("%s: report %s, JSON %s" % (what, cell, value))


def structured_args(args):
    """The request's arguments for the structured formats with the report's
    meaning: the dip from the height, no high-latitude default."""
    place = json.loads(run(["times", "--format", "json", "--day"] +
                           [a for a in args if a not in ("--year", "--hijri-months", "--day")]))["place"]
    extra = ["--horizon-height", str(max(int(place["height"]), 0))]
    if "--high-latitude-rule" not in args:
        extra += ["--high-latitude-rule", "none"]
    return args + extra


def check_json_against_text(args, fiqh):
    report = run(["times", "--format", "report"] + args).decode("latin-1")
    args = structured_args(args)
    document = json.loads(run(["times", "--format", "json"] + args))
    days = document["days"]
    label = " ".join(args)
    for day in days:
        for key in KEYS:
            value = day["times"][key]
            if (value is None) != (key in day["missing"]):
                fail("%s %s %s: null without reason or reason without null" % (label, day["date"], key))
            if value is not None:
                moment = datetime.datetime.fromisoformat(value)
                if moment.utcoffset() != datetime.datetime.fromisoformat(
                        day["date"] + "T00:00:00" + day["utcOffset"]).utcoffset():
                    fail("%s %s %s: offset differs from the day's" % (label, day["date"], key))
    if "--day" in args:
        row = day_row(report, fiqh)
        if len(days) != 1:
            fail("%s: %d days for one day" % (label, len(days)))
        for key, cell in row.items():
            compare_cell("%s %s" % (label, key), cell, days[0]["times"][key],
                         days[0]["missing"].get(key), days[0]["date"])
        hijri = days[0]["hijri"]
        if hijri is not None and "%d/%s/%d" % (hijri["day"], hijri["monthName"], hijri["year"]) not in report:
            fail("%s: Hijri date %r not in the report header" % (label, hijri))
        return document
    rows = text_rows(report, fiqh)
    if len(rows) != len(days):
        fail("%s: %d report rows, %d JSON days" % (label, len(rows), len(days)))
    for (day_number, hijri_day, weekday, cells), day in zip(rows, days):
        where = "%s %s" % (label, day["date"])
        if int(day["date"][8:10]) != day_number or day["weekday"] != weekday:
            fail("%s: report row %d %s" % (where, day_number, weekday))
        if (day["hijri"] or {}).get("day") != hijri_day:
            fail("%s: report Hijri day %r, JSON %r" % (where, hijri_day, day["hijri"]))
        for key, cell in cells.items():
            compare_cell("%s %s" % (where, key), cell, day["times"][key], day["missing"].get(key),
                         day["date"])
    return document


CSV_COLUMNS = {"asrHanafi": "asr_hanafi", "lastThird": "last_third"}


def parse_notes(notes):
    """{key: "always above" | "filled by ..."} from "imsak, fajr always above; ..."."""
    result = {}
    for group in filter(None, notes.split("; ")):
        words = group.split(" ")
        keys = []
        while words and words[0].endswith(","):
            keys.append(words.pop(0)[:-1])
        keys.append(words.pop(0))
        for key in keys:
            result[key] = " ".join(words)
    return result


def expected_notes(day):
    notes = {key: reason for key, reason in day["missing"].items()}
    notes.update({key: "filled by " + what for key, what in day["filled"].items()})
    return notes


def check_csv(args, document):
    text = run(["times", "--format", "csv"] + args).decode("utf-8")
    if "\r\n" not in text or text.replace("\r\n", "").count("\n") != 0:
        fail("csv %s: lines must end in CRLF" % " ".join(args))
    rows = list(csv.DictReader(io.StringIO(text, newline="")))
    if len(rows) != len(document["days"]):
        fail("csv %s: %d rows for %d days" % (" ".join(args), len(rows), len(document["days"])))
    for row, day in zip(rows, document["days"]):
        if row["date"] != day["date"] or row["utc_offset"] != day["utcOffset"]:
            fail("csv %s: row %r" % (" ".join(args), row))
        if row["hijri_date"] != ((day["hijri"] or {}).get("date") or ""):
            fail("csv %s %s: Hijri date %r" % (" ".join(args), day["date"], row["hijri_date"]))
        for key in day["times"]:
            column = CSV_COLUMNS.get(key, key)
            if (row[column] or None) != day["times"][key]:
                fail("csv %s %s %s: %r vs %r" % (" ".join(args), day["date"], key, row[column],
                                                 day["times"][key]))
        if parse_notes(row["notes"]) != expected_notes(day):
            fail("csv %s %s: notes %r" % (" ".join(args), day["date"], row["notes"]))


def check_text_table(args, document):
    """The terminal table: one row per day, each cell the JSON time's clock
    with ">"/"<" for another day and "*" when filled, "-" when missing."""
    label = " ".join(args)
    text = run(["times"] + args).decode("latin-1")
    lines = text.split("\n")
    header = next(i for i, l in enumerate(lines) if l.startswith("Date       Day Hijri"))
    rows = lines[header + 1:header + 1 + len(document["days"])]
    for line, day in zip(rows, document["days"]):
        where = "text %s %s" % (label, day["date"])
        hijri = (day["hijri"] or {}).get("date") or ""
        if line[:26] != "%s %s %-10s " % (day["date"], day["weekday"], hijri):
            fail("%s: row starts %r" % (where, line[:26]))
        keys = list(day["times"])
        for i, key in enumerate(keys):
            cell = line[26 + 10 * i:36 + 10 * i].rstrip()
            value = day["times"][key]
            if value is None:
                expected = "-"
            else:
                moment = datetime.datetime.fromisoformat(value)
                shift = (moment.date() - datetime.date.fromisoformat(day["date"])).days
                expected = moment.strftime("%H:%M:%S") + (">" if shift > 0 else "<" if shift < 0 else "")
                expected += "*" if key in day["filled"] else ""
            if cell != expected:
                fail("%s %s: cell %r, JSON %r" % (where, key, cell, value))
        if parse_notes(line[26 + 10 * len(keys):]) != expected_notes(day):
            fail("%s: notes %r" % (where, line[26 + 10 * len(keys):]))
    if len(rows) != len(document["days"]) or (len(lines) > header + 1 + len(rows) and
                                               lines[header + 1 + len(rows)] != ""):
        fail("text %s: not one row per day" % label)


def unfold_ics(raw, label):
    if not raw.endswith(b"\r\n"):
        fail("ics %s: does not end with CRLF" % label)
    physical = raw[:-2].split(b"\r\n") if raw.endswith(b"\r\n") else raw.split(b"\r\n")
    lines = []
    for line in physical:
        if b"\n" in line or b"\r" in line:
            fail("ics %s: bare LF or CR in %r" % (label, line))
        if len(line) > 75:
            fail("ics %s: line of %d octets: %r" % (label, len(line), line))
        if line.startswith(b" "):
            if not lines:
                fail("ics %s: continuation first" % label)
            lines[-1] += line[1:]
        else:
            lines.append(line)
    for line in physical:
        try:
            line.decode("utf-8")  # each physical line alone: no split character
        except UnicodeDecodeError:
            fail("ics %s: a fold splits a UTF-8 character: %r" % (label, line))
    return [line.decode("utf-8") for line in lines]


def check_ics(args, document):
    label = " ".join(args)
    env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
    lines = unfold_ics(run(["times", "--format", "ics"] + args, env), label)
    if lines[0] != "BEGIN:VCALENDAR" or lines[-1] != "END:VCALENDAR":
        fail("ics %s: not one VCALENDAR" % label)
    if "VERSION:2.0" not in lines or not any(l.startswith("PRODID:") for l in lines):
        fail("ics %s: VERSION or PRODID missing" % label)
    events, current, depth = [], None, 0
    for line in lines:
        name, _, value = line.partition(":")
        if line == "BEGIN:VEVENT":
            if current is not None:
                fail("ics %s: nested VEVENT" % label)
            current = {}
        elif line == "END:VEVENT":
            events.append(current)
            current = None
        elif current is not None:
            if name in current:
                fail("ics %s: %s twice in one event" % (label, name))
            current[name] = value
        depth += line.startswith("BEGIN:") - line.startswith("END:")
    if depth != 0 or current is not None:
        fail("ics %s: BEGIN/END not balanced" % label)
    expected = []
    for day in document["days"]:
        for key in day["times"]:
            if day["times"][key] is not None:
                utc = datetime.datetime.fromisoformat(day["times"][key]).astimezone(datetime.timezone.utc)
                expected.append(utc.strftime("%Y%m%dT%H%M%SZ"))
    if [e.get("DTSTART") for e in events] != expected:
        fail("ics %s: %d events, DTSTART not the JSON times in UTC (%d expected)"
             % (label, len(events), len(expected)))
    uids = set()
    for event in events:
        for required in ("UID", "DTSTAMP", "DTSTART", "SUMMARY"):
            if required not in event:
                fail("ics %s: event without %s" % (label, required))
        if event.get("DTSTAMP") != "20231114T221320Z":
            fail("ics %s: DTSTAMP %r is not SOURCE_DATE_EPOCH" % (label, event.get("DTSTAMP")))
        if not re.fullmatch(r"\d{8}T\d{6}Z", event.get("DTSTART", "")):
            fail("ics %s: DTSTART %r not in UTC form" % (label, event.get("DTSTART")))
        uids.add(event.get("UID"))
    if len(uids) != len(events):
        fail("ics %s: UIDs not unique" % label)
    return events


CASES = [
    # (arguments, fiqh of the request)
    (["--date", "2024-03-05"], 1),                                   # Makkah, Ramadan begins
    (["--city", "London", "--method", "ISNA", "--date", "2024-06-10"], 1),  # markers in June
    (["--city", "London", "--high-latitude-rule", "4", "--date", "2024-06-10"], 1),
    (["--city", "Tromso", "--day", "--date", "2024-06-21"], 1),      # midnight sun
    (["--city", "Tromso", "--day", "--date", "2024-12-21"], 1),      # polar night
    (["--city", "Sydney", "--date", "2024-10-01"], 1),               # southern summer time starts
    (["--city", "Tehran", "--fiqh", "0", "--fajr", "17.7", "--isha", "14", "--date", "2024-03-20"], 0),
    (["--city", "Karachi", "--method", "Karachi", "--day", "--date", "2024-01-15"], 2),
    (["--city", "Cairo", "--method", "Egypt", "--hijri-months", "--date", "2024-03-20"], 1),
    (["--city", "Kathmandu", "--day", "--date", "2024-05-01"], 1),    # zone +05:45
    (["--city", "New York", "--year", "--date", "2024-01-01"], 1),   # both summer-time changes
    (["--city", "Jakarta", "--year", "--hijri-months", "--date", "2024-03-11"], 1),  # 1445 AH
    (["--city", "Reykjavik", "--fajr", "18.5", "--isha", "19", "--high-latitude-rule", "2", "--date", "2024-06-01"], 1),
]

for arguments, fiqh in CASES:
    doc = check_json_against_text(arguments, fiqh)
    check_csv(structured_args(arguments), doc)
    check_ics(structured_args(arguments), doc)
    check_text_table(structured_args(arguments), doc)

# The structured defaults (the seventh of the night at London) and the
# settings beyond the report, in every format.
for arguments in (["--city", "London", "--date", "2024-06-10"],
                  ["--city", "London", "--method", "MSC", "--date", "2024-12-01", "--asr", "both"],
                  ["--city", "Tehran", "--method", "Tehran", "--date", "2024-01-01"],
                  ["--method", "UmmAlQura", "--hijri-months", "--date", "2024-03-11"],
                  ["--city", "Tromso", "--date", "2024-05-10", "--high-latitude-rule", "twilight-angle"]):
    doc = json.loads(run(["times", "--format", "json"] + arguments))
    check_csv(arguments, doc)
    check_ics(arguments, doc)
    check_text_table(arguments, doc)

# The UTC offset in force, summer time applied, and the next day's date for a
# time past midnight.
doc = json.loads(run(["times", "--format", "json", "--city", "London", "--date", "2024-03-30", "--day"]))
if doc["days"][0]["utcOffset"] != "+00:00" or doc["days"][0]["summerTime"]:
    fail("London 2024-03-30 is standard time")
doc = json.loads(run(["times", "--format", "json", "--city", "London", "--date", "2024-03-31", "--day"]))
if doc["days"][0]["utcOffset"] != "+01:00" or not doc["days"][0]["times"]["dhuhr"].endswith("+01:00"):
    fail("London 2024-03-31 is summer time")
doc = json.loads(run(["times", "--format", "json", "--city", "Kathmandu", "--day", "--date", "2024-05-01"]))
if not doc["days"][0]["times"]["dhuhr"].endswith("+05:45"):
    fail("Kathmandu's offset is +05:45")
past = json.loads(run(["times", "--format", "json", "--lat", "55", "--lon", "-20", "--tz", "2",
                       "--day", "--date", "2024-05-20", "--high-latitude-rule", "4"]))
isha = past["days"][0]["times"]["isha"]
if isha is None or not isha.startswith("2024-05-21T"):
    fail("an Isha'a after midnight carries the next date, not %r" % isha)

# Long place names with non-ASCII text fold at 75 octets between characters;
# the padding moves the fold over every byte of a two-byte character.
for pad in range(4):
    long_name = "x" * pad + "Masjid " + "\u00e9" * 14 + ", Bursa;"  # 43 to 46 bytes
    request = ["--day", "--date", "2024-03-11", "--name", long_name]
    events = check_ics(structured_args(request), check_json_against_text(request, 1))
    if events[0]["LOCATION"] != long_name.replace(",", "\\,").replace(";", "\\;") + "\\, 21.4225 N 39.8262 E":
        fail("LOCATION %r does not unfold to the escaped name" % events[0]["LOCATION"])
    if json.loads(run(["times", "--format", "json"] + request))["place"]["name"] != long_name:
        fail("JSON place name is not the UTF-8 name")


# The settings by their definitions, from the outputs alone.
def times_of(args):
    document = json.loads(run(["times", "--format", "json"] + args))
    return [{key: (datetime.datetime.fromisoformat(v) if v else None) for key, v in day["times"].items()}
            for day in document["days"]], document


def seconds(a, b):
    return (a - b).total_seconds()


def check_definitions():
    # UmmAlQura: Isha'a 90 minutes after Maghrib, 120 in Ramadan (Hijri month 9).
    days, doc = times_of(["--method", "UmmAlQura", "--date", "2024-03-01"])
    for day, times in zip(doc["days"], days):
        minutes = 120 if day["hijri"]["month"] == 9 else 90
        if abs(seconds(times["isha"], times["maghrib"]) - 60 * minutes) > 1:
            fail("UmmAlQura %s: Isha'a %s, Maghrib %s, not %d min" % (day["date"], times["isha"],
                                                                     times["maghrib"], minutes))
    if not any(day["hijri"]["month"] == 9 for day in doc["days"]):
        fail("March 2024 has no day of Ramadan at Makkah")
    # Midnight and the last third, from the same output's next day.
    for midnight in ("standard", "jafari"):
        days, _ = times_of(["--city", "London", "--date", "2024-06-01", "--midnight", midnight])
        for today, tomorrow in zip(days, days[1:]):
            end = tomorrow["sunrise"] if midnight == "standard" else tomorrow["fajr"]
            night = seconds(end, today["sunset"])
            if abs(seconds(today["midnight"], today["sunset"]) - night / 2) > 1:
                fail("%s midnight %s not halfway" % (midnight, today["midnight"]))
            third = seconds(tomorrow["fajr"], today["sunset"]) * 2 / 3
            if abs(seconds(today["lastThird"], today["sunset"]) - third) > 1:
                fail("last third %s not two thirds of sunset to Fajr" % today["lastThird"])
    # Adjustments move only their events, by their minutes; Turkey and Dubai
    # against their angles without them.
    for adjusting, plain_args, moves in (
            (["--method", "Turkey"], ["--fajr", "18", "--isha", "17"],
             {"sunrise": -7, "dhuhr": 5, "asr": 4, "maghrib": 7}),
            (["--method", "Dubai"], ["--fajr", "18.2", "--isha", "18.2"],
             {"sunrise": -3, "dhuhr": 3, "asr": 3, "maghrib": 3}),
            (["--adjust", "dhuhr=2,isha=-1"], [], {"dhuhr": 2, "isha": -1})):
        plain, _ = times_of(["--city", "Istanbul", "--date", "2024-04-01"] + plain_args)
        adjusted, _ = times_of(["--city", "Istanbul", "--date", "2024-04-01"] + adjusting)
        for a, p in zip(adjusted, plain):
            for key in ("imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"):
                if abs(seconds(a[key], p[key]) - 60 * moves.get(key, 0)) > 1:
                    fail("%s %s: %s against %s" % (" ".join(adjusting), key, a[key], p[key]))
    # Rounding to whole minutes, each way.
    exact, _ = times_of(["--city", "Jakarta", "--date", "2024-07-01"])
    for mode, low, high in (("up", 0, 60), ("down", -60, 0), ("nearest", -30, 30)):
        rounded, _ = times_of(["--city", "Jakarta", "--date", "2024-07-01", "--rounding", mode])
        for r, e in zip(rounded, exact):
            for key, value in r.items():
                if value.second != 0 or not low <= seconds(value, e[key]) <= high:
                    fail("rounding %s %s: %s from %s" % (mode, key, value, e[key]))
    # Both Asr times are the two schools' Asr.
    both, _ = times_of(["--city", "Karachi", "--date", "2024-01-01", "--asr", "both"])
    shafii, _ = times_of(["--city", "Karachi", "--date", "2024-01-01", "--asr", "standard"])
    hanafi, _ = times_of(["--city", "Karachi", "--date", "2024-01-01", "--fiqh", "2"])
    for b, s1, h in zip(both, shafii, hanafi):
        if b["asr"] != s1["asr"] or b["asrHanafi"] != h["asr"] or not b["asrHanafi"] > b["asr"]:
            fail("--asr both: %s %s against %s %s" % (b["asr"], b["asrHanafi"], s1["asr"], h["asr"]))
    # An angle means the same depth below the horizon given either sign.
    positive = run(["times", "--format", "json", "--fajr", "21", "--isha", "19", "--imsak", "22",
                    "--maghrib-angle", "4", "--date", "2024-05-01"])
    negative = run(["times", "--format", "json", "--fajr", "-21", "--isha", "-19", "--imsak", "-22",
                    "--maghrib-angle", "-4", "--date", "2024-05-01"])
    if positive != negative:
        fail("angles given negative differ from the same angles given positive")
    # Maghrib by an angle lies after sunset; Isha'a and Imsak by minutes.
    days, _ = times_of(["--city", "Tehran", "--method", "Tehran", "--date", "2024-01-01"])
    for d in days:
        if not 15 * 60 < seconds(d["maghrib"], d["sunset"]) < 25 * 60:
            fail("Tehran Maghrib %s not 15-25 min after sunset %s" % (d["maghrib"], d["sunset"]))
    days, _ = times_of(["--date", "2024-05-01", "--isha-minutes", "45", "--imsak-minutes", "10"])
    for d in days:
        if abs(seconds(d["isha"], d["maghrib"]) - 2700) > 1 or abs(seconds(d["fajr"], d["imsak"]) - 600) > 1:
            fail("minutes: Isha'a %s Maghrib %s Fajr %s Imsak %s" % (d["isha"], d["maghrib"], d["fajr"], d["imsak"]))


check_definitions()

if FAILURES:
    print("%d failures" % len(FAILURES))
    sys.exit(1)
print("formats agree with the report in %d cases, and with the definitions" % len(CASES))

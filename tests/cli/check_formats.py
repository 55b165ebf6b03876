#!/usr/bin/env python3
"""Checks the machine-readable forms of `vorlin times` against the text report.

Run as: check_formats.py PATH_TO_VORLIN.  For several places, methods and
spans it asks for the same schedule as text, JSON, CSV and iCalendar and
checks that the JSON parses and gives every time of the report within one
second (the report rounds Imsak and Shuruq down and the others up, JSON to
the nearest second), the same days and Hijri days, null with the reason for
each marker; that the CSV holds the same values; and that the iCalendar
file is valid RFC 5545: CRLF line ends, lines of at most 75 octets, folded
without splitting a UTF-8 character, the required properties, one event per
existing time at the matching UTC instant.
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


def check_json_against_text(args, fiqh):
    report = run(["times"] + args).decode("latin-1")
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
        for key in KEYS:
            if (row[key] or None) != day["times"][key]:
                fail("csv %s %s %s: %r vs %r" % (" ".join(args), day["date"], key, row[key],
                                                 day["times"][key]))
            if key in day["missing"] and "%s %s" % (key, day["missing"][key]) not in row["notes"]:
                fail("csv %s %s: notes %r lack %s" % (" ".join(args), day["date"], row["notes"], key))


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
        for key in KEYS:
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
    (["--city", "Tehran", "--method", "Tehran", "--date", "2024-03-20"], 0),
    (["--city", "Karachi", "--method", "Karachi", "--day", "--date", "2024-01-15"], 2),
    (["--city", "Cairo", "--method", "Egypt", "--hijri-months", "--date", "2024-03-20"], 1),
    (["--city", "Kathmandu", "--day", "--date", "2024-05-01"], 1),    # zone +05:45
    (["--city", "New York", "--year", "--date", "2024-01-01"], 1),   # both summer-time changes
    (["--city", "Jakarta", "--year", "--hijri-months", "--date", "2024-03-11"], 1),  # 1445 AH
    (["--city", "Reykjavik", "--method", "UmmAlQura", "--high-latitude-rule", "2", "--date", "2024-06-01"], 1),
]

for arguments, fiqh in CASES:
    doc = check_json_against_text(arguments, fiqh)
    check_csv(arguments, doc)
    check_ics(arguments, doc)

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
    events = check_ics(request, check_json_against_text(request, 1))
    if events[0]["LOCATION"] != long_name.replace(",", "\\,").replace(";", "\\;") + "\\, 21.4225 N 39.8262 E":
        fail("LOCATION %r does not unfold to the escaped name" % events[0]["LOCATION"])
    if json.loads(run(["times", "--format", "json"] + request))["place"]["name"] != long_name:
        fail("JSON place name is not the UTF-8 name")

if FAILURES:
    print("%d failures" % len(FAILURES))
    sys.exit(1)
print("formats agree with the text report in %d cases" % len(CASES))

#!/usr/bin/env python3
"""Checks that `vorlin times` shows every event on the clock the tz database
gives for its instant, with Python's zoneinfo as the independent reader of
the database, on the days the clocks of the world change or differ:
Europe/London on both change days of 2024, Africa/Cairo (summer time ending
on the last Thursday of October), Asia/Tehran (no summer time since 2022),
Africa/Casablanca in Ramadan 2024 and after it, America/Santiago (summer
time from the first Sunday on or after 2 September), Australia/Lord_Howe
(half an hour of summer time), America/St_Johns, Asia/Kathmandu, and
Pacific/Apia across the date it skipped (2011-12-30).  For each: the JSON
offsets against zoneinfo, the text table's clock against the JSON, and the
library's report (--format report, the record's zone fed from the tz
database) against the JSON within its one-second rounding.

Run as: check_zones.py PATH_TO_VORLIN
"""
import datetime
import json
import subprocess
import sys
import zoneinfo

VORLIN = sys.argv[1]
FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def run(args):
    result = subprocess.run([VORLIN] + args, capture_output=True)
    if result.returncode != 0:
        raise SystemExit("vorlin %s: exit %d: %s" % (" ".join(args), result.returncode,
                                                      result.stderr.decode("latin-1")))
    return result.stdout


# (zone, latitude, longitude, first date, days)
CASES = [
    ("Europe/London", 51.5085, -0.1257, "2024-03-30", 3),
    ("Europe/London", 51.5085, -0.1257, "2024-10-26", 3),
    ("Africa/Cairo", 30.0626, 31.2497, "2024-10-27", 6),
    ("Asia/Tehran", 35.6944, 51.4215, "2023-07-01", 3),
    ("Africa/Casablanca", 33.5883, -7.6114, "2024-03-20", 1),
    ("Africa/Casablanca", 33.5883, -7.6114, "2024-04-13", 3),
    ("America/Santiago", -33.4569, -70.6483, "2024-09-03", 6),
    ("Australia/Lord_Howe", -31.5553, 159.0821, "2024-04-06", 2),
    ("Australia/Lord_Howe", -31.5553, 159.0821, "2024-10-05", 2),
    ("America/St_Johns", 47.5649, -52.7093, "2024-03-09", 3),
    ("Asia/Kathmandu", 27.7017, 85.3206, "2024-05-01", 1),
    ("Pacific/Apia", -13.8333, -171.7667, "2011-12-28", 4),
]

REPORT_KEYS = ["imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"]


def base_args(zone, lat, lon):
    return ["--lat", str(lat), "--lon", str(lon), "--tz", zone, "--high-latitude-rule", "none"]


def check_case(zone, lat, lon, first, count):
    tz = zoneinfo.ZoneInfo(zone)
    start = datetime.date.fromisoformat(first)
    dates = [start + datetime.timedelta(days=i) for i in range(count)]
    shown = []
    for date in dates:
        args = base_args(zone, lat, lon) + ["--day", "--date", date.isoformat()]
        doc = json.loads(run(["times", "--format", "json"] + args))
        days = doc["days"]
        # A date the clock skips has no day at all.
        noon = datetime.datetime.combine(date, datetime.time(12))
        exists = datetime.datetime.fromtimestamp(noon.replace(tzinfo=tz).timestamp(), tz).date() == date
        if not exists:
            if days:
                fail("%s %s: the clock skips the date, yet it has times" % (zone, date))
            continue
        if len(days) != 1:
            fail("%s %s: %d days" % (zone, date, len(days)))
            continue
        day = days[0]
        shown.append(day)
        noon_offset = noon.replace(tzinfo=tz).utcoffset()
        if day["utcOffset"] != "%+03d:%02d" % divmod(noon_offset.total_seconds() // 60, 60) and \
                day["utcOffset"] != format_offset(noon_offset):
            fail("%s %s: day offset %s, zoneinfo %s at noon" % (zone, date, day["utcOffset"], noon_offset))
        for key, value in day["times"].items():
            if value is None:
                continue
            moment = datetime.datetime.fromisoformat(value)
            truth = moment.astimezone(tz)
            if moment.utcoffset() != truth.utcoffset() or moment.replace(tzinfo=None) != truth.replace(tzinfo=None):
                fail("%s %s %s: %s, zoneinfo %s" % (zone, date, key, value, truth.isoformat()))
            differs = format_offset(moment.utcoffset()) != day["utcOffset"]
            if differs != (key in day.get("utcOffsets", {})):
                fail("%s %s %s: utcOffsets does not say the offset differs" % (zone, date, key))
        check_text(args, day)
        check_report(args, day, zone, date)
    # A range across the dates gives the same days (a skipped date left out).
    doc = json.loads(run(["times", "--format", "json"] + base_args(zone, lat, lon) +
                         ["--date", first, "--month"]))
    by_date = {d["date"]: d for d in doc["days"]}
    for day in shown:
        if day["date"] in by_date and by_date[day["date"]]["times"] != day["times"]:
            fail("%s %s: the month's times differ from the day's" % (zone, day["date"]))


def format_offset(delta):
    minutes = int(delta.total_seconds() // 60)
    sign = "-" if minutes < 0 else "+"
    return "%s%02d:%02d" % (sign, abs(minutes) // 60, abs(minutes) % 60)


def check_text(args, day):
    """The text table's cells are the JSON's clock times."""
    text = run(["times"] + args).decode("utf-8")
    lines = text.split("\n")
    header = next(i for i, l in enumerate(lines) if l.startswith("Date       Day Hijri"))
    row = lines[header + 1]
    for i, (key, value) in enumerate(day["times"].items()):
        cell = row[26 + 10 * i:36 + 10 * i].strip()
        expected = "-" if value is None else datetime.datetime.fromisoformat(value).strftime("%H:%M:%S")
        if cell.rstrip("><*~") != expected:
            fail("text %s %s: %r, JSON %r" % (" ".join(args), key, cell, value))


def check_report(args, day, zone, date):
    """The library's report on the record fed from the zone: the same clock."""
    height = json.loads(run(["times", "--format", "json"] + args))["place"]["height"]
    report = run(["times", "--format", "report", "--horizon-height", str(max(height, 0))] + args)
    cells = report.decode("latin-1").rstrip("\n").split("\n")[-1]
    for i, key in enumerate(REPORT_KEYS):
        cell = cells[9 * i:9 * i + 9]
        value = day["times"][key]
        if cell[:8] in ("AlwAbove", "AlwBelow", "NotValid") or value is None:
            if not (cell[:8] in ("AlwAbove", "AlwBelow", "NotValid") and value is None):
                fail("report %s %s %s: %r against JSON %r" % (zone, date, key, cell, value))
            continue
        h, m, s = (int(x) for x in cell[:8].split(":"))
        shift = {" ": 0, ">": 1, "<": -1}[cell[8]]
        moment = datetime.datetime.fromisoformat(value)
        json_seconds = ((moment.date() - date).days * 86400 + moment.hour * 3600 + moment.minute * 60
                        + moment.second)
        if abs(shift * 86400 + h * 3600 + m * 60 + s - json_seconds) > 1:
            fail("report %s %s %s: %s against JSON %s" % (zone, date, key, cell, value))


for case in CASES:
    check_case(*case)

# The day of "today" is the place's: with no --date, the JSON day is today in the zone.
for zone in ("Pacific/Kiritimati", "Pacific/Pago_Pago"):
    doc = json.loads(run(["times", "--format", "json", "--day", "--lat", "0", "--lon", "0", "--tz", zone]))
    today = datetime.datetime.now(zoneinfo.ZoneInfo(zone)).date().isoformat()
    if doc["days"][0]["date"] != today:
        fail("today in %s is %s, not %s" % (zone, today, doc["days"][0]["date"]))

if FAILURES:
    print("%d failures" % len(FAILURES))
    sys.exit(1)
print("every event on the tz database's clock in %d cases" % len(CASES))

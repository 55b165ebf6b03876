#!/usr/bin/env python3
"""The Hijri calendars of the CLI (--calendar, --criterion, --level,
--region) from its outputs: the umm-al-qura occasions of 1445 AH as
published; conversions both ways in every mode, each the inverse of the
other; a Hijri-month timetable in each mode running day 1 to 29 or 30 and
agreeing with `vorlin hijri` day by day; the moon's month start by the
conjunction rule against the same document's new moon; and the malformed
values, each with exit status 2 and a message naming the flag.

Run as: check_calendars.py PATH_TO_VORLIN
"""
import datetime
import json

from cli_check import fail, finish, js, run


MODES = {
    "observational-yallop": ["--calendar", "observational", "--criterion", "yallop"],
    "observational-arcv-width-optical": ["--calendar", "observational", "--criterion", "arcv-width",
                                         "--level", "optical-aid"],
    "observational-default+danjon": ["--criterion", "default+danjon"],
    "regional-americas": ["--calendar", "regional", "--region", "americas", "--criterion", "yallop"],
    "regional-places": ["--calendar", "regional", "--region", "Makkah;Cairo;-33.92,18.42"],
    "conjunction": ["--calendar", "conjunction-before-noon-utc"],
    "umm-al-qura": ["--calendar", "umm-al-qura"],
    "tabular": ["--calendar", "tabular"],
}
LONDON = ["--city", "London, GB"]

# The occasions of 1445 AH as published for Saudi Arabia.
doc = js(["events", "--year", "1445", "--calendar", "umm-al-qura", "--city", "Riyadh", "--format", "json"])
published = {"new-year": "2023-07-19", "ramadan": "2024-03-11", "eid-al-fitr": "2024-04-10",
             "arafah": "2024-06-15", "eid-al-adha": "2024-06-16", "ashura": "2023-07-28"}
for occasion in doc["occasions"]:
    if occasion["civil"] != published[occasion["name"]]:
        fail("umm-al-qura %s 1445: %s, published %s" % (occasion["name"], occasion["civil"],
                                                        published[occasion["name"]]))
if doc["calendar"] != "umm-al-qura":
    fail("events names its calendar %r" % doc["calendar"])

# Every mode: a Hijri month's timetable runs from day 1 to its last day,
# each day's label is what `vorlin hijri` says, and converting the label
# back gives the day; the day after the month's last is refused as day 30
# exactly when the month has 29 days.
for name, flags in MODES.items():
    table = js(["times", "--hijri-months", "--month", "--date", "2024-03-20", "--format", "json"]
               + LONDON + flags)
    days = table["days"]
    labels = [d["hijri"] for d in days]
    if not 29 <= len(days) <= 30:
        fail("%s: a Hijri month of %d days" % (name, len(days)))
        continue
    if [h["day"] for h in labels] != list(range(1, len(days) + 1)) or len({h["month"] for h in labels}) != 1:
        fail("%s: the month's days are not 1..%d of one month: %s" % (name, len(days), labels))
    for day in (days[0], days[len(days) // 2], days[-1]):
        conv = js(["hijri", day["date"], "--format", "json"] + LONDON + flags)
        if conv["hijri"]["day"] != day["hijri"]["day"] or conv["hijri"]["month"] != day["hijri"]["month"]:
            fail("%s: %s is %s by hijri, %s in the timetable" % (name, day["date"], conv["hijri"], day["hijri"]))
        back = js(["hijri", "--to-civil", day["hijri"]["date"], "--format", "json"] + LONDON + flags)
        if back["civil"] != day["date"]:
            fail("%s: %s back to %s, not %s" % (name, day["hijri"]["date"], back["civil"], day["date"]))
    last = labels[-1]
    thirty = "%d-%02d-30" % (last["year"], last["month"])
    answer = run(["hijri", "--to-civil", thirty, "--format", "json"] + LONDON + flags,
                 status=1 if len(days) == 29 else 0)
    if len(days) == 29 and json.loads(answer.stdout)["civil"] is not None:
        fail("%s: day 30 of a 29-day month has a civil date" % name)

# The moon's month start by the conjunction rule, from the same document's
# geocentric new moon: the day after in UTC when before noon UTC, else two.
doc = js(["moon", "--year", "--date", "2025-01-01", "--format", "json", "--calendar",
          "conjunction-before-noon-utc", "--city", "Chicago"])
starts = 0
for moon in doc["newMoons"]:
    utc = datetime.datetime.fromisoformat(moon["geocentric"]).astimezone(datetime.timezone.utc)
    expected = utc.date() + datetime.timedelta(days=1 if utc.hour < 12 else 2)
    if moon["calendarMonthStart"] != expected.isoformat():
        fail("conjunction %s: month start %s, expected %s" % (moon["geocentric"], moon["calendarMonthStart"],
                                                             expected))
    starts += 1
if starts < 12:
    fail("a year of the moon lists %d new moons" % starts)

# The regional calendar over the world begins no month later than at the
# place (the place is in the world), by the same criterion.
for hijri_month in ("1446-01", "1446-05", "1446-09"):
    first = hijri_month + "-01"
    world = js(["hijri", "--to-civil", first, "--format", "json", "--calendar", "regional", "--criterion",
                "yallop"] + LONDON)["civil"]
    here = js(["hijri", "--to-civil", first, "--format", "json", "--criterion", "yallop"] + LONDON)["civil"]
    if not world or not here or world > here:
        fail("%s begins %s over the world, %s at London" % (first, world, here))

# The report keeps the library's calendar and says so.
result = run(["times", "--format", "report", "--calendar", "tabular"] + LONDON, status=2)
if b"--calendar" not in result.stderr:
    fail("times --format report with --calendar: %r" % result.stderr)
text = run(["moon", "--calendar", "umm-al-qura"] + LONDON).stdout.decode("latin-1")
if "Month starts by the umm-al-qura calendar" not in text:
    fail("the moon report does not add the calendar's month starts")

# Malformed values.
for args, flag in ((["--calendar", "lunar"], "--calendar"), (["--criterion", "yallopp"], "--criterion"),
                   (["--criterion", "yallop+odeh"], "--criterion"), (["--level", "binoculars"], "--level"),
                   (["--region", "Nowhere-at-all-xyz"], "--region"), (["--region", "91,0"], "--region"),
                   (["--region", ";;"], "--region")):
    result = run(["hijri", "2024-03-11"] + LONDON + args, status=2)
    if flag.encode() not in result.stderr:
        fail("%s: the message does not name %s: %r" % (" ".join(args), flag, result.stderr))

finish("calendars: all checks passed")

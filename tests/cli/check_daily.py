#!/usr/bin/env python3
"""The CLI as a daily tool, checked from its outputs: `next` before Fajr,
between prayers and after Isha'a against the same days' JSON timetable;
ranges across a year end and a summer-time change and a Hijri month against
day-by-day requests and the Hijri conversion; the JSON answers of hijri,
moon, qibla, methods and places parsed; the text in UTF-8 and Latin-1 bytes;
and the malformed inputs, each with exit status 2 and a message naming the
flag.

Run as: check_daily.py PATH_TO_VORLIN
"""
import datetime
import json
import os
import re
import subprocess

from cli_check import VORLIN, fail, finish, js, run


def when(text):
    return datetime.datetime.fromisoformat(text)


LONDON = ["--city", "London, GB"]

# next: the prayers of the same days, from the timetable.
table = js(["times", "--format", "json", "--from", "2024-03-10", "--to", "2024-03-12"] + LONDON)
events = []
for day in table["days"]:
    for key in ("fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha"):
        if day["times"][key]:
            events.append((when(day["times"][key]), key))
for at, current, following in (("2024-03-11T03:00", "isha", "fajr"), ("2024-03-11T14:00", "dhuhr", "asr"),
                               ("2024-03-11T23:00", "isha", "fajr")):
    doc = js(["next", "--format", "json", "--at", at] + LONDON)
    now = when(doc["now"])
    past = [e for e in events if e[0] <= now]
    coming = [e for e in events if e[0] > now]
    if doc["current"]["name"] != current or when(doc["current"]["time"]) != past[-1][0]:
        fail("next at %s: current %r, the timetable has %r" % (at, doc["current"], past[-1]))
    if doc["next"]["name"] != following or when(doc["next"]["time"]) != coming[0][0]:
        fail("next at %s: next %r, the timetable has %r" % (at, doc["next"], coming[0]))
    if doc["next"]["inSeconds"] != int((coming[0][0] - now).total_seconds()):
        fail("next at %s: inSeconds %r" % (at, doc["next"]["inSeconds"]))
after_isha = js(["next", "--format", "json", "--at", "2024-03-11T23:00"] + LONDON)
if not after_isha["next"]["time"].startswith("2024-03-12T"):
    fail("after Isha'a the next is the next day's Fajr, not %r" % after_isha["next"])
text = run(["next", "--at", "2024-03-11T14:00Z"] + LONDON).stdout.decode()
if not re.search(r"^Next:    Asr +at +2024-03-11T15:\d\d:\d\d\+00:00, in 1 h \d\d min$", text, re.M):
    fail("next text: %r" % text)

# Ranges: the same times as the days asked one by one; a year end; a change of clock.
for first, last, city in (("2024-12-30", "2025-01-02", LONDON), ("2024-03-29", "2024-04-02", LONDON)):
    rng = js(["times", "--format", "json", "--from", first, "--to", last] + city)
    dates = [d["date"] for d in rng["days"]]
    start = datetime.date.fromisoformat(first)
    expected = [(start + datetime.timedelta(days=i)).isoformat()
                for i in range((datetime.date.fromisoformat(last) - start).days + 1)]
    if dates != expected:
        fail("range %s..%s: days %r" % (first, last, dates))
    for day in rng["days"]:
        single = js(["times", "--format", "json", "--day", "--date", day["date"]] + city)["days"][0]
        if single["times"] != day["times"] or single["hijri"] != day["hijri"]:
            fail("range day %s differs from the day alone" % day["date"])
offsets = [d["utcOffset"] for d in js(["times", "--format", "json", "--from", "2024-03-29", "--to",
                                        "2024-04-02"] + LONDON)["days"]]
if offsets != ["+00:00", "+00:00", "+01:00", "+01:00", "+01:00"]:
    fail("the range's offsets across the change: %r" % offsets)
ramadan = js(["times", "--format", "json", "--hijri-month", "1445-09"])
start = js(["hijri", "--to-civil", "1445-09-01", "--format", "json"])["civil"]
if ramadan["days"][0]["date"] != start or [d["hijri"]["day"] for d in ramadan["days"]] != \
        list(range(1, len(ramadan["days"]) + 1)) or {d["hijri"]["month"] for d in ramadan["days"]} != {9}:
    fail("--hijri-month 1445-09: %r .. %r" % (ramadan["days"][0]["hijri"], ramadan["days"][-1]["hijri"]))
nxt = js(["hijri", "--format", "json", "--date", (datetime.date.fromisoformat(ramadan["days"][-1]["date"])
                                                  + datetime.timedelta(days=1)).isoformat()])
if nxt["hijri"]["month"] != 10 or nxt["hijri"]["day"] != 1:
    fail("the day after the Hijri month is %r" % nxt["hijri"])

# JSON answers.
h = js(["hijri", "2024-03-12", "--format", "json"])
if h["civil"] != "2024-03-12" or h["hijri"] != {"year": 1445, "month": 9, "day": 1, "monthName": "Ramadan"} or \
        h["place"]["zone"] != "Asia/Riyadh":
    fail("hijri json: %r" % h)
back = js(["hijri", "--to-civil", "1445-09-30", "--format", "json"], status=1)
if back["civil"] is not None or "29 days" not in back["reason"]:
    fail("hijri --to-civil json without a civil date: %r" % back)
q = js(["qibla", "2024-01-01", "--format", "json"] + LONDON)
if abs(q["direction"] - 118.99) > 0.1 or abs(q["distanceKm"] - 4794.7) > 1 or q["fieldModel"] != "WMM2020":
    fail("qibla json: %r" % q)
if abs((q["direction"] - q["declination"] - q["compass"]) % 360) > 1e-9:
    fail("qibla json: compass is not direction - declination: %r" % q)
methods = js(["methods", "--format", "json"])
if len(methods) != 21 or methods[0]["name"] != "MWL" or \
        next(m for m in methods if m["name"] == "UmmAlQura")["ishaMinutes"] != 90:
    fail("methods json: %d methods" % len(methods))
places = js(["places", "Birmingham", "--format", "json"])
if places["places"][0]["country"] != "GB" or places["total"] < 3:
    fail("places json: %r" % places["places"][0])
moon = js(["moon", "--format", "json", "--date", "2024-03-01"])
if len(moon["days"]) != 31 or not moon["newMoons"] or not moon["newMoons"][0]["geocentric"].startswith("2024-03-10T"):
    fail("moon json: %d days, %r" % (len(moon["days"]), moon["newMoons"][:1]))
if moon["newMoons"][0]["monthStart"] != h["civil"]:
    fail("moon json: the month starts %r, hijri says Ramadan begins %r" % (moon["newMoons"][0]["monthStart"],
                                                                         h["civil"]))
# Each day's Moon events lie within a day of the date; the transit between rise and set.
for d in moon["days"]:
    date = datetime.date.fromisoformat(d["date"])
    times = {}
    for key in ("moonrise", "transit", "moonset"):
        value = d[key]
        if value is None or value in ("always above", "always below"):
            continue
        times[key] = when(value)
        if abs((times[key].date() - date).days) > 1:
            fail("moon json: %s %r on %s" % (key, value, d["date"]))
    if len(times) == 3 and not times["moonrise"] < times["transit"] < times["moonset"]:
        fail("moon json: rise, transit and set out of order on %s: %r" % (d["date"], d))

# The crescent: every criterion's number recomputed from the evening's data.
def yallop_zone(q):
    for limit, zone in ((0.216, "A"), (-0.014, "B"), (-0.160, "C"), (-0.232, "D"), (-0.293, "E")):
        if q > limit:
            return zone
    return "F"


def odeh_zone(v):
    for limit, zone in ((5.65, "A"), (2.0, "B"), (-0.96, "C")):
        if v >= limit:
            return zone
    return "D"


for city, date in (("Cape Town", "2024-04-09"), ("Cairo", "2024-04-09"), ("Makkah", "2024-03-10"),
                   ("Santiago, Chile", "2024-04-09")):
    c = js(["crescent", date, "--city", city, "--format", "json"])
    best, sunset, crit = c["atBestTime"], c["atSunset"], c["criteria"]
    w = best["widthArcmin"]
    q = (best["arcvGeo"] - (11.8371 - 6.3226 * w + 0.7319 * w ** 2 - 0.1018 * w ** 3)) / 10
    v = best["arcvTopo"] - (-0.1018 * w ** 3 + 0.7319 * w ** 2 - 6.3226 * w + 7.1651)
    if abs(q - crit["yallop"]["value"]) > 0.002 or crit["yallop"]["zone"] != yallop_zone(crit["yallop"]["value"]):
        fail("crescent %s %s: yallop %r, recomputed %.4f" % (city, date, crit["yallop"], q))
    if abs(v - crit["arcv-width"]["value"]) > 0.002 or crit["arcv-width"]["zone"] != odeh_zone(crit["arcv-width"]["value"]):
        fail("crescent %s %s: arcv-width %r, recomputed %.4f" % (city, date, crit["arcv-width"], v))
    if crit["danjon"]["zone"] != ("V" if best["arclTopo"] >= 7 else "N"):
        fail("crescent %s %s: danjon %r" % (city, date, crit["danjon"]))
    test = sunset["moonAltitude"] - sunset["sunAltitude"] + sunset["arclTopo"]
    if abs(test - crit["default"]["value"]) > 0.003 or crit["default"]["zone"] != ("V" if test >= 20 else "N"):
        fail("crescent %s %s: default %r, recomputed %.3f" % (city, date, crit["default"], test))
    lag = (when(c["moonset"]) - when(c["sunset"])).total_seconds() / 60
    if abs(lag - c["lagMinutes"]) > 0.02 or abs((when(c["bestTime"]) - when(c["sunset"])).total_seconds() / 60
                                              - 4 / 9 * c["lagMinutes"]) > 0.02:
        fail("crescent %s %s: lag %r, best time %r" % (city, date, c["lagMinutes"], c["bestTime"]))
    if city == "Makkah" and not (crit["yallop"]["zone"] == "F" and crit["arcv-width"]["zone"] == "D"):
        fail("a 6-hour Moon at Makkah is not visible by any criterion: %r" % crit)

# The year's occasions: each civil date converts back to its Hijri date, and
# the start of Ramadan is the conversion's 1 Ramadan.
events = js(["events", "--year", "1445", "--format", "json"])
names = [o["name"] for o in events["occasions"]]
if names != ["new-year", "ashura", "ramadan", "eid-al-fitr", "arafah", "eid-al-adha"]:
    fail("events 1445: %r" % names)
for o in events["occasions"]:
    back = js(["hijri", o["civil"], "--format", "json"])["hijri"]
    if (back["year"], back["month"], back["day"]) != (o["hijri"]["year"], o["hijri"]["month"], o["hijri"]["day"]):
        fail("events: %s on %s is %r there" % (o["name"], o["civil"], back))
    if (datetime.date.fromisoformat(o["civil"]) - datetime.date.fromisoformat(o["eve"])).days != 1:
        fail("events: the eve of %s" % o["name"])
if events["occasions"][2]["civil"] != js(["hijri", "--to-civil", "1445-09-01", "--format", "json"])["civil"]:
    fail("events: the start of Ramadan 1445 differs from the conversion")
civil = js(["events", "--year", "2025", "--format", "json", "--city", "Jakarta"])["occasions"]
dates = [o["civil"] for o in civil]
if not civil or dates != sorted(dates) or any(not d.startswith("2025-") for d in dates) or \
        {o["name"] for o in civil} != set(names):
    fail("events in the civil year 2025: %r" % [(o["name"], o["civil"]) for o in civil])
upcoming = js(["events", "--next", "Ramadan", "--date", "2024-06-01", "--format", "json"])["occasions"]
if len(upcoming) != 1 or upcoming[0]["hijri"]["year"] != 1446 or upcoming[0]["civil"] < "2024-06-01":
    fail("events --next ramadan: %r" % upcoming)
result = run(["events", "--next", "christmas"], status=2)
if b"--next: expects one of new-year,ashura,ramadan" not in result.stderr:
    fail("events --next christmas: %r" % result.stderr)

# The terminal's encoding: the same report as UTF-8 or as the library's Latin-1 bytes.
args = ["times", "--format", "report", "--day", "--date", "2024-03-11", "--name", "Troms\u00f8"]
latin1 = run(args + ["--encoding", "latin1"]).stdout
utf8 = run(args + ["--encoding", "utf8"]).stdout
if b"\xb0" not in latin1 or b"Troms\xf8" not in latin1:
    fail("Latin-1 report lacks the byte 0xB0 or the name in Latin-1")
if utf8 != latin1.decode("latin-1").encode("utf-8"):
    fail("the UTF-8 report is not the Latin-1 report transcoded")
utf8.decode("utf-8")  # raises on a stray byte
if run(args, status=0).stdout != latin1:
    fail("in the C locale the report is not Latin-1")
env_utf8 = dict(os.environ, LC_ALL="C.UTF-8")
if subprocess.run([VORLIN] + args, capture_output=True, env=env_utf8).stdout != utf8:
    fail("in a UTF-8 locale the report is not UTF-8")

# Malformed input: exit 2 and a message naming the flag.
for bad, message in (
        (["--lat", "0x10"], r"^vorlin: --lat: expects a decimal number, not '0x10'\n$"),
        (["--lat", "1e1"], r"^vorlin: --lat: expects a decimal number, not '1e1'\n$"),
        (["--lat", "nan"], r"^vorlin: --lat: expects a decimal number, not 'nan'\n$"),
        (["--tz", "-13"], r"^vorlin: --tz: must be a zone of the tz database or hours within -12..14, not '-13'\n$"),
        (["--height", "100000"], r"^vorlin: --height: must lie within -1000..20000, not '100000'\n$"),
        (["--summer-start", "9999", "--tz", "1"], r"^vorlin: --summer-start: must lie within 0..3138, not '9999'\n$"),
        (["--summer-start", "3000", "--tz", "1"], r"^vorlin: --summer-start: must be 0 or month << 8 \| day code"),
        (["--crescent", "91"], r"^vorlin: --crescent: must lie within 0..90, not '91'\n$"),
        (["--tolerance-seconds", "0"], r"^vorlin: --tolerance-seconds: must lie within 1..3600, not '0'\n$"),
        (["--date=2024-02-30"], r"^vorlin: --date: 2024-02-30 is not a valid civil date\n$"),
        (["--date", "2024-13"], r"^vorlin: --date: malformed date '2024-13' \(expected Y-M-D\)\n$"),
        (["--lat"], r"^vorlin: --lat: needs a value\n$"),
        (["--format"], r"^vorlin: --format: needs a value\n$"),
        (["--day=1"], r"^vorlin: --day: takes no value\n$"),
        (["--colour", "red"], r"^vorlin: --colour: unknown flag \(see vorlin COMMAND --help\)\n$"),
        (["--midnight", "noon"], r"^vorlin: --midnight: expects one of standard,jafari, not 'noon'\n$"),
        (["--from", "2024-01-01"], r"^vorlin: --from: goes with --to"),
        (["--from", "2024-01-01", "--to", "2035-01-01"], r"^vorlin: --to: at most 3660 days"),
        (["--from", "2024-01-02", "--to", "2024-01-01"], r"^vorlin: --to: comes before --from\n$"),
        (["--hijri-month", "1445-13"], r"^vorlin: --hijri-month: expects Y-M"),
        (["--hijri-month", "1445-09", "--day"], r"^vorlin: --hijri-month: gives the days itself"),
        (["--from", "2024-01-01", "--to", "2024-01-02", "--format", "report"], r"^vorlin: --from: goes with --format")):
    result = run(["times"] + bad, status=2)
    if not re.search(message, result.stderr.decode("latin-1")) or result.stdout:
        fail("times %s: %r" % (" ".join(bad), result.stderr))
for good in (["--date=2024-03-11", "--format=JSON", "--day"], ["-h"], ["--lat=21.4", "--lon=39.8", "--tz=3", "--day"]):
    run(["times"] + good)
if not run(["--version"]).stdout.startswith(b"vorlin "):
    fail("--version")
for command in ("times", "next", "moon", "hijri", "qibla", "methods", "places", "check", "jd", "config"):
    if b"usage: vorlin" not in run([command, "-h"]).stdout:
        fail("%s -h prints no usage" % command)

finish("next, ranges, JSON answers, encodings and malformed input as documented")

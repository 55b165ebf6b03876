#!/usr/bin/env python3
"""Reads the calendar files of `vorlin times --format ics` with an iCalendar
parser (the icalendar package) and checks their options against the JSON
of the same request.

Run as: check_ics.py PATH_TO_VORLIN.  For a month at several places, with
--events, --remind and --duration, it checks that the file parses without
errors; that its events are exactly the chosen events of the JSON, in the
order of the days, each once, starting at the JSON's local time converted to UTC
and titled after its event; that every event has one display alarm
triggered the given minutes before it with --remind and none without;
that DTEND lies the given minutes after DTSTART with --duration and is
absent without it (or with 0); that the UIDs are unique; that a long
non-ASCII place name with characters iCalendar escapes comes back
unchanged in LOCATION, SUMMARY and the calendar's name; that the physical
lines are folded at 75 octets between UTF-8 characters.  Then the usage
errors of the flags: exit status 2 and the message naming the flag.
"""
import datetime
import json
import os
import re
import subprocess
import sys

try:
    from icalendar import Calendar
except ImportError:
    print("icalendar not found: test skipped")
    sys.exit(0)

VORLIN = sys.argv[1]
ENV = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
STAMP = datetime.datetime(2023, 11, 14, 22, 13, 20, tzinfo=datetime.timezone.utc)
UTC = datetime.timedelta(0)
FAILURES = []

# The event titles of the calendar, by JSON key.
TITLES = {"imsak": "Imsak", "fajr": "Fajr", "sunrise": "Sunrise", "dhuhr": "Dhuhr",
          "asr": "Asr", "asrHanafi": "Asr (Hanafi)", "sunset": "Sunset",
          "maghrib": "Maghrib", "isha": "Isha", "midnight": "Midnight",
          "lastThird": "Last third of the night"}

# 46 bytes of UTF-8 (the place name holds 47): two- and three-byte
# characters, right-to-left text, and a semicolon and a comma, which
# iCalendar text escapes.
LONG_NAME = "Şanlıurfa; Ḥarrān, Ulu Camii — مسجد"


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def run(args):
    return subprocess.run([VORLIN] + args, capture_output=True, env=ENV)


def output(args):
    result = run(args)
    if result.returncode != 0:
        raise SystemExit("vorlin %s: exit %d: %s" % (" ".join(args), result.returncode,
                                                      result.stderr.decode("utf-8", "replace")))
    return result.stdout


def check_lines(raw, label):
    """What the parser forgives: CRLF line ends, at most 75 octets a line,
    no UTF-8 character split by a fold, BEGIN and END properly nested, and
    the semicolons and commas of text values escaped."""
    if not raw.endswith(b"\r\n"):
        fail("%s: does not end with CRLF" % label)
    lines = []
    for line in raw[:-2].split(b"\r\n"):
        if b"\n" in line or b"\r" in line:
            fail("%s: bare LF or CR in %r" % (label, line))
        if len(line) > 75:
            fail("%s: line of %d octets: %r" % (label, len(line), line))
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            fail("%s: a fold splits a UTF-8 character: %r" % (label, line))
        if line.startswith(b" ") and lines:
            lines[-1] += line[1:]
        else:
            lines.append(line)
    open_components = []
    for line in (l.decode("utf-8", "replace") for l in lines):
        name, _, value = line.partition(":")
        if name == "BEGIN":
            open_components.append(value)
        elif name == "END" and (not open_components or open_components.pop() != value):
            fail("%s: %s does not close the component open" % (label, line))
        elif name in ("SUMMARY", "LOCATION", "DESCRIPTION", "X-WR-CALNAME") and \
                re.search(r"(?<!\\)[;,]", value.replace("\\\\", "")):
            fail("%s: unescaped text in %r" % (label, line))
    if open_components:
        fail("%s: %s not closed" % (label, open_components))


def expected_events(document, keys):
    """(key, UTC instant) of every chosen event of the JSON, in order, each
    once: a schedule of Hijri months may list a civil date twice (the last
    day of one month and the first of the next), and a calendar holds a
    time once."""
    expected, seen = [], set()
    for day in document["days"]:
        for key, value in day["times"].items():
            if (keys is None or key in keys) and value is not None:
                local = datetime.datetime.fromisoformat(value)
                if local.utcoffset() is None:
                    fail("JSON time %r without its offset" % value)
                    continue
                event = (key, local.astimezone(datetime.timezone.utc))
                if event not in seen:
                    seen.add(event)
                    expected.append(event)
    return expected


def check_case(base, keys, typed, remind, duration, name=None, overridden=()):
    """base: the request; keys: the JSON keys chosen (None: all), typed: the
    --events value as given; remind, duration: minutes or None; overridden:
    calendar flags given before the others (which then count)."""
    if name is not None:
        base = base + ["--name", name]
    flags = list(overridden)
    if typed is not None:
        flags += ["--events", typed]
    if remind is not None:
        flags += ["--remind", str(remind)]
    if duration is not None:
        flags += ["--duration", str(duration)]
    label = "ics " + " ".join(base + flags)
    document = json.loads(output(["times", "--format", "json"] + base))
    if keys is not None and not keys <= set(document["days"][0]["times"]):
        raise SystemExit("%s: keys %s not in the JSON" % (label, sorted(keys)))
    raw = output(["times", "--format", "ics"] + base + flags)
    check_lines(raw, label)
    try:
        calendar = Calendar.from_ical(raw)
    except ValueError as error:
        fail("%s: does not parse: %s" % (label, error))
        return
    for component in calendar.walk():
        if component.errors:
            fail("%s: %s: %s" % (label, component.name, component.errors))
    if calendar.name != "VCALENDAR":
        fail("%s: %s, not a VCALENDAR" % (label, calendar.name))
    others = [c.name for c in calendar.subcomponents if c.name != "VEVENT"]
    if others:
        fail("%s: components %s outside the events" % (label, others))
    events = [c for c in calendar.subcomponents if c.name == "VEVENT"]
    expected = expected_events(document, keys)
    if not expected:
        raise SystemExit("%s: no times to compare" % label)

    starts = [e.decoded("DTSTART") if "DTSTART" in e else None for e in events]
    if len(events) != len(expected) or starts != [instant for _, instant in expected]:
        fail("%s: %d events, not the %d chosen JSON times in UTC" % (label, len(events), len(expected)))
        return
    uids = [str(e.get("UID")) for e in events]
    if len(set(uids)) != len(uids):
        fail("%s: UIDs not unique" % label)
    place = document["place"]["name"]
    if name is not None and place != name:
        fail("%s: JSON place %r, not %r" % (label, place, name))
    if place not in str(calendar.get("X-WR-CALNAME", "")):
        fail("%s: calendar name %r without %r" % (label, calendar.get("X-WR-CALNAME"), place))

    for event, (key, instant) in zip(events, expected):
        what = "%s: %s at %s" % (label, key, instant.isoformat())
        if event.decoded("DTSTART").utcoffset() != UTC:
            fail("%s: DTSTART not in UTC" % what)
        if event.decoded("DTSTAMP") != STAMP:
            fail("%s: DTSTAMP %s is not SOURCE_DATE_EPOCH" % (what, event.decoded("DTSTAMP")))
        summary = str(event.get("SUMMARY", ""))
        if summary != "%s (%s)" % (TITLES[key], place):
            fail("%s: SUMMARY %r" % (what, summary))
        location = str(event.get("LOCATION", ""))
        if not location.startswith(place + ", "):
            fail("%s: LOCATION %r does not begin with %r" % (what, location, place))

        if "DURATION" in event:
            fail("%s: DURATION given" % what)
        if duration:
            end = event.decoded("DTEND") if "DTEND" in event else None
            if end is None or end - instant != datetime.timedelta(minutes=duration):
                fail("%s: DTEND %s, not %d minutes after the start" % (what, end, duration))
        elif "DTEND" in event:
            fail("%s: DTEND %s without a --duration" % (what, event.decoded("DTEND")))

        alarms = [c for c in event.subcomponents if c.name == "VALARM"]
        others = [c.name for c in event.subcomponents if c.name != "VALARM"]
        if others:
            fail("%s: components %s in the event" % (what, others))
        if remind is None:
            if alarms:
                fail("%s: an alarm without --remind" % what)
            continue
        if len(alarms) != 1:
            fail("%s: %d alarms, not one" % (what, len(alarms)))
            continue
        alarm = alarms[0]
        trigger = alarm.decoded("TRIGGER") if "TRIGGER" in alarm else None
        if trigger != -datetime.timedelta(minutes=remind):
            fail("%s: alarm triggered at %r, not %d minutes before" % (what, trigger, remind))
        if alarm["TRIGGER"].params.get("RELATED", "START") != "START":
            fail("%s: alarm not related to the start" % what)
        if str(alarm.get("ACTION", "")) != "DISPLAY":
            fail("%s: alarm ACTION %r" % (what, alarm.get("ACTION")))
        if not str(alarm.get("DESCRIPTION", "")).startswith(TITLES[key]):
            fail("%s: alarm DESCRIPTION %r" % (what, alarm.get("DESCRIPTION")))


CASES = [
    # (request, chosen JSON keys or None, --events as typed, --remind, --duration, --name)
    # Makkah, the month Ramadan begins: three events, mixed case.
    (["--date", "2024-03-05"], {"fajr", "maghrib", "lastThird"}, "FAJR,Maghrib,lastthird",
     15, 20, None),
    # London in June without a high-latitude rule: times that do not exist
    # are left out; an alarm at the time; events a day long.
    (["--city", "London", "--high-latitude-rule", "none", "--date", "2024-06-10"],
     {"isha", "fajr", "sunrise"}, "isha,fajr,sunrise", 0, 1440, None),
    # London over the change to summer time, every event, no options.
    (["--city", "London", "--date", "2024-03-20"], None, None, None, None, None),
    # Both Asr times in the order of the day whatever the order given; a
    # long non-ASCII name; the longest alarm; --duration 0 writes no end.
    (["--city", "Karachi", "--asr", "both", "--date", "2024-01-15"], {"asr", "asrHanafi"},
     "asrHanafi,asr", 1440, 0, LONG_NAME),
    # A twelve-month year of Hijri months, every event, with the long name.
    (["--year", "--hijri-months", "--city", "Tromso", "--date", "2024-03-11"], None, None,
     5, 30, LONG_NAME),
    # One day, a flag given twice (the last counts), an event named twice.
    (["--day", "--date", "2024-03-11"], {"dhuhr", "isha"}, "isha,DHUHR,isha", 2, 45, LONG_NAME),
]

ALL_KEYS = "imsak, fajr, sunrise, dhuhr, asr, sunset, maghrib, isha, midnight, lastThird"
USAGE_ERRORS = [
    (["--format", "ics", "--events", "fajr,duhr"],
     "--events: no event 'duhr' (%s)" % ALL_KEYS),
    (["--format", "ics", "--remind", "-1"], "--remind: must lie within 0..1440 minutes"),
    (["--format", "ics", "--duration", "2000"], "--duration: must lie within 0..1440 minutes"),
    (["--events", "fajr", "--format", "json"], "--events: goes with --format ics"),
    (["--remind", "10"], "--remind: goes with --format ics"),
    (["--format", "csv", "--duration", "10"], "--duration: goes with --format ics"),
]


def main():
    for base, keys, typed, remind, duration, name in CASES:
        check_case(base, keys, typed, remind, duration, name)
    # The last --events, --remind and --duration count.
    check_case(["--day", "--date", "2024-03-11"], {"sunset"}, "Sunset", 3, 7,
               overridden=["--events", "fajr", "--remind", "99", "--duration", "1"])
    for args, message in USAGE_ERRORS:
        result = run(["times"] + args)
        label = "vorlin times " + " ".join(args)
        if result.returncode != 2:
            fail("%s: exit %d, not 2" % (label, result.returncode))
        if result.stderr.decode("utf-8", "replace") != "vorlin: %s\n" % message:
            fail("%s: stderr %r, not %r" % (label, result.stderr, message))
        if result.stdout:
            fail("%s: output on a usage error" % label)
    if FAILURES:
        print("%d failures" % len(FAILURES))
        return 1
    print("ok: %d calendars read back" % (len(CASES) + 1))
    return 0


if __name__ == "__main__":
    sys.exit(main())

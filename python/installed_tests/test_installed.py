"""The installed package (pip install ./python) against the CLI built from
the same checkout: every result compared with `vorlin ... --format json`
for the same request.  Run by run_installed.py inside the virtual
environment it installs into (VORLIN_CLI names the CLI, VORLIN_README the
README whose Python examples are run, VORLIN_VENV the environment).
"""

import ctypes
import datetime
import doctest
import json
import os
import re
import subprocess
import unittest

import vorlin

CLI = os.environ.get("VORLIN_CLI", "")
README = os.environ.get("VORLIN_README", "")


def cli(*args):
    """The CLI's JSON answer."""
    done = subprocess.run([CLI, *args, "--format", "json"], check=True, capture_output=True,
                          text=True)
    return json.loads(done.stdout)


def instant(text):
    return None if text is None else datetime.datetime.fromisoformat(text)


def moment(value):
    """A datetime as (Unix seconds, UTC offset): equality of the instant and
    of the clock reading (== between zones is False in a repeated hour)."""
    return None if value is None else (value.timestamp(), value.utcoffset())


class Installed(unittest.TestCase):
    """The package in use is the installed one, with its two libraries."""

    def test_installed_in_the_environment(self):
        venv = os.path.realpath(os.environ["VORLIN_VENV"])
        module = os.path.realpath(vorlin.__file__)
        self.assertTrue(module.startswith(venv + os.sep), module)
        here = os.path.dirname(module)
        self.assertEqual(os.path.realpath(vorlin.library_path()), os.path.join(here, "libvorlin.so"))
        self.assertTrue(os.path.exists(os.path.join(here, "libvorlin_places.so")))
        self.assertTrue(os.path.exists(os.path.join(here, "py.typed")))

    @unittest.skipUnless(README, "VORLIN_README not set")
    def test_place_record_matches_header(self):
        header = os.path.join(os.path.dirname(README), "frontend", "places_c.h")
        with open(header, encoding="utf-8") as file:
            text = file.read()
        body = re.search(r"typedef struct VorPlace \{(.*?)\} VorPlace;\s*/\* (\d+) bytes", text, re.S)
        offsets = dict(re.findall(r"(\w+)(?:\[\d+\])?;\s*/\* offset (\d+)", body.group(1)))
        self.assertEqual(len(offsets), 12)
        record = vorlin._VorPlace
        self.assertEqual(ctypes.sizeof(record), int(body.group(2)))
        for field, offset in offsets.items():
            self.assertEqual(getattr(record, field).offset, int(offset), field)

    def test_credit(self):
        self.assertEqual(vorlin.place_data_credit(),
                         "Place data: GeoNames, geonames.org (CC BY 4.0), selected and reformatted.")
        self.assertEqual(vorlin.place_data_credit(), vorlin.PLACE_DATA_CREDIT)


@unittest.skipUnless(CLI, "VORLIN_CLI not set")
class Places(unittest.TestCase):
    def test_as_the_cli_lists_them(self):
        for query in ("Birmingham", "London", "San Jose, CR", "Tromsø", "مكة"):
            with self.subTest(query=query):
                expected = cli("places", query)["places"]
                found = vorlin.places(query, limit=len(expected))
                self.assertGreater(len(expected), 0)
                self.assertEqual(len(found), len(expected))
                for p, e in zip(found, expected):
                    self.assertEqual((p.name, p.admin1, p.country, p.country_name, p.zone),
                                     (e["name"], e["region"], e["country"], e["countryName"], e["zone"]))
                    self.assertEqual((p.latitude, p.longitude, p.population, p.geonameid),
                                     (e["latitude"], e["longitude"], e["population"], e["geonameid"]))
                    self.assertEqual(p.height, e["elevation"] or 0)
                self.assertEqual(vorlin.place(query), found[0])

    def test_most_populous_first(self):
        found = vorlin.places("Birmingham", 20)
        self.assertEqual(found[0].label, "Birmingham, England, GB")
        self.assertEqual([p.population for p in found],
                         sorted((p.population for p in found), reverse=True))
        self.assertEqual(vorlin.place("Birmingham, Alabama").zone, "America/Chicago")

    def test_no_place(self):
        with self.assertRaises(vorlin.VorlinError) as caught:
            vorlin.place("Lodnon")
        self.assertIn("'Lodnon'", str(caught.exception))
        self.assertIn("London, England, GB", str(caught.exception))
        self.assertEqual(vorlin.places("Qqqqxyzzy"), [])
        with self.assertRaises(vorlin.VorlinError):
            vorlin.places("")


@unittest.skipUnless(CLI, "VORLIN_CLI not set")
class Times(unittest.TestCase):
    """The same instants as the CLI's JSON, to the second, with the same
    offsets and the same reasons for the missing ones."""

    KEYS = {"imsak": "imsak", "fajr": "fajr", "sunrise": "sunrise", "dhuhr": "dhuhr", "asr": "asr",
            "sunset": "sunset", "maghrib": "maghrib", "isha": "isha", "midnight": "midnight",
            "last_third": "lastThird"}

    def compare(self, ours, theirs):
        self.assertEqual(ours.date.isoformat(), theirs["date"])
        for name, key in self.KEYS.items():
            event, expected = getattr(ours, name), instant(theirs["times"][key])
            if expected is None:
                self.assertIsNone(event.time, name)
                self.assertEqual(ours.missing[name], theirs["missing"][key])
            else:
                self.assertEqual(moment(event.time), moment(expected), f"{theirs['date']} {name}")
                self.assertEqual(event.time.microsecond, 0)
        self.assertEqual(ours.filled, {name: theirs["filled"][key] for name, key in self.KEYS.items()
                                       if key in theirs["filled"]})

    def test_five_places(self):
        cases = [("London", "2024-03-31", "MWL"),       # the clocks go forward
                 ("Tromsø", "2024-06-21", "MWL"),       # polar day: no sunset, no Isha'a
                 ("Makkah", "2024-03-11", "UmmAlQura"),  # first day of Ramadan
                 ("Sydney", "2024-04-07", "MWL"),       # the clocks go back
                 ("New York", "2024-11-03", "ISNA")]
        for city, date, method in cases:
            with self.subTest(city=city, date=date):
                theirs = cli("times", "--day", "--date", date, "--city", city, "--method", method)
                ours = vorlin.times(datetime.date.fromisoformat(date), vorlin.place(city), method)
                self.compare(ours, theirs["days"][0])

    def test_polar_day_reasons(self):
        day = vorlin.times(datetime.date(2024, 6, 21), "Tromsø")
        self.assertIsNone(day.isha.time)
        self.assertEqual(day.missing["isha"], "always above")
        self.assertEqual(day.missing["sunset"], "always above")
        self.assertIsNotNone(day.dhuhr.time)

    def test_a_month_over_the_change_of_clock(self):
        theirs = cli("times", "--month", "--date", "2024-10-01", "--city", "London", "--method", "MWL")
        ours = vorlin.times((datetime.date(2024, 10, 1), datetime.date(2024, 10, 31)), "London")
        self.assertEqual(len(ours), 31)
        for day, expected in zip(ours, theirs["days"]):
            self.compare(day, expected)
        self.assertEqual(ours[0].dhuhr.time.utcoffset(), datetime.timedelta(hours=1))
        self.assertEqual(ours[-1].dhuhr.time.utcoffset(), datetime.timedelta(0))

    def test_other_clock_same_instants(self):
        london = vorlin.place("London")
        here = vorlin.times(datetime.date(2024, 3, 31), london)
        there = vorlin.times(datetime.date(2024, 3, 31), london, tz="Asia/Tokyo")
        self.assertEqual(there.fajr.time, here.fajr.time)
        self.assertEqual(there.fajr.time.utcoffset(), datetime.timedelta(hours=9))

    def test_location_records_still_work(self):
        makkah = vorlin.Location("Makkah", latitude=21.4225, longitude=39.8262, height=300, time_zone=3)
        day = vorlin.times(datetime.date(2024, 3, 25), makkah, "UmmAlQura")
        self.assertTrue(day.ramadan)
        self.assertEqual(day.isha.time - day.maghrib.time, datetime.timedelta(hours=2))

    def test_calendar_decides_ramadan(self):
        # 2024-03-11 is 1 Ramadan by Umm al-Qura at Makkah, 29 Sha'ban by the
        # crescent seen there (vorlin hijri says so below).
        makkah = vorlin.place("Makkah")
        date = datetime.date(2024, 3, 11)
        observed = cli("hijri", "2024-03-11", "--city", "Makkah")["hijri"]
        self.assertEqual(vorlin.times(date, makkah, "UmmAlQura", calendar="umm-al-qura").ramadan, True)
        self.assertEqual(vorlin.times(date, makkah, "UmmAlQura").ramadan, observed["month"] == 9)

    def test_next_prayer(self):
        for city, at in (("Makkah", "2024-03-11T13:00:00"), ("London", "2024-03-30T23:30:00"),
                         ("Tromsø", "2024-06-21T20:00:00")):
            with self.subTest(city=city, at=at):
                theirs = cli("next", "--at", at, "--city", city)["next"]
                ours = vorlin.next_prayer(city, datetime.datetime.fromisoformat(at))
                self.assertEqual(ours.name, theirs["name"])
                self.assertEqual(moment(ours.time), moment(instant(theirs["time"])))


@unittest.skipUnless(CLI, "VORLIN_CLI not set")
class Calendars(unittest.TestCase):
    DATES = ("2024-03-10", "2024-03-11", "2024-04-09", "2024-04-10", "2023-07-19", "2025-06-06")

    def test_round_trips_as_the_cli(self):
        for city, calendar, flags in (("London", None, []),
                                      ("Makkah", "umm-al-qura", ["--calendar", "umm-al-qura"]),
                                      ("Jakarta", vorlin.Calendar("observational", criterion="yallop"),
                                       ["--criterion", "yallop"])):
            place = vorlin.place(city)
            for date in self.DATES:
                with self.subTest(city=city, date=date):
                    theirs = cli("hijri", date, "--city", city, *flags)["hijri"]
                    hijri = vorlin.to_hijri(datetime.date.fromisoformat(date), place, calendar=calendar)
                    self.assertEqual((hijri.year, hijri.month, hijri.day),
                                     (theirs["year"], theirs["month"], theirs["day"]))
                    back = vorlin.to_civil(hijri, place, calendar=calendar)
                    self.assertEqual(f"{back.year:04d}-{back.month:02d}-{int(back.day):02d}", date)
                    text = f"{hijri.year}-{hijri.month:02d}-{int(hijri.day):02d}"
                    self.assertEqual(cli("hijri", "--to-civil", text, "--city", city, *flags)["civil"], date)

    def test_calendars_differ(self):
        # Umm al-Qura and the tabular calendar start Shawwal 1445 on
        # different days at Makkah (published: Eid al-Fitr 2024-04-10 there).
        makkah = vorlin.place("Makkah")
        eid = vorlin.to_civil(vorlin.HijriDate(1445, 10, 1), makkah, calendar="umm-al-qura")
        self.assertEqual((eid.year, eid.month, eid.day), (2024, 4, 10.0))
        by_string = vorlin.to_hijri(datetime.date(2024, 3, 11), makkah, calendar="tabular")
        by_record = vorlin.to_hijri(datetime.date(2024, 3, 11), makkah, calendar=vorlin.Calendar("tabular"))
        self.assertEqual(by_string, by_record)

    def test_bad_calendar(self):
        with self.assertRaises(vorlin.VorlinError) as caught:
            vorlin.to_hijri(datetime.date(2024, 3, 11), "Makkah", calendar="lunar")
        self.assertIn("umm-al-qura", str(caught.exception))
        with self.assertRaises(vorlin.VorlinError):
            vorlin.to_hijri(datetime.date(2024, 3, 11), "Makkah", criterion="odeh")

    def test_events_as_the_cli(self):
        for city, calendar, flags in (("Makkah", "umm-al-qura", ["--calendar", "umm-al-qura"]),
                                      ("London", None, [])):
            with self.subTest(city=city):
                theirs = cli("events", "--year", "1445", "--city", city, *flags)["occasions"]
                ours = vorlin.events(1445, city, calendar)
                self.assertEqual([(e.key, e.date.isoformat()) for e in ours],
                                 [(o["name"], o["civil"]) for o in theirs])
                self.assertEqual([(e.hijri.month, e.hijri.day) for e in ours],
                                 [(1, 1), (1, 10), (9, 1), (10, 1), (12, 9), (12, 10)])


@unittest.skipUnless(CLI, "VORLIN_CLI not set")
class Crescent(unittest.TestCase):
    def close(self, ours, text_value, what):
        """Equal to the CLI's number to the digits it prints."""
        digits = len(repr(float(text_value)).split(".")[1]) if "." in repr(float(text_value)) else 0
        self.assertLessEqual(abs(ours - text_value), 0.5 * 10.0 ** -digits + 1e-9, what)

    def test_as_the_cli(self):
        for city, date in (("London", "2024-04-09"), ("Makkah", "2024-03-10"), ("Jakarta", "2024-04-08")):
            with self.subTest(city=city, date=date):
                theirs = cli("crescent", date, "--city", city)
                ours = vorlin.crescent(datetime.date.fromisoformat(date), vorlin.place(city))
                self.assertTrue(ours.has_evening)
                for name in ("sunset", "moonset"):
                    self.assertEqual(moment(getattr(ours, name)), moment(instant(theirs[name])), name)
                self.assertEqual(moment(ours.best_time), moment(instant(theirs["bestTime"])))
                self.assertEqual(moment(ours.conjunction_geocentric),
                                 moment(instant(theirs["conjunction"]["geocentric"])))
                self.assertEqual(moment(ours.conjunction_topocentric),
                                 moment(instant(theirs["conjunction"]["topocentric"])))
                self.close(ours.lag_minutes, theirs["lagMinutes"], "lag")
                self.close(ours.age_geocentric_hours, theirs["ageHours"]["geocentric"], "age")
                self.close(ours.age_topocentric_hours, theirs["ageHours"]["topocentric"], "age")
                for geometry, key in ((ours.at_sunset, "atSunset"), (ours.at_best_time, "atBestTime")):
                    expected = theirs[key]
                    self.assertEqual(moment(geometry.time), moment(instant(expected["time"])))
                    for field, name in (("arcl_geo", "arclGeo"), ("arcl_topo", "arclTopo"),
                                        ("arcv_geo", "arcvGeo"), ("arcv_topo", "arcvTopo"), ("daz", "daz"),
                                        ("width_arcmin", "widthArcmin"), ("illuminated", "illuminated"),
                                        ("moon_altitude", "moonAltitude"), ("sun_altitude", "sunAltitude")):
                        self.close(getattr(geometry, field), expected[name], f"{key}.{name}")
                for name, expected in theirs["criteria"].items():
                    self.close(ours.criteria[name].value, expected["value"], name)
                    self.assertEqual(ours.criteria[name].zone, expected["zone"], name)

    def test_invariants(self):
        c = vorlin.crescent(datetime.date(2024, 4, 9), "London")
        self.assertLess(c.sunset, c.best_time)
        self.assertLess(c.best_time, c.moonset)
        self.assertAlmostEqual((c.moonset - c.sunset).total_seconds() / 60, c.lag_minutes, delta=1 / 60)
        self.assertAlmostEqual(c.criteria["danjon"].value, c.at_best_time.arcl_topo, places=9)

    def test_no_evening_in_polar_day(self):
        c = vorlin.crescent(datetime.date(2024, 6, 21), "Tromsø")
        self.assertFalse(c.has_evening)
        self.assertIsNone(c.sunset)
        self.assertIsNone(c.at_sunset)


@unittest.skipUnless(CLI, "VORLIN_CLI not set")
class Qibla(unittest.TestCase):
    def test_as_the_cli(self):
        for city in ("London", "Jakarta", "New York"):
            with self.subTest(city=city):
                theirs = cli("qibla", "--city", city, "--date", "2024-01-01")
                ours = vorlin.qibla(vorlin.place(city), datetime.date(2024, 1, 1))
                self.assertEqual((ours.direction, ours.distance, ours.declination),
                                 (theirs["direction"], theirs["distanceKm"], theirs["declination"]))

    def test_published(self):
        # London on 2000-01-01 (examples/hello.c prints it).
        london = vorlin.Location("London", latitude=51.5, longitude=-0.1, time_zone=0)
        q = vorlin.qibla(london, vorlin.Date(2000, 1, 1))
        self.assertEqual(f"{q.direction:.4f} {q.distance:.3f} {q.declination:.4f}",
                         "118.9468 4792.671 -3.1519")


@unittest.skipUnless(README, "VORLIN_README not set")
class ReadmeExamples(unittest.TestCase):
    """The examples of the README's Python section, run as doctests."""

    def test_examples(self):
        with open(README, encoding="utf-8") as file:
            text = file.read()
        section = re.search(r"^## Python\n(.*?)(?=^## )", text, re.S | re.M).group(1)
        blocks = re.findall(r"^```python\n(.*?)^```", section, re.S | re.M)
        self.assertGreaterEqual(len(blocks), 3)
        parser = doctest.DocTestParser()
        test = parser.get_doctest("\n".join(blocks), {}, "README.md: Python", README, 0)
        self.assertGreater(len(test.examples), 10)
        runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
        runner.run(test)
        self.assertEqual(runner.summarize(verbose=False).failed, 0)


if __name__ == "__main__":
    unittest.main()

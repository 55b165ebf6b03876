"""Tests of the Python binding against the built shared library.

Run from CTest with VORLIN_LIBRARY naming the library, or by hand:
    VORLIN_LIBRARY=build/libvorlin.so PYTHONPATH=python python3 -m unittest discover -s python/tests
"""

import ctypes
import dataclasses
import datetime
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

import vorlin

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "include", "vorlin.h")
BANNER = "\n\t\tVorlin Times\t  Version 2.8, February, 2002\n"
MAKKAH = vorlin.Location("Makkah", 21.4225, 39.8262, 300, 3.0)
LONDON = vorlin.Location("London", 51.5, -0.1, 0, 0.0)


def header_records():
    """{record: (size, {field: offset})} as the C header declares them."""
    with open(HEADER, encoding="latin-1") as f:
        text = f.read()
    records = {}
    for name, body in re.findall(r"typedef struct (\w+) \{(.*?)\} \1;", text, re.S):
        size = int(re.search(rf"\* {name} \((\d+) bytes\)", text).group(1))
        fields = {field: int(offset) for field, offset in
                  re.findall(r"(\w+)(?:\[\d+\])*;\s*/\* offset (\d+)", body)}
        records[name] = (size, fields)
    return records


class LayoutTest(unittest.TestCase):
    """The ctypes records match the C header field by field."""

    def test_records_match_header(self):
        records = header_records()
        classes = {"VorDate": vorlin._VorDate, "VorLocation": vorlin._VorLocation,
                   "VorConfig": vorlin._VorConfig, "VorTimesSettings": vorlin._VorTimesSettings,
                   "VorEventTime": vorlin._VorEventTime, "VorDayTimes": vorlin._VorDayTimes,
                   "VorCalendar": vorlin._VorCalendar, "VorCrescentGeometry": vorlin._VorCrescentGeometry,
                   "VorCrescent": vorlin._VorCrescent}
        self.assertEqual(set(records), set(classes))
        for name, (size, fields) in records.items():
            cls = classes[name]
            with self.subTest(record=name):
                self.assertEqual(ctypes.sizeof(cls), size)
                for field, offset in fields.items():
                    if field.startswith("reserved"):
                        continue
                    self.assertEqual(getattr(cls, field).offset, offset, f"{name}.{field}")
                declared = {f for f, _ in cls._fields_ if not f.startswith("_gap")}
                self.assertEqual(declared, {f for f in fields if not f.startswith("reserved")})

    def test_version_is_the_header_version(self):
        with open(HEADER, encoding="latin-1") as f:
            macro = re.search(r'#define VORLIN_VERSION "([^"]+)"', f.read()).group(1)
        self.assertEqual(vorlin.__version__, macro)


class ValidDateTest(unittest.TestCase):
    CIVIL = [
        ((1582, 10, 4.0), True), ((1582, 10, 5.0), False), ((1582, 10, 10.0), False),
        ((1582, 10, 14.0), False), ((1582, 10, 15.0), True),
        ((2000, 2, 29.0), True), ((1900, 2, 29.0), False), ((1500, 2, 29.0), True),  # Julian leap rule
        ((2001, 2, 29.0), False), ((2023, 4, 31.0), False), ((2023, 12, 31.5), True),
        ((2023, 0, 1.0), False), ((2023, 13, 1.0), False), ((2023, 1, 0.5), False),
        ((-500, 3, 1.0), True),
        # Values the C record cannot hold are invalid, not wrapped (257 would be month 1).
        ((2023, 257, 1.0), False), ((2023, -255, 1.0), False), ((2**31, 1, 1.0), False),
        ((2023, 1, math.nan), False), ((2023, 1, math.inf), False),
    ]
    HIJRI = [
        ((1445, 9, 1.0), True), ((1445, 12, 30.0), True), ((1, 1, 1.0), True),
        ((1445, 9, 30.5), False), ((1445, 9, 0.99), False), ((0, 1, 1.0), False),
        ((1445, 13, 1.0), False), ((1445, 0, 1.0), False), ((1445, 265, 1.0), False),
        ((1445, 1, math.nan), False),
    ]

    def test_civil(self):
        for (y, m, d), expected in self.CIVIL:
            with self.subTest(date=(y, m, d)):
                self.assertIs(vorlin.is_valid_date(vorlin.Date(y, m, d)), expected)

    def test_hijri(self):
        for (y, m, d), expected in self.HIJRI:
            with self.subTest(date=(y, m, d)):
                date = vorlin.Date(2000, 1, 1.0, hijri_year=y, hijri_month=m, hijri_day=d)
                self.assertIs(vorlin.is_valid_date(date, hijri=True), expected)

    def test_hijri_check_ignores_civil_fields_and_vice_versa(self):
        date = vorlin.Date(2001, 2, 29.0, hijri_year=1445, hijri_month=9, hijri_day=1.0)
        self.assertFalse(vorlin.is_valid_date(date))
        self.assertTrue(vorlin.is_valid_date(date, hijri=True))

    def test_datetime_date_and_wrong_types(self):
        self.assertTrue(vorlin.is_valid_date(datetime.date(1582, 10, 15)))
        with self.assertRaises(vorlin.VorlinError):
            vorlin.is_valid_date("1582-10-15")


class QiblaTest(unittest.TestCase):
    def test_london_published_values(self):
        q = vorlin.qibla(LONDON, vorlin.Date(2000, 1, 1))
        self.assertAlmostEqual(q.direction, 118.9468, delta=5e-5)
        self.assertAlmostEqual(q.distance, 4792.671, delta=5e-4)
        self.assertAlmostEqual(q.declination, -3.1519, delta=5e-5)
        self.assertIsInstance(q, vorlin.Qibla)

    def test_directions(self):
        cases = [  # latitude, longitude, direction, tolerance (degrees)
            (21.423111111111112, 0.0, 82.5, 0.05),   # on the Kaaba's parallel, to the west
            (40.7, -74.0, 58.6, 0.05),
            (50.0, 39.827111111111115, 180.0, 1e-6),  # due north of the Kaaba
            (-10.0, 39.827111111111115, 0.0, 1e-6),   # due south
        ]
        for lat, lon, direction, tolerance in cases:
            with self.subTest(latitude=lat, longitude=lon):
                q = vorlin.qibla(vorlin.Location("", lat, lon), vorlin.Date(2000, 1, 1))
                delta = (q.direction - direction + 180.0) % 360.0 - 180.0
                self.assertLessEqual(abs(delta), tolerance, q.direction)

    def test_range_over_a_grid(self):
        for lat in range(-90, 91, 30):
            for lon in range(-180, 181, 45):
                with self.subTest(latitude=lat, longitude=lon):
                    q = vorlin.qibla(vorlin.Location("", lat, lon), datetime.date(2003, 6, 1))
                    self.assertTrue(0.0 <= q.direction < 360.0)
                    self.assertTrue(0.0 <= q.distance <= 20004.0)
                    self.assertTrue(math.isfinite(q.declination))

    def test_invalid_date(self):
        with self.assertRaises(vorlin.VorlinError):
            vorlin.qibla(LONDON, vorlin.Date(2001, 2, 29))


class HijriTest(unittest.TestCase):
    DATES = [(2000, 1, 1), (1999, 12, 8), (2024, 3, 11), (2010, 8, 11), (1980, 11, 9),
             (2030, 2, 28), (1900, 3, 1), (1582, 10, 15)]

    def test_round_trip_at_makkah(self):
        for y, m, d in self.DATES:
            with self.subTest(date=(y, m, d)):
                hijri = vorlin.to_hijri(vorlin.Date(y, m, float(d)), MAKKAH)
                self.assertTrue(vorlin.is_valid_date(
                    vorlin.Date(y, m, d, hijri.year, hijri.month, hijri.day), hijri=True))
                civil = vorlin.to_civil(hijri, MAKKAH)
                self.assertEqual((civil.year, civil.month, math.floor(civil.day)), (y, m, d))
                self.assertEqual(civil.hijri, hijri)

    def test_ramadan_1420(self):
        # 2000-01-01 fell in the last third of Ramadan 1420.
        hijri = vorlin.to_hijri(datetime.date(2000, 1, 1), MAKKAH)
        self.assertEqual((hijri.year, hijri.month), (1420, 9))
        self.assertTrue(22 <= hijri.day <= 24, hijri)

    def test_consecutive_days(self):
        """Day by day the Hijri day grows by one, or a 29- or 30-day month
        ends and the next begins on day 1."""
        start = datetime.date(1999, 12, 1)
        previous = vorlin.to_hijri(start, MAKKAH)
        for n in range(1, 100):
            current = vorlin.to_hijri(start + datetime.timedelta(days=n), MAKKAH)
            with self.subTest(day=n, previous=previous, current=current):
                if current.day == 1:
                    self.assertIn(previous.day, (29, 30))
                    expected = ((previous.year, previous.month + 1) if previous.month < 12
                                else (previous.year + 1, 1))
                    self.assertEqual((current.year, current.month), expected)
                else:
                    self.assertEqual((current.year, current.month, current.day),
                                     (previous.year, previous.month, previous.day + 1))
            previous = current

    def test_refusals(self):
        with self.assertRaises(vorlin.VorlinError):
            vorlin.to_hijri(vorlin.Date(600, 1, 1), MAKKAH)      # before the Hijri era
        with self.assertRaises(vorlin.VorlinError):
            vorlin.to_hijri(vorlin.Date(1582, 10, 10), MAKKAH)   # no such civil day
        for bad in [vorlin.HijriDate(1445, 13, 1), vorlin.HijriDate(0, 1, 1),
                    vorlin.HijriDate(1445, 1, 31), vorlin.HijriDate(1445, 1, math.nan)]:
            with self.subTest(hijri=bad), self.assertRaises(vorlin.VorlinError):
                vorlin.to_civil(bad, MAKKAH)


class BelowSeaLevelTest(unittest.TestCase):
    """Places below sea level have no dip of the horizon, only more air
    pressure: every time is valid and the Hijri date exists there."""
    PLACES = [vorlin.Location("Baku", 40.4093, 49.8671, -28, 4.0),
              vorlin.Location("Dead Sea", 31.5590, 35.4732, -430, 2.0)]
    DATE = vorlin.Date(2024, 3, 11)

    @staticmethod
    def times(text):
        """The seven clock times of a one-day schedule, in seconds."""
        row = text.rstrip("\n").split("\n")[-1].split()
        return [int(h) * 3600 + int(m) * 60 + int(s)
                for h, m, s in (t.split(":") for t in row)]

    def test_prayer_times_are_valid(self):
        for place in self.PLACES:
            with self.subTest(place=place.name):
                text = vorlin.prayer_schedule(self.DATE, place)
                self.assertNotIn("NotValid", text)
                below = self.times(text)
                level = self.times(vorlin.prayer_schedule(
                    self.DATE, dataclasses.replace(place, height=0)))
                self.assertEqual(len(below), 7)
                # Shuruq and Maghrib move only through the refraction of the
                # denser air (1066 mbar at -430 m): by seconds, not minutes.
                for i in (2, 5):
                    self.assertLessEqual(abs(below[i] - level[i]), 15, (below, level))

    def test_hijri_date_and_month_start(self):
        for place in self.PLACES:
            with self.subTest(place=place.name):
                hijri = vorlin.to_hijri(self.DATE, place)
                self.assertIn((hijri.year, hijri.month), [(1445, 8), (1445, 9)])
                civil = vorlin.to_civil(hijri, place)
                self.assertEqual((civil.year, civil.month, math.floor(civil.day)), (2024, 3, 11))
                report = vorlin.moon_info(self.DATE, place)
                self.assertIn("Possible start of", report)
                self.assertNotIn("Could not calculate", report)


class ReportTest(unittest.TestCase):
    def test_banner_and_latin1_text(self):
        place = vorlin.Location("Zürich", 47.37, 8.54, 408, 1.0, 834, 2626)
        for report in (vorlin.prayer_schedule, vorlin.moon_info):
            with self.subTest(report=report.__name__):
                text = report(vorlin.Date(2000, 1, 1), place)
                self.assertTrue(text.startswith(BANNER), text[:80])
                self.assertIn("Zürich", text)
                self.assertIn("47°22'", text)   # the degree sign 0xB0, decoded

    def test_spans(self):
        date = vorlin.Date(2000, 1, 15)
        day = vorlin.prayer_schedule(date, MAKKAH, vorlin.Config(span=vorlin.Span.DAY))
        month = vorlin.prayer_schedule(date, MAKKAH, vorlin.Config(span=vorlin.Span.MONTH))
        year = vorlin.prayer_schedule(date, MAKKAH, vorlin.Config(span=vorlin.Span.YEAR))
        hijri = vorlin.prayer_schedule(date, MAKKAH,
                                       vorlin.Config(span=vorlin.Span.MONTH, hijri_months=True))
        rows = re.findall(r"^(\d+) +\d+ +[A-Z][a-z]{2} ", month, re.M)
        self.assertEqual([int(r) for r in rows], list(range(1, 32)))   # January
        self.assertLess(len(day), len(month))
        self.assertGreater(len(year), 11 * len(month))
        self.assertLess(len(year), 100_000)
        self.assertNotEqual(hijri, month)
        moon_year = vorlin.moon_info(date, MAKKAH, vorlin.Config(span=vorlin.Span.YEAR))
        self.assertLess(len(moon_year), 100_000)
        self.assertGreaterEqual(moon_year.count("Possible start of"), 12)

    def test_same_results_on_threads(self):
        dates = [vorlin.Date(2000, m, 1) for m in range(1, 9)]
        config = vorlin.Config(span=vorlin.Span.MONTH)
        serial = [vorlin.moon_info(d, MAKKAH, config) for d in dates]
        parallel = [None] * len(dates)

        def work(i):
            parallel[i] = vorlin.moon_info(dates[i], MAKKAH, config)

        threads = [threading.Thread(target=work, args=(i,)) for i in range(len(dates))]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        self.assertEqual(parallel, serial)


class InputErrorTest(unittest.TestCase):
    LOCATIONS = [
        ("latitude above 90", dict(latitude=90.5)),
        ("latitude below -90", dict(latitude=-91.0)),
        ("NaN latitude", dict(latitude=math.nan)),
        ("infinite longitude", dict(longitude=math.inf)),
        ("longitude beyond 180", dict(longitude=181.0)),
        ("time zone beyond +14", dict(time_zone=15.0)),
        ("NaN time zone", dict(time_zone=math.nan)),
        ("name of 48 bytes", dict(name="x" * 48)),
        ("name of 24 characters and 48 bytes", dict(name="ü" * 24 + "x" * 24)),
        ("name outside Latin-1", dict(name="Москва")),
        ("name with a NUL", dict(name="a\0b")),
        ("name not text", dict(name=b"Makkah")),
        ("fractional height", dict(height=1.5)),
        ("summer start without end", dict(summer_start=834)),
        ("summer rule month 13", dict(summer_start=13 * 256 + 1, summer_end=2626)),
        ("summer rule day code 67", dict(summer_start=3 * 256 + 67, summer_end=2626)),
    ]
    CONFIGS = [
        ("unknown fiqh", dict(fiqh=5)), ("negative fiqh", dict(fiqh=-1)),
        ("precision 2", dict(precision=2)), ("high-latitude rule 10", dict(high_latitude_rule=10)),
        ("span 0x300", dict(span=0x300)), ("zero tolerance", dict(tolerance_seconds=0)),
        ("NaN Fajr angle", dict(fajr_angle=math.nan)), ("Isha angle -91", dict(isha_angle=-91.0)),
        ("NaN crescent threshold", dict(crescent_threshold=math.nan)),
        ("temperature 300", dict(temperature=300)), ("negative pressure", dict(pressure=-1)),
        ("adjust 31 days", dict(hijri_adjust_days=31)), ("string fiqh", dict(fiqh="Hanafi")),
    ]

    def test_locations(self):
        for what, change in self.LOCATIONS:
            place = dataclasses.replace(MAKKAH, **change)
            for call in (lambda: vorlin.qibla(place, vorlin.Date(2000, 1, 1)),
                         lambda: vorlin.to_hijri(vorlin.Date(2000, 1, 1), place),
                         lambda: vorlin.prayer_schedule(vorlin.Date(2000, 1, 1), place)):
                with self.subTest(what), self.assertRaises(vorlin.VorlinError) as caught:
                    call()
                self.assertIsInstance(caught.exception, ValueError)

    def test_configs(self):
        for what, change in self.CONFIGS:
            config = dataclasses.replace(vorlin.Config(), **change)
            with self.subTest(what), self.assertRaises(vorlin.VorlinError):
                vorlin.moon_info(vorlin.Date(2000, 1, 1), MAKKAH, config)

    def test_limits_that_are_accepted(self):
        for name in ("x" * 47, "é" * 47):
            place = dataclasses.replace(MAKKAH, name=name)
            with self.subTest(name=name):
                self.assertIn(name, vorlin.prayer_schedule(vorlin.Date(2000, 1, 1), place))
        for lat in (-90.0, 90.0):
            with self.subTest(latitude=lat):
                q = vorlin.qibla(vorlin.Location("", lat, 0.0), vorlin.Date(2000, 1, 1))
                self.assertTrue(math.isfinite(q.distance))
        config = vorlin.Config(fiqh=vorlin.Fiqh.HANAFI, precision=vorlin.Precision.MINUTES)
        self.assertIn("Fiqh = Hanafi", vorlin.prayer_schedule(vorlin.Date(2000, 1, 1), MAKKAH, config))

    def test_invalid_dates_in_reports(self):
        for report in (vorlin.prayer_schedule, vorlin.moon_info):
            with self.subTest(report=report.__name__), self.assertRaises(vorlin.VorlinError):
                report(vorlin.Date(2001, 2, 29), MAKKAH)


class CallerObjectsTest(unittest.TestCase):
    """The library converts a location's angles in place while it runs; the
    caller's objects must come back exactly as they were."""

    def test_inputs_are_unchanged_to_the_bit(self):
        place = vorlin.Location("Somewhere", 51.123456789012345, -0.987654321098765, 35, 0.5)
        date = vorlin.Date(2000, 1, 1)
        config = vorlin.Config(span=vorlin.Span.MONTH)
        before = (dataclasses.astuple(place), dataclasses.astuple(date), dataclasses.astuple(config))
        vorlin.qibla(place, date)
        vorlin.to_hijri(date, place, config)
        vorlin.prayer_schedule(date, place, config)
        vorlin.moon_info(date, place, config)
        after = (dataclasses.astuple(place), dataclasses.astuple(date), dataclasses.astuple(config))
        self.assertEqual([float.hex(v) if isinstance(v, float) else v for t in after for v in t],
                         [float.hex(v) if isinstance(v, float) else v for t in before for v in t])

    def test_conversions_return_new_objects(self):
        date = vorlin.Date(2000, 1, 1)
        hijri = vorlin.to_hijri(date, MAKKAH)
        self.assertFalse(date.hijri_valid)
        self.assertEqual((date.hijri_year, date.hijri_month), (0, 0))
        given = vorlin.Date(1, 1, 1.0, hijri.year, hijri.month, hijri.day)
        civil = vorlin.to_civil(given, MAKKAH)
        self.assertIsNot(civil, given)
        self.assertEqual((given.year, given.month, given.day), (1, 1, 1.0))
        self.assertEqual((civil.year, civil.month, civil.day), (2000, 1, 1.0))


class LoaderTest(unittest.TestCase):
    """How the module finds the shared library (each case in a fresh interpreter)."""

    def run_python(self, code, env, cwd):
        return subprocess.run([sys.executable, "-c", code], env=env, cwd=cwd,
                              capture_output=True, text=True, timeout=60)

    def test_library_next_to_the_module(self):
        library = vorlin.library_path()
        with tempfile.TemporaryDirectory() as tmp:
            package = os.path.join(tmp, "vorlin")
            shutil.copytree(os.path.dirname(vorlin.__file__), package,
                            ignore=shutil.ignore_patterns("__pycache__"))
            name = "vorlin.dll" if sys.platform == "win32" else "libvorlin.so"
            shutil.copy(library, os.path.join(package, name))
            env = {k: v for k, v in os.environ.items() if k != "VORLIN_LIBRARY"}
            env["PYTHONPATH"] = tmp
            result = self.run_python(
                "import vorlin; print(vorlin.library_path()); "
                "print(vorlin.is_valid_date(vorlin.Date(1582, 10, 10)))", env, tmp)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout.split("\n")[:2], [os.path.join(package, name), "False"])

    def test_missing_library_named_by_the_environment(self):
        env = dict(os.environ, VORLIN_LIBRARY=os.path.join(tempfile.gettempdir(), "no-such-lib.so"))
        env["PYTHONPATH"] = os.path.dirname(os.path.dirname(vorlin.__file__))
        result = self.run_python(
            "import vorlin\ntry:\n    vorlin.library_path()\nexcept OSError as e:\n"
            "    print('OSError', e)\n", env, tempfile.gettempdir())
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("OSError VORLIN_LIBRARY names", result.stdout)


if __name__ == "__main__":
    unittest.main()


class TimesTest(unittest.TestCase):
    """vorlin.times through the structured interface."""

    def test_umm_al_qura_isha_after_maghrib_in_and_out_of_ramadan(self):
        ramadan = vorlin.times(datetime.date(2024, 3, 25), MAKKAH, "ummalqura")
        self.assertTrue(ramadan.ramadan)
        self.assertEqual(ramadan.isha.time - ramadan.maghrib.time, datetime.timedelta(minutes=120))
        after = vorlin.times(datetime.date(2024, 4, 25), MAKKAH, "UmmAlQura")
        self.assertFalse(after.ramadan)
        self.assertEqual(after.isha.time - after.maghrib.time, datetime.timedelta(minutes=90))
        # Timezone-aware, on Makkah's clock.
        self.assertEqual(after.fajr.time.utcoffset(), datetime.timedelta(hours=3))
        self.assertEqual(after.fajr.status, "valid")

    def test_settings_override_the_method_and_bad_ones_raise(self):
        base = vorlin.times(datetime.date(2024, 3, 11), MAKKAH, "MWL")
        later = vorlin.times(datetime.date(2024, 3, 11), MAKKAH, "MWL", adjust={"dhuhr": 2},
                             imsak_minutes=10)
        self.assertEqual(later.dhuhr.time - base.dhuhr.time, datetime.timedelta(minutes=2))
        self.assertEqual(later.fajr.time - later.imsak.time, datetime.timedelta(minutes=10))
        # 18 and -18 are the same angle below the horizon.
        self.assertEqual(vorlin.times(datetime.date(2024, 3, 11), MAKKAH, fajr_angle=-18).fajr,
                         base.fajr)
        with self.assertRaises(vorlin.VorlinError):
            vorlin.times(datetime.date(2024, 3, 11), MAKKAH, "NoSuchMethod")
        with self.assertRaises(vorlin.VorlinError):
            vorlin.times(datetime.date(2024, 3, 11), MAKKAH, colour="green")
        with self.assertRaises(vorlin.VorlinError):
            vorlin.times(datetime.date(2024, 3, 11), MAKKAH, rounding="sideways")
        with self.assertRaises(vorlin.VorlinError):
            vorlin.times(datetime.date(2024, 3, 11), MAKKAH, fajr_angle=95)

    def test_range_equals_day_by_day_and_polar_times_say_why(self):
        oslo = vorlin.Location("Oslo", 59.9139, 10.7522, 23, 1.0)
        days = vorlin.times((datetime.date(2024, 6, 19), datetime.date(2024, 6, 23)), oslo)
        self.assertEqual([d.date for d in days],
                         [datetime.date(2024, 6, 19) + datetime.timedelta(days=i) for i in range(5)])
        for d in days:
            self.assertEqual(d, vorlin.times(d.date, oslo))
            # No 18-degree twilight at Oslo in June: the default seventh of the night.
            self.assertEqual(d.isha.status, "filled")
            self.assertEqual(d.isha.filled_by, 11)
        bare = vorlin.times(datetime.date(2024, 6, 21), oslo, high_latitude="none")
        self.assertIsNone(bare.isha.time)
        self.assertEqual(bare.isha.status, "always above")

    def test_methods_are_listed_default_first(self):
        names = vorlin.methods()
        self.assertEqual(names[0], "MWL")
        self.assertIn("MoonsightingCommittee", names)
        self.assertIn("Tehran", names)

"""Python binding of the Vorlin library (standard library ctypes only).

Prayer times, Hijri calendars, the young crescent, moon information and the
qibla for a place of the gazetteer and a date::

    import datetime, vorlin
    london = vorlin.place("London")                  # GeoNames, as `vorlin places` finds it
    day = vorlin.times(datetime.date(2024, 3, 31), london, "MWL")
    print(day.fajr.time, day.isha.time)              # aware datetimes, Europe/London
    print(vorlin.to_hijri(datetime.date(2024, 3, 11), "Makkah", calendar="umm-al-qura"))
    print(vorlin.crescent(datetime.date(2024, 4, 9), london).criteria["yallop"])

Place data: GeoNames, geonames.org (CC BY 4.0), selected and reformatted.

Or for a point given by its Location record::

    import vorlin
    london = vorlin.Location("London", latitude=51.5, longitude=-0.1, time_zone=0)
    q = vorlin.qibla(london, vorlin.Date(2000, 1, 1))
    print(q.direction, q.distance, q.declination)   # degrees, km, degrees
    print(vorlin.prayer_schedule(vorlin.Date(2024, 3, 11), london,
                                 vorlin.Config(span=vorlin.Span.MONTH)))

The three records of the C interface are mirrored by the frozen dataclasses
`Date`, `Location` and `Config` (degrees, hours east of Greenwich, metres).
Every call builds fresh C records from them, so the caller's objects are
never changed (the library itself converts a location's angles in place
while it runs).  Invalid input raises `VorlinError`, a `ValueError`.

The shared library is found through the environment variable
VORLIN_LIBRARY (a path), else next to this module, else by
ctypes.util.find_library("vorlin"); the gazetteer's libvorlin_places the
same way (VORLIN_PLACES_LIBRARY).  `pip install ./python` puts both next to
this module.
"""

import ctypes
import ctypes.util
import dataclasses
import datetime
import enum
import math
import os
import sys
import threading
from typing import Dict, List, NamedTuple, Optional, Tuple, Union

__all__ = [
    "Place", "place", "places", "place_data_credit", "Calendar", "Crescent", "CrescentGeometry",
    "Criterion", "Event", "NextPrayer", "next_prayer", "crescent", "events", "moon",
    "PLACE_DATA_CREDIT",
    "VorlinError", "Fiqh", "Precision", "Span", "Date", "HijriDate", "Location", "Config",
    "Qibla", "is_valid_date", "to_hijri", "to_civil", "prayer_schedule", "moon_info",
    "qibla", "library_path", "Time", "DayTimes", "methods", "times",
]

__version__ = "0.1.0"


class VorlinError(ValueError):
    """Input the library cannot work with (invalid date, place or settings)."""


# ---------------------------------------------------------------------------
# The C records, declared by their fixed offsets (little-endian, 32-bit int,
# IEEE float and double); gaps become explicit filler bytes.

def _record(name, size, layout):
    """A ctypes.Structure with `layout` [(field, ctype, offset)] and `size`
    bytes, filler between the fields; checked against the offsets."""
    fields, at, gap = [], 0, 0
    for field, ctype, offset in layout:
        if offset < at:
            raise ImportError(f"{name}.{field}: offset {offset} overlaps the previous field")
        if offset > at:
            fields.append((f"_gap{gap}", ctypes.c_uint8 * (offset - at)))
            gap += 1
        fields.append((field, ctype))
        at = offset + ctypes.sizeof(ctype)
    if size > at:
        fields.append((f"_gap{gap}", ctypes.c_uint8 * (size - at)))
    cls = type(name, (ctypes.Structure,), {"_fields_": fields})
    for field, ctype, offset in layout:
        if getattr(cls, field).offset != offset:
            raise ImportError(f"{name}.{field} lies at {getattr(cls, field).offset}, not {offset}")
    if ctypes.sizeof(cls) != size:
        raise ImportError(f"{name} is {ctypes.sizeof(cls)} bytes, not {size}")
    return cls


_i32, _u32, _u8 = ctypes.c_int32, ctypes.c_uint32, ctypes.c_uint8
_f32, _f64 = ctypes.c_float, ctypes.c_double

_VorDate = _record("VorDate", 40, [
    ("year", _i32, 0), ("hijriYear", _i32, 4), ("month", _u8, 8), ("hijriMonth", _u8, 9),
    ("day", _f64, 16), ("hijriDay", _f64, 24), ("hijriValid", _i32, 32),
    ("hour", _u8, 36), ("minute", _u8, 37), ("second", _u8, 38),
])
_VorLocation = _record("VorLocation", 80, [
    ("name", ctypes.c_char * 48, 0), ("latitude", _f64, 48), ("longitude", _f64, 56),
    ("height", _i32, 64), ("timeZone", _f32, 68), ("summerStart", _i32, 72),
    ("summerEnd", _i32, 76),
])
_VorConfig = _record("VorConfig", 68, [
    ("imsakAngle", _f32, 0), ("fajrAngle", _f32, 4), ("ishaAngle", _f32, 8),
    ("fiqh", _i32, 12), ("distanceKm", _i32, 16), ("precision", _i32, 20),
    ("maghribMinutes", _i32, 24), ("temperature", _i32, 28), ("pressure", _i32, 32),
    ("safetySeconds", _i32, 40), ("toleranceSeconds", _i32, 44),
    ("crescentThreshold", _f32, 48), ("highLatitudeRule", _i32, 52),
    ("scheduleFlags", _u32, 56), ("hijriAdjustDays", _i32, 60), ("fajrIshaMinutes", _i32, 64),
])

_VorCalendar = _record("VorCalendar", 544, [
    ("size", _i32, 0), ("mode", _i32, 4), ("criterion", _i32, 8), ("level", _i32, 12),
    ("withDanjon", _i32, 16), ("region", _i32, 20), ("placeCount", _i32, 24),
    ("places", (_f64 * 2) * 32, 32),
])
_VorCrescentGeometry = _record("VorCrescentGeometry", 72, [
    ("arclGeo", _f64, 0), ("arclTopo", _f64, 8), ("arcvGeo", _f64, 16), ("arcvTopo", _f64, 24),
    ("daz", _f64, 32), ("widthArcmin", _f64, 40), ("illuminated", _f64, 48),
    ("moonAltitude", _f64, 56), ("sunAltitude", _f64, 64),
])
_VorCrescent = _record("VorCrescent", 256, [
    ("size", _i32, 0), ("status", _i32, 4), ("sunsetUnix", _f64, 8), ("moonsetUnix", _f64, 16),
    ("bestTimeUnix", _f64, 24), ("lagMinutes", _f64, 32), ("conjunctionGeoUnix", _f64, 40),
    ("conjunctionTopoUnix", _f64, 48), ("ageGeoHours", _f64, 56), ("ageTopoHours", _f64, 64),
    ("atSunset", _VorCrescentGeometry, 72), ("atBest", _VorCrescentGeometry, 144),
    ("criterionValue", _f64 * 4, 216), ("criterionZone", ctypes.c_char * 4, 248),
])
_VorTimesSettings = _record("VorTimesSettings", 728, [
    ("size", _i32, 0), ("asrFactor", _i32, 4), ("fajrAngle", _f64, 8), ("ishaAngle", _f64, 16),
    ("ishaMinutes", _f64, 24), ("ishaMinutesRamadan", _f64, 32), ("maghribAngle", _f64, 40),
    ("maghribMinutes", _f64, 48), ("imsakAngle", _f64, 56), ("imsakMinutes", _f64, 64),
    ("adjust", _f64 * 7, 72), ("highLatitude", _i32, 128), ("fajrIshaMinutes", _i32, 132),
    ("midnight", _i32, 136), ("twilight", _i32, 140), ("shafaq", _i32, 144),
    ("rounding", _i32, 148), ("distanceKm", _i32, 152), ("horizonHeight", _i32, 156),
    ("temperature", _i32, 160), ("pressure", _i32, 164), ("toleranceSeconds", _i32, 168),
    ("safetySeconds", _i32, 172), ("crescentThreshold", _f32, 176), ("hijriAdjustDays", _i32, 180),
    ("calendar", _VorCalendar, 184),
])
_VorEventTime = _record("VorEventTime", 32, [
    ("localHours", _f64, 0), ("utcJd", _f64, 8), ("unixSeconds", _f64, 16),
    ("status", _i32, 24), ("filledBy", _i32, 28),
])
_VorDayTimes = _record("VorDayTimes", 360, [
    ("size", _i32, 0), ("ramadan", _i32, 4), ("event", _VorEventTime * 11, 8),
])

# The reports take no buffer size; a year's report is below 100 kB.
_REPORT_BUFFER_BYTES = 1 << 20
_NAME_BYTES = 47  # VorLocation.name holds 47 bytes and a NUL


# ---------------------------------------------------------------------------
# Loading the shared library.

_library = None
_library_path = None
_library_lock = threading.Lock()


def _candidates_next_to_module():
    here = os.path.dirname(os.path.abspath(__file__))
    names = {"win32": ["vorlin.dll"], "darwin": ["libvorlin.dylib"]}.get(
        sys.platform, ["libvorlin.so", "libvorlin.so.0"])
    return [os.path.join(here, n) for n in names]


def _find_library():
    explicit = os.environ.get("VORLIN_LIBRARY")
    if explicit:
        if not os.path.exists(explicit):
            raise OSError(f"VORLIN_LIBRARY names {explicit!r}, which does not exist")
        return explicit
    for path in _candidates_next_to_module():
        if os.path.exists(path):
            return path
    found = ctypes.util.find_library("vorlin")
    if found:
        return found
    raise OSError("the Vorlin shared library was not found: set VORLIN_LIBRARY to its path, "
                  "put it next to the vorlin module, or install it where the loader looks")


def _declare(lib):
    date_p, loc_p, cfg_p = (ctypes.POINTER(_VorDate), ctypes.POINTER(_VorLocation),
                            ctypes.POINTER(_VorConfig))
    dbl_p = ctypes.POINTER(ctypes.c_double)
    signatures = {
        "VorisValidDate": (ctypes.c_int, [date_p, ctypes.c_int]),
        "VorAdToIslamic": (ctypes.c_int, [date_p, loc_p, cfg_p]),
        "VorIslamicToAd": (ctypes.c_int, [date_p, loc_p, cfg_p]),
        "VorCalculate": (None, [date_p, loc_p, cfg_p, ctypes.c_char_p]),
        "VorMoonInfo": (None, [date_p, loc_p, cfg_p, ctypes.c_char_p]),
        "VorQiblaInfo": (None, [loc_p, date_p, dbl_p, dbl_p, dbl_p]),
        "VorDefaultTimesSettings": (_i32, [ctypes.POINTER(_VorTimesSettings)]),
        "VorMethodCount": (_i32, []),
        "VorMethodName": (_i32, [_i32, ctypes.c_char_p, _i32]),
        "VorMethodSettings": (_i32, [ctypes.c_char_p, ctypes.POINTER(_VorTimesSettings)]),
        "VorTimesOfRange": (_i32, [date_p, _i32, loc_p, ctypes.POINTER(_VorTimesSettings),
                                   ctypes.POINTER(_VorDayTimes)]),
        "VorCivilToHijri": (_i32, [ctypes.POINTER(_VorCalendar), date_p, loc_p, cfg_p]),
        "VorHijriToCivil": (_i32, [ctypes.POINTER(_VorCalendar), date_p, loc_p, cfg_p]),
        "VorCrescentEvening": (_i32, [date_p, loc_p, cfg_p, ctypes.POINTER(_VorCrescent)]),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype, function.argtypes = restype, argtypes


def _lib():
    global _library, _library_path
    with _library_lock:
        if _library is None:
            path = _find_library()
            # 32-bit Windows: the exports are __stdcall.
            if sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4:
                lib = ctypes.WinDLL(path)
            else:
                lib = ctypes.CDLL(path)
            _declare(lib)
            _library, _library_path = lib, path
        return _library


def library_path() -> str:
    """The path (or name) of the shared library in use; loads it if needed."""
    _lib()
    return _library_path


# ---------------------------------------------------------------------------
# Pythonic mirrors of the records.

class Fiqh(enum.IntEnum):
    """School of law (Asr shadow factor): VorConfig.fiqh."""
    JAFARI = 0
    SHAFII = 1
    HANAFI = 2
    MALIKI = 3
    HANBALI = 4


class Precision(enum.IntEnum):
    """Times to the second or to the minute: VorConfig.precision."""
    SECONDS = 0
    MINUTES = 1


class Span(enum.IntEnum):
    """Span of a report: the bits 0x300 of VorConfig.scheduleFlags."""
    DAY = 0x000
    MONTH = 0x100
    YEAR = 0x200


_HIJRI_MONTHS_FLAG = 0x1000


@dataclasses.dataclass(frozen=True)
class Date:
    """A civil date (astronomical year numbering, Julian calendar up to
    1582-10-04, Gregorian from 1582-10-15) and its Hijri date side by side.
    `day` and `hijri_day` may carry a fraction (the time of day)."""
    year: int
    month: int
    day: float
    hijri_year: int = 0
    hijri_month: int = 0
    hijri_day: float = 0.0
    hijri_valid: bool = False
    hour: int = 0
    minute: int = 0
    second: int = 0

    @classmethod
    def from_date(cls, value: datetime.date) -> "Date":
        return cls(value.year, value.month, float(value.day))

    @property
    def hijri(self) -> "HijriDate":
        return HijriDate(self.hijri_year, self.hijri_month, self.hijri_day)


@dataclasses.dataclass(frozen=True)
class HijriDate:
    """A Hijri date: year AH (1 or more), month 1 (Muharram) .. 12, day 1..30."""
    year: int
    month: int
    day: float


@dataclasses.dataclass(frozen=True)
class Location:
    """The observer's place.  Degrees (north and east positive), metres
    above sea level, time zone in hours east of Greenwich; summer time as
    the library's rule codes (month * 256 + day code, 0 = none), e.g.
    834 / 2626 for the last Sundays of March / October."""
    name: str = ""
    latitude: float = 0.0
    longitude: float = 0.0
    height: int = 0
    time_zone: float = 0.0
    summer_start: int = 0
    summer_end: int = 0


@dataclasses.dataclass(frozen=True)
class Config:
    """Calculation settings (angles in degrees).  The defaults are the
    library's customary ones: Fajr -18, Isha'a -17, Imsak -19 degrees,
    Shafi'i, 10 degrees C, a crescent threshold of 20 degrees."""
    imsak_angle: float = -19.0
    fajr_angle: float = -18.0
    isha_angle: float = -17.0
    fiqh: Fiqh = Fiqh.SHAFII
    distance_km: int = 0
    precision: Precision = Precision.SECONDS
    maghrib_minutes: int = 0
    temperature: int = 10
    pressure: int = 0
    safety_seconds: int = 0
    tolerance_seconds: int = 1
    crescent_threshold: float = 20.0
    high_latitude_rule: int = 0
    span: Span = Span.DAY
    hijri_months: bool = False
    hijri_adjust_days: int = 0
    fajr_isha_minutes: int = 90


class Qibla(NamedTuple):
    """direction: degrees clockwise from true north in [0, 360);
    distance: km along the earth ellipsoid; declination: magnetic, degrees,
    east positive."""
    direction: float
    distance: float
    declination: float


# ---------------------------------------------------------------------------
# Checks and conversions to the C records.

_INT32_MIN, _INT32_MAX = -2**31, 2**31 - 1


def _integer(what, value, low=_INT32_MIN, high=_INT32_MAX):
    if isinstance(value, bool) or not isinstance(value, int):
        if isinstance(value, float) and value.is_integer():
            value = int(value)
        else:
            raise VorlinError(f"{what} must be a whole number, not {value!r}")
    if not low <= value <= high:
        raise VorlinError(f"{what} must lie within {low}..{high}, not {value}")
    return int(value)


def _real(what, value, low=-math.inf, high=math.inf):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise VorlinError(f"{what} must be a number, not {value!r}")
    value = float(value)
    if math.isnan(value) or math.isinf(value):
        raise VorlinError(f"{what} must be finite, not {value}")
    if not low <= value <= high:
        raise VorlinError(f"{what} must lie within {low:g}..{high:g}, not {value:g}")
    return value


def _as_date(value) -> Date:
    if isinstance(value, Date):
        return value
    if isinstance(value, datetime.date):
        return Date.from_date(value)
    raise VorlinError(f"expected a vorlin.Date or datetime.date, not {type(value).__name__}")


def _date_record(date: Date) -> _VorDate:
    """The C record of `date`, or VorlinError if a field cannot be stored
    (a month that does not fit its byte is refused, not wrapped)."""
    record = _VorDate()
    record.year = _integer("year", date.year)
    record.month = _integer("month", date.month, 0, 255)
    record.day = _real("day", date.day)
    record.hijriYear = _integer("hijri_year", date.hijri_year)
    record.hijriMonth = _integer("hijri_month", date.hijri_month, 0, 255)
    record.hijriDay = _real("hijri_day", date.hijri_day)
    record.hijriValid = 1 if date.hijri_valid else 0
    return record


def _valid(record: _VorDate, hijri: bool) -> bool:
    return _lib().VorisValidDate(ctypes.byref(record), 1 if hijri else 0) == 1


def _civil_record(date) -> _VorDate:
    date = _as_date(date)
    record = _date_record(date)
    if not _valid(record, False):
        raise VorlinError(f"{date.year}-{date.month:02d}-{date.day:g} is not a valid civil date")
    return record


def _summer_rule(what, code):
    code = _integer(what, code)
    if code == 0:
        return 0
    month, day = code >> 8, code & 0xFF
    if not (1 <= month <= 12 and 1 <= day <= 66):
        raise VorlinError(f"{what} {code} is not a summer-time rule "
                          "(month * 256 + day 1..31 or weekday code 32..66)")
    return code


def _location_record(location: Location) -> _VorLocation:
    if not isinstance(location, Location):
        raise VorlinError(f"expected a vorlin.Location, not {type(location).__name__}")
    if not isinstance(location.name, str):
        raise VorlinError(f"name must be a str, not {type(location.name).__name__}")
    try:
        name = location.name.encode("latin-1")
    except UnicodeEncodeError as error:
        raise VorlinError(f"name {location.name!r} is not Latin-1 text") from error
    if len(name) > _NAME_BYTES:
        raise VorlinError(f"name is {len(name)} bytes in Latin-1; at most {_NAME_BYTES} fit")
    if b"\0" in name:
        raise VorlinError("name must not contain NUL characters")
    record = _VorLocation()
    record.name = name
    record.latitude = _real("latitude", location.latitude, -90.0, 90.0)
    record.longitude = _real("longitude", location.longitude, -180.0, 180.0)
    record.height = _integer("height", location.height, -1000, 20000)
    record.timeZone = _real("time_zone", location.time_zone, -12.0, 14.0)
    record.summerStart = _summer_rule("summer_start", location.summer_start)
    record.summerEnd = _summer_rule("summer_end", location.summer_end)
    if (record.summerStart == 0) != (record.summerEnd == 0):
        raise VorlinError("summer_start and summer_end must both be rules or both be 0")
    return record


def _enum(what, kind, value):
    try:
        return kind(value)
    except ValueError:
        names = ", ".join(f"{m.name} ({m.value})" for m in kind)
        raise VorlinError(f"unknown {what} {value!r}; expected one of {names}") from None


def _config_record(config: Optional[Config]) -> _VorConfig:
    config = Config() if config is None else config
    if not isinstance(config, Config):
        raise VorlinError(f"expected a vorlin.Config, not {type(config).__name__}")
    record = _VorConfig()
    record.imsakAngle = _real("imsak_angle", config.imsak_angle, -90.0, 90.0)
    record.fajrAngle = _real("fajr_angle", config.fajr_angle, -90.0, 90.0)
    record.ishaAngle = _real("isha_angle", config.isha_angle, -90.0, 90.0)
    record.fiqh = _enum("fiqh", Fiqh, config.fiqh)
    record.distanceKm = _integer("distance_km", config.distance_km, high=20000)
    record.precision = _enum("precision", Precision, config.precision)
    record.maghribMinutes = _integer("maghrib_minutes", config.maghrib_minutes, -1440, 1440)
    record.temperature = _integer("temperature", config.temperature, -100, 100)
    record.pressure = _integer("pressure", config.pressure, 0, 2000)
    record.safetySeconds = _integer("safety_seconds", config.safety_seconds, -86400, 86400)
    record.toleranceSeconds = _integer("tolerance_seconds", config.tolerance_seconds, 1)
    record.crescentThreshold = _real("crescent_threshold", config.crescent_threshold)
    record.highLatitudeRule = _integer("high_latitude_rule", config.high_latitude_rule, 0, 9)
    record.scheduleFlags = (_enum("span", Span, config.span) |
                            (_HIJRI_MONTHS_FLAG if config.hijri_months else 0))
    record.hijriAdjustDays = _integer("hijri_adjust_days", config.hijri_adjust_days, -30, 30)
    record.fajrIshaMinutes = _integer("fajr_isha_minutes", config.fajr_isha_minutes, 0, 1440)
    return record


# ---------------------------------------------------------------------------
# The six functions.

def is_valid_date(date: Union[Date, datetime.date], hijri: bool = False) -> bool:
    """Does the civil date (hijri=False: year, month, day; 1582-10-05..14
    do not exist) or the Hijri date (hijri=True: hijri_year >= 1, month
    1..12, 1 <= day <= 30) exist?  Fields that cannot be stored in the C
    record (a month of 300, a NaN day) make the date invalid."""
    try:
        record = _date_record(_as_date(date))
    except VorlinError:
        if isinstance(date, (Date, datetime.date)):
            return False
        raise
    return _valid(record, hijri)


def _report(export, date, location, config) -> str:
    record = _civil_record(date)
    location = _as_location(location, date)
    place, settings = _location_record(location), _config_record(config)
    text = ctypes.create_string_buffer(_REPORT_BUFFER_BYTES)
    export(ctypes.byref(record), ctypes.byref(place), ctypes.byref(settings), text)
    if text.raw[-1] != 0:  # cannot happen for the spans the library writes
        raise RuntimeError("the report filled its whole buffer")
    return text.value.decode("latin-1")


def prayer_schedule(date: Union[Date, datetime.date], location: Location,
                    config: Optional[Config] = None) -> str:
    """The prayer schedule report (config.span: a day, the month or the
    year of `date`; config.hijri_months counts Hijri months)."""
    return _report(_lib().VorCalculate, date, location, config)


def moon_info(date: Union[Date, datetime.date], location: Location,
              config: Optional[Config] = None) -> str:
    """The moon information report: moonrise, transit and set per day, new
    moons, the Moon at sunset and the possible start of the next month."""
    return _report(_lib().VorMoonInfo, date, location, config)


# ---------------------------------------------------------------------------
# The day's times as numbers, by any named method.

_EVENTS = ("imsak", "fajr", "sunrise", "dhuhr", "asr", "asr_hanafi", "sunset", "maghrib", "isha",
           "midnight", "last_third")
_STATUS = {0: "valid", 1: "always above", 2: "always below", 3: "not valid", 4: "filled"}
_HIGH_LATITUDE = {"default": -1, "none": 0, "middle-of-night": 10, "seventh-of-night": 11,
                  "twilight-angle": 12}
_CHOICES = {"midnight": {"standard": 0, "jafari": 1}, "twilight": {"angles": 0, "seasonal": 1},
            "shafaq": {"general": 0, "ahmer": 1, "abyad": 2},
            "rounding": {"seconds": 0, "nearest": 1, "up": 2, "down": 3}}
_ADJUSTED = ("imsak", "fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha")
# Keyword -> (record field, kind).
_SETTINGS = {
    "fajr_angle": ("fajrAngle", float), "isha_angle": ("ishaAngle", float),
    "isha_minutes": ("ishaMinutes", float), "isha_minutes_ramadan": ("ishaMinutesRamadan", float),
    "maghrib_angle": ("maghribAngle", float), "maghrib_minutes": ("maghribMinutes", float),
    "imsak_angle": ("imsakAngle", float), "imsak_minutes": ("imsakMinutes", float),
    "asr_factor": ("asrFactor", int), "fajr_isha_minutes": ("fajrIshaMinutes", int),
    "distance_km": ("distanceKm", int), "horizon_height": ("horizonHeight", int),
    "temperature": ("temperature", int), "pressure": ("pressure", int),
    "safety_seconds": ("safetySeconds", int), "tolerance_seconds": ("toleranceSeconds", int),
    "crescent_threshold": ("crescentThreshold", float), "hijri_adjust_days": ("hijriAdjustDays", int),
}


class Time(NamedTuple):
    """One event: a timezone-aware datetime (None when there is none), why it
    is missing or how it was found ("valid", "filled", "always above",
    "always below", "not valid"), and what filled it (a high-latitude rule
    1..9 or 10 middle, 11 seventh of the night, 12 twilight angle, 13 the
    seasonal twilight bounds)."""
    time: Optional[datetime.datetime]
    status: str
    filled_by: int = 0


@dataclasses.dataclass(frozen=True)
class DayTimes:
    """The times of one day: on the place's standard clock (a Location's
    time_zone), or on the clock of a Place's zone or of the given tz.

    `missing` maps each event without a time to the reason ("always above",
    "always below", "not valid"); `filled` maps each event a high-latitude
    rule gave to the rule ("seventh of the night", ...)."""
    date: datetime.date
    ramadan: bool
    imsak: Time
    fajr: Time
    sunrise: Time
    dhuhr: Time
    asr: Time
    asr_hanafi: Time
    sunset: Time
    maghrib: Time
    isha: Time
    midnight: Time
    last_third: Time

    @property
    def missing(self) -> Dict[str, str]:
        """{event: why it has no time} for the events without one."""
        return {name: getattr(self, name).status for name in _EVENTS
                if getattr(self, name).time is None}

    @property
    def filled(self) -> Dict[str, str]:
        """{event: the rule that gave it} for the events a rule filled."""
        return {name: _filled_text(getattr(self, name).filled_by) for name in _EVENTS
                if getattr(self, name).status == "filled"}


def _filled_text(rule: int) -> str:
    return {10: "middle of the night", 11: "seventh of the night", 12: "twilight angle",
            13: "seasonal bounds"}.get(rule, f"rule {rule}")


def methods() -> list:
    """The names of the library's named methods, the default first."""
    lib = _lib()
    names = []
    for i in range(lib.VorMethodCount()):
        buffer = ctypes.create_string_buffer(64)
        lib.VorMethodName(i, buffer, len(buffer))
        names.append(buffer.value.decode("ascii"))
    return names


def _times_settings(method: str, settings: dict) -> _VorTimesSettings:
    record = _VorTimesSettings()
    record.size = ctypes.sizeof(record)
    if _lib().VorMethodSettings(str(method).encode("utf-8"), ctypes.byref(record)) != 1:
        raise VorlinError(f"unknown method {method!r} (methods: {', '.join(methods())})")
    for key, value in settings.items():
        if key == "high_latitude":
            if isinstance(value, str):
                if value not in _HIGH_LATITUDE:
                    raise VorlinError(f"high_latitude: {value!r} is not one of {sorted(_HIGH_LATITUDE)}")
                value = _HIGH_LATITUDE[value]
            record.highLatitude = _integer("high_latitude", value, -1, 12)
        elif key in _CHOICES:
            if value not in _CHOICES[key]:
                raise VorlinError(f"{key}: {value!r} is not one of {sorted(_CHOICES[key])}")
            setattr(record, key, _CHOICES[key][value])
        elif key == "adjust":
            for event, minutes in dict(value).items():
                if event not in _ADJUSTED:
                    raise VorlinError(f"adjust: {event!r} is not one of {', '.join(_ADJUSTED)}")
                record.adjust[_ADJUSTED.index(event)] = _real("adjust", minutes, -1440, 1440)
        elif key in _SETTINGS:
            field, kind = _SETTINGS[key]
            setattr(record, field, _real(key, value) if kind is float else _integer(key, value))
        else:
            raise VorlinError(f"unknown setting {key!r}")
    return record


def _times_of_location(date, location: Location, method: str = "MWL", _whole_seconds: bool = False,
                       **settings):
    """The day's times through the library's structured interface.

    `date` is a date (one day: a DayTimes) or a (first, last) pair of dates
    (every day from first to last, at most 3,660: a list of DayTimes).
    `method` is a named method (`methods()`); keywords change its settings:
    fajr_angle, isha_angle (degrees below the horizon), isha_minutes,
    isha_minutes_ramadan, maghrib_angle, maghrib_minutes, imsak_angle,
    imsak_minutes, asr_factor (1, 2), high_latitude ("default", "none",
    "middle-of-night", "seventh-of-night", "twilight-angle" or a rule 1..9),
    midnight ("standard", "jafari"), twilight ("angles", "seasonal"), shafaq,
    rounding ("seconds", "nearest", "up", "down"), adjust ({"dhuhr": 2, ...}),
    horizon_height, distance_km, temperature, pressure, safety_seconds.

    Times are timezone-aware datetimes on the place's standard time (its
    time_zone; summer time is not applied)::

        day = vorlin.times(datetime.date(2024, 3, 25), makkah, "UmmAlQura")
        print(day.isha.time - day.maghrib.time)   # 2:00:00 in Ramadan
    """
    single = not isinstance(date, tuple)
    first, last = (date, date) if single else date
    first_record, last_record = _civil_record(first), _civil_record(last)
    count = int(round(_julian_day(last_record) - _julian_day(first_record))) + 1
    if not 1 <= count <= 3660:
        raise VorlinError(f"a range of {count} days: from 1 to 3660 days")
    calendar = settings.pop("calendar", None)
    record = _times_settings(method, settings)
    if calendar is not None:
        record.calendar = _calendar_record(calendar)
    place = _location_record(location)
    days = (_VorDayTimes * count)()
    days[0].size = ctypes.sizeof(_VorDayTimes)
    if _lib().VorTimesOfRange(ctypes.byref(first_record), count, ctypes.byref(place),
                              ctypes.byref(record), days) != count:
        raise VorlinError("the library refused the request (a setting out of range?)")
    zone = datetime.timezone(datetime.timedelta(hours=location.time_zone))
    start = datetime.date(first_record.year, first_record.month, int(first_record.day))
    result = []
    for i in range(count):
        values = {}
        for e, name in enumerate(_EVENTS):
            event = days[i].event[e]
            status = _STATUS.get(event.status, "not valid")
            moment = None
            if status in ("valid", "filled"):
                if _whole_seconds:
                    # As the CLI shows them: to the nearest second (half away from 0).
                    whole = math.floor(abs(event.unixSeconds) + 0.5)
                    moment = datetime.datetime.fromtimestamp(math.copysign(whole, event.unixSeconds), zone)
                else:
                    moment = datetime.datetime.fromtimestamp(round(event.unixSeconds, 3), zone)
            values[name] = Time(moment, status, event.filledBy if status == "filled" else 0)
        result.append(DayTimes(start + datetime.timedelta(days=i), days[i].ramadan == 1, **values))
    return result[0] if single else result


def _julian_day(record: _VorDate) -> float:
    """Julian Day of 0 h of a Gregorian civil record (proleptic, as dates are)."""
    return datetime.date(record.year, record.month, int(record.day)).toordinal() + 1721424.5



# ---------------------------------------------------------------------------
# Places of the gazetteer (libvorlin_places: the CLI's own search).

PLACE_DATA_CREDIT = "Place data: GeoNames, geonames.org (CC BY 4.0), selected and reformatted."

_VorPlace = _record("VorPlace", 320, [
    ("size", _i32, 0), ("name", ctypes.c_char * 96, 4), ("admin1", ctypes.c_char * 64, 100),
    ("countryCode", ctypes.c_char * 4, 164), ("countryName", ctypes.c_char * 64, 168),
    ("zone", ctypes.c_char * 48, 232), ("latitude", _f64, 280), ("longitude", _f64, 288),
    ("elevation", _i32, 296), ("elevationKnown", _i32, 300), ("population", ctypes.c_int64, 304),
    ("geonameid", ctypes.c_int64, 312),
])

_places_library = None


def _places_lib():
    """libvorlin_places: VORLIN_PLACES_LIBRARY, else next to this module,
    else where the loader finds it."""
    global _places_library
    with _library_lock:
        if _places_library is None:
            path = os.environ.get("VORLIN_PLACES_LIBRARY")
            if path and not os.path.exists(path):
                raise OSError(f"VORLIN_PLACES_LIBRARY names {path!r}, which does not exist")
            if not path:
                here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "libvorlin_places.so")
                path = here if os.path.exists(here) else ctypes.util.find_library("vorlin_places")
            if not path:
                raise OSError("the gazetteer library libvorlin_places was not found: set "
                              "VORLIN_PLACES_LIBRARY to its path or put it next to the vorlin module")
            lib = ctypes.CDLL(path)
            for name in ("VorFindPlaces", "VorNearPlaces"):
                function = getattr(lib, name)
                function.restype = _i32
                function.argtypes = [ctypes.c_char_p, ctypes.POINTER(_VorPlace), _i32]
            lib.VorPlaceDataCredit.restype = _i32
            lib.VorPlaceDataCredit.argtypes = [ctypes.c_char_p, _i32]
            _places_library = lib
        return _places_library


@dataclasses.dataclass(frozen=True)
class Place:
    """A place of the gazetteer (or one of your own): degrees north and east,
    height in metres, `zone` an IANA time zone name.

    >>> london = vorlin.place("London")
    >>> london.label, london.zone
    ('London, England, GB', 'Europe/London')
    """
    name: str
    latitude: float
    longitude: float
    zone: str
    height: int = 0
    admin1: str = ""
    country: str = ""
    country_name: str = ""
    population: int = 0
    geonameid: int = 0

    @property
    def label(self) -> str:
        """"Name, Region, CC" as the CLI prints it."""
        return ", ".join(text for text in (self.name, self.admin1, self.country) if text)

    @property
    def tzinfo(self) -> datetime.tzinfo:
        """The place's clock (zoneinfo)."""
        return _zone(self.zone)

    def location(self, date: Union[Date, datetime.date, None] = None) -> Location:
        """The Location record of the place on `date` (default today): its
        zone's standard offset at local noon, without summer time."""
        if date is None:
            date = datetime.datetime.now(self.tzinfo).date()
        date = _as_date(date)
        day = datetime.date(date.year, date.month, int(date.day))
        return Location(_record_name(self.name), self.latitude, self.longitude, self.height,
                        _standard_hours(self.tzinfo, day))


def _zone(name: str) -> datetime.tzinfo:
    import zoneinfo
    try:
        return zoneinfo.ZoneInfo(name)
    except (zoneinfo.ZoneInfoNotFoundError, ValueError) as error:
        raise VorlinError(f"unknown time zone {name!r}") from error


def _standard_hours(zone: datetime.tzinfo, day: datetime.date) -> float:
    """The zone's offset at local noon of `day` less its summer time, hours."""
    noon = datetime.datetime(day.year, day.month, day.day, 12, tzinfo=zone)
    return ((noon.utcoffset() or datetime.timedelta(0)) -
            (noon.dst() or datetime.timedelta(0))).total_seconds() / 3600.0


def _record_name(name: str) -> str:
    """The name as VorLocation holds it: Latin-1, at most 47 bytes."""
    text = name.encode("latin-1", "replace")[:_NAME_BYTES]
    return text.decode("latin-1")


def _as_location(place, date=None) -> Location:
    if isinstance(place, Place):
        return place.location(date)
    if isinstance(place, str):
        return _place_named(place).location(date)
    return place


def _place_of(record: _VorPlace) -> Place:
    text = lambda raw: raw.decode("utf-8", "replace")  # noqa: E731
    return Place(text(record.name), record.latitude, record.longitude, text(record.zone),
                 record.elevation, text(record.admin1), text(record.countryCode),
                 text(record.countryName), record.population, record.geonameid)


def _search(function, query: str, limit: int) -> List[Place]:
    if not isinstance(query, str) or not query.strip():
        raise VorlinError(f"a place query must be a non-empty str, not {query!r}")
    limit = _integer("limit", limit, 1, 10000)
    out = (_VorPlace * limit)()
    out[0].size = ctypes.sizeof(_VorPlace)
    count = function(query.encode("utf-8"), out, limit)
    if count < 0:
        raise VorlinError(f"the gazetteer refused the query {query!r}")
    return [_place_of(out[i]) for i in range(count)]


def places(query: str, limit: int = 10) -> List[Place]:
    """The places a query names, most populous first: "Name", "Name, Region",
    "Name, Country" or "Name, Region, Country" (any case, with or without
    diacritics, other names and scripts), as `vorlin places` finds them.

    >>> [p.label for p in vorlin.places("Birmingham", 2)]
    ['Birmingham, England, GB', 'Birmingham, Alabama, US']
    """
    return _search(_places_lib().VorFindPlaces, query, limit)


def place(query: str) -> Place:
    """The most populous place a query names (as the CLI's --city takes it);
    VorlinError, with the near names, when there is none.

    >>> vorlin.place("Birmingham, Alabama").zone
    'America/Chicago'
    """
    found = places(query, 1)
    if found:
        return found[0]
    near = _search(_places_lib().VorNearPlaces, query, 5)
    hint = ("; did you mean " + ", ".join(repr(p.label) for p in near) + "?") if near else ""
    raise VorlinError(f"no place named {query!r} in the gazetteer{hint}")


def _place_named(query: str) -> Place:
    return place(query)


def place_data_credit() -> str:
    """The attribution the place data ask for, to be shown with them."""
    lib = _places_lib()
    buffer = ctypes.create_string_buffer(256)
    lib.VorPlaceDataCredit(buffer, len(buffer))
    return buffer.value.decode("utf-8")


# ---------------------------------------------------------------------------
# Hijri calendars.

_MODES = {"observational": 0, "regional": 1, "conjunction-before-noon-utc": 2,
          "umm-al-qura": 3, "tabular": 4}
_CRITERIA = {"default": 0, "yallop": 1, "arcv-width": 2, "danjon": 3}
_LEVELS = {"naked-eye": 0, "optical-aid": 1}
_REGIONS = {"world": 0, "americas": 1}


@dataclasses.dataclass(frozen=True)
class Calendar:
    """Which Hijri calendar a conversion keeps (the CLI's --calendar,
    --criterion, --level and --region).

    mode: "observational" (the crescent seen at the place), "regional" (seen
    anywhere in `region` the evening before), "conjunction-before-noon-utc",
    "umm-al-qura" or "tabular".  criterion: "default", "yallop",
    "arcv-width" or "danjon"; level: "naked-eye" or "optical-aid";
    with_danjon: Danjon's limit as a further condition; region: "world",
    "americas" or a sequence of (latitude, longitude) points (at most 32).

    >>> vorlin.Calendar("regional", criterion="yallop", region="americas")
    """
    mode: str = "observational"
    criterion: str = "default"
    level: str = "naked-eye"
    with_danjon: bool = False
    region: Union[str, Tuple[Tuple[float, float], ...]] = "world"


def _choice(what: str, table: dict, value) -> int:
    if value not in table:
        raise VorlinError(f"unknown {what} {value!r}; expected one of {', '.join(table)}")
    return table[value]


def _as_calendar(calendar, criterion=None, level=None, with_danjon=None, region=None) -> Optional[Calendar]:
    given = {k: v for k, v in (("criterion", criterion), ("level", level),
                               ("with_danjon", with_danjon), ("region", region)) if v is not None}
    if calendar is None:
        if not given:
            return None
        calendar = Calendar()
    if isinstance(calendar, str):
        calendar = Calendar(calendar)
    if not isinstance(calendar, Calendar):
        raise VorlinError(f"expected a vorlin.Calendar or a mode name, not {type(calendar).__name__}")
    if isinstance(calendar.criterion, str) and calendar.criterion.endswith("+danjon"):
        calendar = dataclasses.replace(calendar, criterion=calendar.criterion[:-7], with_danjon=True)
    return dataclasses.replace(calendar, **given)


def _calendar_record(calendar) -> _VorCalendar:
    calendar = _as_calendar(calendar)
    record = _VorCalendar()
    record.size = ctypes.sizeof(_VorCalendar)
    if calendar is None:
        return record
    record.mode = _choice("calendar mode", _MODES, calendar.mode)
    record.criterion = _choice("criterion", _CRITERIA, calendar.criterion)
    record.level = _choice("level", _LEVELS, calendar.level)
    record.withDanjon = 1 if calendar.with_danjon else 0
    if isinstance(calendar.region, str):
        record.region = _choice("region", _REGIONS, calendar.region)
    else:
        points = list(calendar.region)
        if not 1 <= len(points) <= 32:
            raise VorlinError(f"a region of {len(points)} places: from 1 to 32")
        record.region, record.placeCount = 2, len(points)
        for i, (latitude, longitude) in enumerate(points):
            record.places[i][0] = _real("region latitude", latitude, -90.0, 90.0)
            record.places[i][1] = _real("region longitude", longitude, -180.0, 180.0)
    return record


def _calendar_pointer(calendar):
    record = _calendar_record(calendar)
    return ctypes.byref(record) if _as_calendar(calendar) is not None else None


def to_hijri(date: Union[Date, datetime.date], place: Union[Place, Location, str],
             config: Optional[Config] = None, calendar: Union[Calendar, str, None] = None, *,
             criterion: Optional[str] = None, level: Optional[str] = None,
             with_danjon: Optional[bool] = None, region=None) -> HijriDate:
    """The Hijri date of a civil date at a place, by the library's
    observational calendar or `calendar` (a Calendar or a mode name, with
    criterion=, level=, with_danjon=, region= over it).  Raises VorlinError
    for an invalid civil date or one before the Hijri era.

    >>> vorlin.to_hijri(datetime.date(2024, 3, 11), vorlin.place("Makkah"), calendar="umm-al-qura")
    HijriDate(year=1445, month=9, day=1.0)
    """
    calendar = _as_calendar(calendar, criterion, level, with_danjon, region)
    record = _civil_record(date)
    location = _location_record(_as_location(place, _as_date(date)))
    settings = _config_record(config)
    pointer = ctypes.byref(_calendar_record(calendar)) if calendar is not None else None
    if _lib().VorCivilToHijri(pointer, ctypes.byref(record), ctypes.byref(location),
                              ctypes.byref(settings)) != 1 or record.hijriValid != 1:
        raise VorlinError("no Hijri date for this day (before the Hijri era, or refused)")
    return HijriDate(record.hijriYear, record.hijriMonth, record.hijriDay)


def to_civil(hijri: Union[HijriDate, Date], place: Union[Place, Location, str],
             config: Optional[Config] = None, calendar: Union[Calendar, str, None] = None, *,
             criterion: Optional[str] = None, level: Optional[str] = None,
             with_danjon: Optional[bool] = None, region=None) -> Date:
    """The civil date of a Hijri date at a place (the inverse of to_hijri in
    the same calendar): a new Date with the civil fields and the Hijri date.

    >>> vorlin.to_civil(vorlin.HijriDate(1445, 10, 1), vorlin.place("Makkah"), calendar="umm-al-qura")
    Date(year=2024, month=4, day=10.0, ...)
    """
    if isinstance(hijri, Date):
        hijri = hijri.hijri
    if not isinstance(hijri, HijriDate):
        raise VorlinError(f"expected a vorlin.HijriDate, not {type(hijri).__name__}")
    calendar = _as_calendar(calendar, criterion, level, with_danjon, region)
    given = Date(0, 0, 0.0, hijri_year=hijri.year, hijri_month=hijri.month, hijri_day=hijri.day)
    if not _valid(_date_record(given), True):
        raise VorlinError(f"{hijri.year}-{hijri.month:02d}-{hijri.day:g} AH is not a valid Hijri date")
    settings = _config_record(config)

    def convert(location: Location) -> _VorDate:
        record, where = _date_record(given), _location_record(location)
        pointer = ctypes.byref(_calendar_record(calendar)) if calendar is not None else None
        if _lib().VorHijriToCivil(pointer, ctypes.byref(record), ctypes.byref(where),
                                  ctypes.byref(settings)) != 1:
            raise VorlinError(f"{hijri.year}-{hijri.month:02d}-{hijri.day:g} AH has no civil date "
                              "here (a day 30 of a month of 29 days?)")
        return record

    location = _as_location(place)
    record = convert(location)
    if isinstance(place, (Place, str)):
        # The zone's standard offset of the civil date found, if it differs.
        again = _as_location(place, Date(record.year, record.month, float(int(record.day))))
        if again != location:
            record = convert(again)
    return dataclasses.replace(given, year=record.year, month=record.month, day=record.day,
                               hour=record.hour, minute=record.minute, second=record.second)


# ---------------------------------------------------------------------------
# Qibla, the Moon and the young crescent.

def qibla(place: Union[Place, Location, str], date: Union[Date, datetime.date, None] = None) -> Qibla:
    """Qibla direction (degrees from true north), distance to the Kaaba (km)
    and the magnetic declination (degrees east, from the World Magnetic Model
    valid for the date: WMM2000 before 2005 ... WMM2025 from 2025) at the
    place on `date` (default today; only its year, month and day matter).

    >>> round(vorlin.qibla(vorlin.place("London"), datetime.date(2024, 1, 1)).direction, 1)
    119.0
    """
    if date is None:
        date = datetime.date.today()
    location = _location_record(_as_location(place, date))
    record = _civil_record(date)
    direction, distance, declination = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
    _lib().VorQiblaInfo(ctypes.byref(location), ctypes.byref(record), ctypes.byref(direction),
                        ctypes.byref(distance), ctypes.byref(declination))
    return Qibla(direction.value, distance.value, declination.value)


def moon(date: Union[Date, datetime.date], place: Union[Place, Location, str],
         config: Optional[Config] = None) -> str:
    """The moon information report of moon_info for a place of the
    gazetteer (or a Location): moonrise, transit and set, new moons, the
    Moon at sunset and the possible start of the next month."""
    return moon_info(date, _as_location(place, date), config)


@dataclasses.dataclass(frozen=True)
class CrescentGeometry:
    """The Moon and the Sun at one instant, degrees: elongation (arcl) and
    altitude difference (arcv) geocentric and topocentric, the azimuth
    difference, the crescent's width (arc minutes), the illuminated
    fraction and the apparent altitudes."""
    time: Optional[datetime.datetime]
    arcl_geo: float
    arcl_topo: float
    arcv_geo: float
    arcv_topo: float
    daz: float
    width_arcmin: float
    illuminated: float
    moon_altitude: float
    sun_altitude: float


class Criterion(NamedTuple):
    """A criterion's number and verdict: default and danjon "V" (passes) or
    "N"; yallop "A".."F"; arcv-width "A".."D"."""
    value: Optional[float]
    zone: str


@dataclasses.dataclass(frozen=True)
class Crescent:
    """The young crescent on one evening at a place (VorCrescentEvening):
    times on the place's clock, None when they do not exist; `criteria`
    maps "default", "yallop", "arcv-width" and "danjon" to a Criterion."""
    date: datetime.date
    has_evening: bool
    sunset: Optional[datetime.datetime]
    moonset: Optional[datetime.datetime]
    best_time: Optional[datetime.datetime]
    lag_minutes: Optional[float]
    conjunction_geocentric: Optional[datetime.datetime]
    conjunction_topocentric: Optional[datetime.datetime]
    age_geocentric_hours: Optional[float]
    age_topocentric_hours: Optional[float]
    at_sunset: Optional[CrescentGeometry]
    at_best_time: Optional[CrescentGeometry]
    criteria: Dict[str, Criterion]


def _number(value: float) -> Optional[float]:
    return None if math.isnan(value) else value


def _instant(unix: float, zone: datetime.tzinfo) -> Optional[datetime.datetime]:
    if math.isnan(unix) or math.isinf(unix):
        return None
    return datetime.datetime.fromtimestamp(round(unix), datetime.timezone.utc).astimezone(zone)


def _clock_of(place, location: Location, tz=None) -> datetime.tzinfo:
    if tz is not None:
        return _zone(tz) if isinstance(tz, str) else tz
    if isinstance(place, Place):
        return place.tzinfo
    return datetime.timezone(datetime.timedelta(hours=location.time_zone))


def crescent(date: Union[Date, datetime.date], place: Union[Place, Location, str],
             config: Optional[Config] = None, *, tz=None) -> Crescent:
    """Can the new crescent be seen at the place on the evening of `date`?
    The evening's data and every criterion's value and verdict, as
    `vorlin crescent` gives them.

    >>> c = vorlin.crescent(datetime.date(2024, 4, 9), vorlin.place("London"))
    >>> c.criteria["yallop"].zone, round(c.lag_minutes)
    ('A', 85)
    """
    if isinstance(place, str):
        place = _place_named(place)
    location = _as_location(place, date)
    record, where, settings = _civil_record(date), _location_record(location), _config_record(config)
    out = _VorCrescent()
    out.size = ctypes.sizeof(out)
    _lib().VorCrescentEvening(ctypes.byref(record), ctypes.byref(where), ctypes.byref(settings),
                              ctypes.byref(out))
    if out.status == 0 and all(math.isnan(v) for v in out.criterionValue) and \
            not any(out.criterionZone):
        raise VorlinError("the library refused this date or place")
    zone = _clock_of(place, location, tz)

    def geometry(g, unix):
        if out.status != 1:
            return None
        return CrescentGeometry(_instant(unix, zone), g.arclGeo, g.arclTopo, g.arcvGeo, g.arcvTopo,
                                g.daz, g.widthArcmin, g.illuminated, g.moonAltitude, g.sunAltitude)

    zones = bytes(out.criterionZone)
    criteria = {name: Criterion(_number(out.criterionValue[i]), chr(zones[i]) if zones[i] else "")
                for name, i in _CRITERIA.items()}
    return Crescent(datetime.date(record.year, record.month, int(record.day)), out.status == 1,
                    _instant(out.sunsetUnix, zone), _instant(out.moonsetUnix, zone),
                    _instant(out.bestTimeUnix, zone), _number(out.lagMinutes),
                    _instant(out.conjunctionGeoUnix, zone), _instant(out.conjunctionTopoUnix, zone),
                    _number(out.ageGeoHours), _number(out.ageTopoHours),
                    geometry(out.atSunset, out.sunsetUnix), geometry(out.atBest, out.bestTimeUnix),
                    criteria)


# ---------------------------------------------------------------------------
# The year's occasions.

class Event(NamedTuple):
    """An occasion: its key ("new-year", "ashura", "ramadan", "eid-al-fitr",
    "arafah", "eid-al-adha"), its Hijri date and its civil date at the place
    (the Hijri day begins at the sunset before it)."""
    key: str
    hijri: HijriDate
    date: datetime.date


_OCCASIONS = (("new-year", 1, 1), ("ashura", 1, 10), ("ramadan", 9, 1), ("eid-al-fitr", 10, 1),
              ("arafah", 12, 9), ("eid-al-adha", 12, 10))


def events(year: int, place: Union[Place, Location, str], calendar: Union[Calendar, str, None] = None,
           config: Optional[Config] = None, **calendar_options) -> List[Event]:
    """The occasions of the Hijri year `year` at the place: 1 and 10
    Muharram, 1 Ramadan, 1 Shawwal, 9 and 10 Dhu al-Hijja, with their civil
    dates by `calendar` (as to_civil).

    >>> [(e.key, e.date.isoformat()) for e in vorlin.events(1445, "Makkah", "umm-al-qura")][2]
    ('ramadan', '2024-03-11')
    """
    year = _integer("year", year, 1, 9666)
    if isinstance(place, str):
        place = _place_named(place)
    result = []
    for key, month, day in _OCCASIONS:
        hijri = HijriDate(year, month, float(day))
        civil = to_civil(hijri, place, config, calendar, **calendar_options)
        result.append(Event(key, hijri, datetime.date(civil.year, civil.month, int(civil.day))))
    return result


# ---------------------------------------------------------------------------
# The day's times at a place of the gazetteer, and the next prayer.

def times(date, place: Union[Place, Location, str], method: str = "MWL", *, tz=None,
          calendar: Union[Calendar, str, None] = None, **settings):
    """The day's times through the library's structured interface.

    `date` is a date (one day: a DayTimes) or a (first, last) pair of dates
    (every day from first to last, at most 3,660: a list of DayTimes).
    `place` is a Place (or a query for `place()`): times are then on the
    clock of its zone, summer time included, or of `tz` (a tzinfo or an IANA
    name), to the nearest second, the instants `vorlin times --format json`
    gives; a Location: on its standard clock (time_zone, summer time not
    applied) or `tz`, to the millisecond.  `calendar` (a Calendar or a mode name) decides which
    days are in Ramadan.  `method` is a named method (`methods()`);
    keywords change its settings: fajr_angle, isha_angle (degrees below the
    horizon), isha_minutes, isha_minutes_ramadan, maghrib_angle,
    maghrib_minutes, imsak_angle, imsak_minutes, asr_factor (1, 2),
    high_latitude ("default", "none", "middle-of-night", "seventh-of-night",
    "twilight-angle" or a rule 1..9), midnight ("standard", "jafari"),
    twilight ("angles", "seasonal"), shafaq, rounding ("seconds",
    "nearest", "up", "down"), adjust ({"dhuhr": 2, ...}), horizon_height,
    distance_km, temperature, pressure, safety_seconds.

    >>> day = vorlin.times(datetime.date(2024, 3, 31), vorlin.place("London"))
    >>> day.fajr.time.isoformat()
    '2024-03-31T05:02:19+01:00'
    """
    if calendar is not None:
        settings["calendar"] = calendar
    if isinstance(place, str):
        place = _place_named(place)
    single = not isinstance(date, tuple)
    if not isinstance(place, Place):
        result = _times_of_location(date, place, method, **settings)
        if tz is None:
            return result
        zone = _clock_of(place, place, tz)
        days = [result] if single else result
        days = [_on_clock(day, zone) for day in days]
        return days[0] if single else days
    first, last = (date, date) if single else date
    first, last = _as_date(first), _as_date(last)
    start = datetime.date(first.year, first.month, int(first.day))
    end = datetime.date(last.year, last.month, int(last.day))
    if not 1 <= (end - start).days + 1 <= 3660:
        raise VorlinError(f"a range of {(end - start).days + 1} days: from 1 to 3660 days")
    zone = place.tzinfo
    clock = _zone(tz) if isinstance(tz, str) else (tz or zone)
    result, day = [], start
    while day <= end:
        # One call for each run of days on the same standard offset.
        offset, run_end = _standard_hours(zone, day), day
        while run_end < end and _standard_hours(zone, run_end + datetime.timedelta(days=1)) == offset:
            run_end += datetime.timedelta(days=1)
        location = Location(_record_name(place.name), place.latitude, place.longitude, place.height, offset)
        run = _times_of_location((day, run_end), location, method, True, **dict(settings))
        result.extend(_on_clock(d, clock) for d in run)
        day = run_end + datetime.timedelta(days=1)
    return result[0] if single else result


def _on_clock(day: DayTimes, zone: datetime.tzinfo) -> DayTimes:
    moved = {name: getattr(day, name)._replace(
        time=None if getattr(day, name).time is None else getattr(day, name).time.astimezone(zone))
        for name in _EVENTS}
    return dataclasses.replace(day, **moved)


class NextPrayer(NamedTuple):
    """The next prayer: its name ("fajr", "sunrise", "dhuhr", "asr",
    "maghrib", "isha") and its time on the place's clock."""
    name: str
    time: datetime.datetime


_PRAYERS = ("fajr", "sunrise", "dhuhr", "asr", "maghrib", "isha")


def next_prayer(place: Union[Place, str], at: Optional[datetime.datetime] = None,
                method: str = "MWL", **settings) -> NextPrayer:
    """The first of Fajr, sunrise, Dhuhr, Asr, Maghrib and Isha'a after `at`
    (default now; a naive datetime is on the place's clock).  Times that do
    not exist on a day (polar day or night) are passed over.

    >>> vorlin.next_prayer("Makkah", datetime.datetime(2024, 3, 11, 13, 0))
    NextPrayer(name='asr', time=datetime.datetime(2024, 3, 11, 15, 50, ...))
    """
    if isinstance(place, str):
        place = _place_named(place)
    zone = place.tzinfo
    if at is None:
        at = datetime.datetime.now(zone)
    elif at.tzinfo is None:
        at = at.replace(tzinfo=zone)
    today = at.astimezone(zone).date()
    days = times((today - datetime.timedelta(days=1), today + datetime.timedelta(days=2)),
                 place, method, **settings)
    for day in days:
        for name in _PRAYERS:
            moment = getattr(day, name).time
            if moment is not None and moment > at:
                return NextPrayer(name, moment)
    raise VorlinError("no prayer time in the next two days at this place")

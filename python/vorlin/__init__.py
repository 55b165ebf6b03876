"""Python binding of the Vorlin library (standard library ctypes only).

Prayer times, an observational Hijri calendar, moon information and the
qibla for a place and a date::

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
ctypes.util.find_library("vorlin").
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
from typing import NamedTuple, Optional, Union

__all__ = [
    "VorlinError", "Fiqh", "Precision", "Span", "Date", "HijriDate", "Location", "Config",
    "Qibla", "is_valid_date", "to_hijri", "to_civil", "prayer_schedule", "moon_info",
    "qibla", "library_path",
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


def to_hijri(date: Union[Date, datetime.date], location: Location,
             config: Optional[Config] = None) -> HijriDate:
    """The Hijri date of a civil date at a place (observational: a month
    begins on the day after the evening the crescent is seen there).
    Raises VorlinError for an invalid civil date or one before the Hijri era."""
    record = _civil_record(date)
    place, settings = _location_record(location), _config_record(config)
    if _lib().VorAdToIslamic(ctypes.byref(record), ctypes.byref(place),
                             ctypes.byref(settings)) != 1 or record.hijriValid != 1:
        raise VorlinError("no Hijri date for a day before the Hijri era")
    return HijriDate(record.hijriYear, record.hijriMonth, record.hijriDay)


def to_civil(hijri: Union[HijriDate, Date], location: Location,
             config: Optional[Config] = None) -> Date:
    """The civil date of a Hijri date at a place: a new Date with the civil
    fields (and hour, minute, second) and the given Hijri date."""
    if isinstance(hijri, Date):
        hijri = hijri.hijri
    if not isinstance(hijri, HijriDate):
        raise VorlinError(f"expected a vorlin.HijriDate, not {type(hijri).__name__}")
    given = Date(0, 0, 0.0, hijri_year=hijri.year, hijri_month=hijri.month, hijri_day=hijri.day)
    record = _date_record(given)
    if not _valid(record, True):
        raise VorlinError(f"{hijri.year}-{hijri.month:02d}-{hijri.day:g} AH is not a valid Hijri date")
    place, settings = _location_record(location), _config_record(config)
    if _lib().VorIslamicToAd(ctypes.byref(record), ctypes.byref(place),
                             ctypes.byref(settings)) != 1:
        raise VorlinError(f"{hijri.year}-{hijri.month:02d}-{hijri.day:g} AH could not be converted")
    return dataclasses.replace(given, year=record.year, month=record.month, day=record.day,
                               hour=record.hour, minute=record.minute, second=record.second)


def _report(export, date, location, config) -> str:
    record = _civil_record(date)
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


def qibla(location: Location, date: Union[Date, datetime.date]) -> Qibla:
    """Qibla direction (degrees from true north), distance to the Kaaba (km)
    and the magnetic declination (degrees east, from the World Magnetic Model
    valid for the date: WMM2000 before 2005 ... WMM2025 from 2025) at the
    place on `date` (only its year, month and day matter)."""
    place, record = _location_record(location), _civil_record(date)
    direction, distance, declination = ctypes.c_double(), ctypes.c_double(), ctypes.c_double()
    _lib().VorQiblaInfo(ctypes.byref(place), ctypes.byref(record), ctypes.byref(direction),
                        ctypes.byref(distance), ctypes.byref(declination))
    return Qibla(direction.value, distance.value, declination.value)

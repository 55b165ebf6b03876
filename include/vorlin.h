/*
 * vorlin.h - public interface of the Vorlin library.
 *
 * Vorlin computes Islamic prayer times, an observational Hijri calendar,
 * moon information and the qibla for a place and a date.  A host keeps
 * three records (a date, a place, the calculation settings) and calls six
 * functions (the two reports also in a form that takes the buffer's size);
 * the day's times as numbers, the Hijri calendars and the evening's crescent
 * come through versioned records of their own (below).  This header is the
 * whole contract: record layouts, units, calling convention and buffer rules.
 *
 * Records
 *   The three records have fixed little-endian layouts shared with
 *   separately built hosts (offsets are checked below): 32-bit int,
 *   IEEE single `float`, IEEE double `double` aligned on 8 bytes.
 *
 * Units at the boundary
 *   Latitude and longitude in degrees (north and east positive), the
 *   configuration angles in degrees, timeZone in hours east of Greenwich.
 *   While a call runs, the library converts the location's latitude and
 *   longitude in place to radians and back (multiplying by pi/180 and then
 *   by 180/pi), so a host may find them changed in the last bit or two.
 *   A location record must therefore not be shared by two calls running at
 *   the same time; separate records may be used from separate threads.
 *
 * Calling convention
 *   VORLIN_CALL is __stdcall on 32-bit Windows (the DLL exports the plain,
 *   undecorated names) and empty elsewhere.  All functions have C linkage.
 *
 * Text reports
 *   VorCalculate and VorMoonInfo write a NUL-terminated single-byte report
 *   (degree sign 0xB0, lines ending in "\n") from the first byte of `text`.
 *   They take no size: the caller supplies a buffer large enough for the
 *   longest report it asks for (sizes below).  VorCalculateN and
 *   VorMoonInfoN take the buffer's capacity, never write past it and return
 *   the length the whole report needs, so a host can size its buffer in two
 *   calls.
 *
 * Buffer sizes for the reports (NUL included), at most:
 *   one day about 1.5 kB, one month about 4 kB, a year schedule (Gregorian or
 *   Hijri months, seconds) about 41 kB, a twelve-month moon report about
 *   40 kB.  A buffer of 64 KiB holds any report.  No report writes beyond
 *   its own final length and NUL.
 *
 * Bad input
 *   Every function gives a defined result for any record contents: a
 *   latitude, longitude or time zone that is not a finite number (or a
 *   latitude beyond +-90 degrees, a time zone beyond +-24 hours) makes a
 *   report whose values read "NotValid" and a conversion that returns 0;
 *   table indexes out of range print "?"; the place name is printed with
 *   at most 48 bytes.  Nothing outside the caller's records and buffer is
 *   written.  A report for a civil month outside 1..12 rolls over into the
 *   neighbouring year, as the calendar arithmetic does; a conversion or a
 *   magnetic declination for such a date has no value.  Record and output
 *   pointers must not be NULL (only the text of the N forms may be NULL,
 *   with a capacity of 0).
 *
 * Stack
 *   A year schedule keeps its day tables on the stack of the call: allow
 *   about 48 KB of stack for VorCalculate/VorCalculateN (a few KB for the
 *   other functions).
 *
 * Month starts shared between calls
 *   The one state the library keeps from call to call is a memory of the
 *   Hijri month starts its conversions have computed (VorAdToIslamic,
 *   VorIslamicToAd, VorCivilToHijri, VorHijriToCivil, the Hijri dates of
 *   the schedule reports and the Ramadan check of VorTimesOfDay and
 *   VorTimesOfRange), so that
 *   converting today's date again, or day after day, costs microseconds
 *   instead of a third of a millisecond.  A month start is kept under
 *   everything that decides it, compared bit for bit: the lunation, the
 *   place's latitude, longitude, height, time zone and summer-time rules
 *   (not its name), every field of the VorConfig but `reserved`, and for a
 *   VorCalendar other than the library's own its mode, criterion, level,
 *   withDanjon, region and places.  Results are therefore identical, bit
 *   for bit, to those computed afresh.  The memory is bounded: two fixed
 *   tables in static storage, 256 month starts of the library's calendar
 *   (about 30 KB) and 64 of the other calendars (about 75 KB); when a table
 *   is full the oldest month start gives way.  Nothing is allocated.  The
 *   tables are guarded by a mutex, so every function stays safe to call
 *   from any number of threads at once (on separate location records, as
 *   above).  The reports' own text (new moons, the Moon at sunset) is always
 *   computed afresh.
 */
#ifndef VORLIN_H
#define VORLIN_H

/*
 * Version of the library this header belongs to.  The shared library's
 * soname carries the major number (libvorlin.so.0); hosts built against
 * one major version run with any later release of the same major version.
 */
#define VORLIN_VERSION_MAJOR 0
#define VORLIN_VERSION_MINOR 1
#define VORLIN_VERSION_PATCH 0
#define VORLIN_VERSION "0.1.0"

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define VORLIN_CALL __stdcall
#else
#define VORLIN_CALL
#endif

#if defined(_WIN32)
#if defined(VORLIN_BUILDING_LIBRARY)
#define VORLIN_API __declspec(dllexport)
#else
#define VORLIN_API
#endif
#elif defined(__GNUC__)
#define VORLIN_API __attribute__((visibility("default")))
#else
#define VORLIN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * VorDate (40 bytes): one date, civil and Hijri side by side.
 *   year        civil year, astronomical numbering (0 = 1 BC); Julian calendar
 *               up to 1582-10-04, Gregorian from 1582-10-15
 *   hijriYear   Hijri year (AH), 1 or more
 *   month       civil month 1..12
 *   hijriMonth  Hijri month 1 (Muharram) .. 12 (Thu Al-Hijja)
 *   day         civil day of the month 1..31; a fraction is the time of day
 *   hijriDay    Hijri day of the month 1..30, may carry a fraction
 *   hijriValid  1 when the Hijri fields hold the conversion of this very date
 *   hour, minute, second   written with the civil date by conversions; never read
 */
typedef struct VorDate {
    int32_t year;            /* offset 0 */
    int32_t hijriYear;       /* offset 4 */
    uint8_t month;           /* offset 8 */
    uint8_t hijriMonth;      /* offset 9 */
    uint8_t reserved1[6];    /* offset 10: never read or written */
    double day;              /* offset 16 */
    double hijriDay;         /* offset 24 */
    int32_t hijriValid;      /* offset 32 */
    uint8_t hour;            /* offset 36 */
    uint8_t minute;          /* offset 37 */
    uint8_t second;          /* offset 38 */
    uint8_t reserved2;       /* offset 39: never read or written */
} VorDate;

/*
 * VorLocation (80 bytes): the observer's place.
 *   name         place name, NUL-terminated, printed in report headers
 *   latitude     geodetic latitude, degrees north positive (radians inside a call)
 *   longitude    longitude, degrees east positive (radians inside a call)
 *   height       metres above sea level
 *   timeZone     standard-time offset in hours east of Greenwich (fractions allowed)
 *   summerStart  first day of summer time as a rule, 0 = no summer time
 *   summerEnd    day on which summer time ends, as a rule
 * A rule packs the month into bits 8 and up and a day code into bits 0..7:
 * 1..31 is that day of the month; 32..66 is k = code - 32, occurrence k mod 5
 * (first, second, third, fourth, last) of weekday k div 5 (0 Monday .. 6
 * Sunday).  Examples: 834 last Sunday of March, 2626 last Sunday of October,
 * 1086 first Sunday of April, 789 the 21st of March.
 */
typedef struct VorLocation {
    char name[48];           /* offset 0 */
    double latitude;         /* offset 48 */
    double longitude;        /* offset 56 */
    int32_t height;          /* offset 64 */
    float timeZone;          /* offset 68 */
    int32_t summerStart;     /* offset 72 */
    int32_t summerEnd;       /* offset 76 */
} VorLocation;

/*
 * VorConfig (68 bytes): the calculation settings.  Angles in degrees.
 *   imsakAngle, fajrAngle, ishaAngle  altitude of the Sun's centre defining
 *                      Imsak, Fajr, Isha'a (negative below the horizon)
 *   fiqh               0 Jafari, 1 Shafi'i, 2 Hanafi, 3 Maliki, 4 Hanbali
 *   distanceKm         radius of the area the times must hold for; <= 0 off
 *   precision          0 times to the second, 1 to the minute
 *   maghribMinutes     minutes added to Maghrib
 *   temperature        degrees Celsius, for refraction
 *   pressure           millibar, for refraction; 0 = derived from height
 *   safetySeconds      seconds of precaution applied to the event times
 *   toleranceSeconds   stop tolerance of the rise/transit/set iteration
 *   crescentThreshold  degrees; crescent criterion (Moon altitude above the
 *                      Sun plus topocentric elongation at sunset)
 *   highLatitudeRule   0..9, rule for days on which events do not occur
 *   scheduleFlags      (flags & 0x300): 0 one day, 0x100 one month,
 *                      0x200/0x300 a year; 0x1000 months are Hijri months
 *   hijriAdjustDays    whole days added before the Hijri date is determined
 *   fajrIshaMinutes    minutes before sunrise / after sunset for rule 9
 */
typedef struct VorConfig {
    float imsakAngle;        /* offset 0 */
    float fajrAngle;         /* offset 4 */
    float ishaAngle;         /* offset 8 */
    int32_t fiqh;            /* offset 12 */
    int32_t distanceKm;      /* offset 16 */
    int32_t precision;       /* offset 20 */
    int32_t maghribMinutes;  /* offset 24 */
    int32_t temperature;     /* offset 28 */
    int32_t pressure;        /* offset 32 */
    int32_t reserved;        /* offset 36: not read by the library */
    int32_t safetySeconds;   /* offset 40 */
    int32_t toleranceSeconds;/* offset 44 */
    float crescentThreshold; /* offset 48 */
    int32_t highLatitudeRule;/* offset 52 */
    uint32_t scheduleFlags;  /* offset 56 */
    int32_t hijriAdjustDays; /* offset 60 */
    int32_t fajrIshaMinutes; /* offset 64 */
} VorConfig;

/* scheduleFlags values. */
#define VOR_SPAN_MASK    0x300u
#define VOR_SPAN_DAY     0x000u
#define VOR_SPAN_MONTH   0x100u
#define VOR_SPAN_YEAR    0x200u
#define VOR_HIJRI_MONTHS 0x1000u

/*
 * Is the date valid?  hijri = 0 checks year, month and day (the ten days
 * 1582-10-05..14 do not exist); any other value checks hijriYear >= 1,
 * hijriMonth 1..12 and 1.0 <= hijriDay <= 30.0.  Returns 1 valid, 0 invalid.
 * Reads nothing else and changes nothing.
 */
VORLIN_API int VORLIN_CALL VorisValidDate(VorDate *date, int hijri);

/*
 * Civil to Hijri date for the place: reads year, month, day; writes
 * hijriYear, hijriMonth, hijriDay and hijriValid.  Returns 1 done, 0 not
 * possible (a date before the Hijri era or after 9999-12-31, as the day's
 * times end there: hijriValid 0, Hijri fields untouched).
 * Months have 29 or 30 days, but near the polar circles, where the month
 * starts of some lunations are taken nearer the equator, from 26 to 35.
 */
VORLIN_API int VORLIN_CALL VorAdToIslamic(VorDate *date, VorLocation *location,
                                          VorConfig *config);

/*
 * Hijri to civil date for the place, the exact inverse of VorAdToIslamic:
 * reads hijriYear, hijriMonth, hijriDay; writes year, month, day, hour,
 * minute, second: the civil day that VorAdToIslamic, with the same place
 * and settings, gives hijriYear, hijriMonth and the whole part of hijriDay
 * (a fraction of hijriDay becomes the time of day).  Returns 1 done, 0 not
 * possible, record untouched: the place's calendar has no such day (day 30
 * of a month that has 29 days there, a day below 1), the day lies before
 * the era (VorAdToIslamic refuses 16 July 622, on which 1 Muharram 1 falls
 * at Makkah), or no month start can be computed.
 * A Hijri date whose civil day would come after 9999-12-31 is refused too
 * (beyond, the month starts would rest on a Delta T extrapolated by days
 * and more, and the two directions would stop being inverses).
 */
VORLIN_API int VORLIN_CALL VorIslamicToAd(VorDate *date, VorLocation *location,
                                          VorConfig *config);

/* Prayer schedule report for a day, a month or a year into `text`. */
VORLIN_API void VORLIN_CALL VorCalculate(VorDate *date, VorLocation *location,
                                         VorConfig *config, char *text);

/* Moon information report for a day, a month or a year into `text`. */
VORLIN_API void VORLIN_CALL VorMoonInfo(VorDate *date, VorLocation *location,
                                        VorConfig *config, char *text);

/*
 * VorCalculate and VorMoonInfo into a buffer of known size.
 *   text, capacity  a buffer of capacity bytes; text may be NULL when
 *                   capacity is 0, and a negative capacity counts as 0
 *   returns         the length of the whole report without its NUL, also
 *                   when it does not fit (the snprintf convention)
 * At most capacity bytes are written: the first capacity - 1 bytes of the
 * report and a NUL (nothing when capacity is 0).  A buffer of the returned
 * length + 1 holds the whole report, the same text the function without N
 * writes.  Capacity and result are 32-bit on every platform.
 */
VORLIN_API int32_t VORLIN_CALL VorCalculateN(VorDate *date, VorLocation *location,
                                             VorConfig *config, char *text, int32_t capacity);
VORLIN_API int32_t VORLIN_CALL VorMoonInfoN(VorDate *date, VorLocation *location,
                                            VorConfig *config, char *text, int32_t capacity);

/*
 * Qibla: *direction in degrees clockwise from true north in [0, 360),
 * *distance in km along the earth ellipsoid, *declination (magnetic) in
 * degrees, east positive.  Of `date` only year, month and day are read.
 */
VORLIN_API void VORLIN_CALL VorQiblaInfo(VorLocation *location, VorDate *date,
                                         double *direction, double *distance,
                                         double *declination);

/*
 * ---------------------------------------------------------------------------
 * The day's times as numbers, by any method.
 *
 * Versioned records: the first field is the record's size in bytes, set by
 * the host (sizeof as its header knows it).  The library reads and writes
 * no more than that size, so a host built against an older, shorter record
 * keeps working when the record grows; fields it does not know take their
 * defaults.
 */

/* VorCalendar.mode */
#define VOR_CALENDAR_OBSERVATIONAL 0        /* the crescent seen at the observer's place */
#define VOR_CALENDAR_REGIONAL 1             /* the crescent seen anywhere in a region */
#define VOR_CALENDAR_CONJUNCTION_NOON_UTC 2 /* the day after a conjunction before 12:00 UTC */
#define VOR_CALENDAR_UMM_AL_QURA 3          /* Makkah's rule for the 29th day */
#define VOR_CALENDAR_TABULAR 4              /* the arithmetic 30-year cycle */

/* VorCalendar.criterion, and the index of VorCrescent.criterionValue/Zone */
#define VOR_CRITERION_DEFAULT 0    /* the library's test: crescentThreshold */
#define VOR_CRITERION_YALLOP 1     /* Yallop's q, zones A..F */
#define VOR_CRITERION_ARCV_WIDTH 2 /* ARCV against width (Odeh's V), zones A..D */
#define VOR_CRITERION_DANJON 3     /* elongation of 7 degrees or more */
#define VOR_CRITERION_COUNT 4

/* VorCalendar.level */
#define VOR_LEVEL_NAKED_EYE 0
#define VOR_LEVEL_OPTICAL_AID 1

/* VorCalendar.region */
#define VOR_REGION_WORLD 0    /* places every 5 degrees of latitude (60 S..60 N), 6 of longitude */
#define VOR_REGION_AMERICAS 1 /* the same grid over 55 S..60 N, 170 W..30 W */
#define VOR_REGION_PLACES 2   /* places[0 .. placeCount - 1] */

#define VOR_CALENDAR_MAX_PLACES 32

/*
 * VorCalendar (544 bytes): which Hijri calendar a conversion keeps.  A record
 * of zeros with its size set is the library's own calendar, the one of
 * VorAdToIslamic and VorIslamicToAd (observational, the default test).
 *   size         sizeof(VorCalendar)
 *   mode         VOR_CALENDAR_*
 *   criterion    VOR_CRITERION_*: the crescent rule of the observational and
 *                regional modes
 *   level        VOR_LEVEL_*: how well the criterion's zone must say the
 *                crescent is seen (yallop: A-B naked eye, A-D optical aid;
 *                arcv-width: A, A-C; default and danjon: the same at both)
 *   withDanjon   1: Danjon's limit as a further condition; 0: not
 *   region       VOR_REGION_*: the region of the regional mode
 *   placeCount   0..32: the places of VOR_REGION_PLACES (1 or more there)
 *   reserved     not read
 *   places       latitude and longitude in degrees (north and east
 *                positive, longitude within +-180); each place keeps the
 *                civil date of the zone of its longitude (longitude / 15,
 *                rounded)
 * Every field is checked whatever the mode; a field beyond the host's size
 * takes its zero, but places counted by placeCount must lie within it.
 * The observational and regional months have 29 or 30 days; in every mode
 * a month's year and month are named by the tabular calendar a few days
 * after its first day, hijriAdjustDays moves the civil date, and the two
 * conversions are exact inverses.
 */
typedef struct VorCalendar {
    int32_t size;            /* offset 0 */
    int32_t mode;            /* offset 4 */
    int32_t criterion;       /* offset 8 */
    int32_t level;           /* offset 12 */
    int32_t withDanjon;      /* offset 16 */
    int32_t region;          /* offset 20 */
    int32_t placeCount;      /* offset 24 */
    int32_t reserved;        /* offset 28: not read */
    double places[32][2];    /* offset 32: VOR_CALENDAR_MAX_PLACES x (latitude, longitude) */
} VorCalendar;

/*
 * VorTimesSettings (728 bytes): how the times are computed.  Start from
 * VorDefaultTimesSettings or VorMethodSettings and change what you need.
 * Angles are degrees below the horizon (18 and -18 both mean 18 below).
 *   size                sizeof(VorTimesSettings)
 *   asrFactor           Asr shadow factor: 1 (the majority), 2 (Hanafi)
 *   fajrAngle, ishaAngle
 *   ishaMinutes         > 0: Isha'a that many minutes after Maghrib (no angle)
 *   ishaMinutesRamadan  > 0: instead, in Hijri month 9 at the place
 *   maghribAngle        > 0: Maghrib when the Sun is that far below (used when
 *                       that lies after sunset and before Isha'a); 0: sunset
 *   maghribMinutes      minutes added to Maghrib
 *   imsakAngle          > 0: Imsak by this angle; 0: one degree deeper than Fajr
 *   imsakMinutes        > 0: Imsak that many minutes before Fajr (no angle)
 *   adjust[7]           minutes added at the end to Imsak, Fajr, sunrise,
 *                       Dhuhr, Asr (both), Maghrib, Isha'a
 *   highLatitude        VOR_HIGHLAT_*: -1 default (the seventh of the night
 *                       from 48 degrees of latitude), 0 none, 1..9 the
 *                       library's rules (VorConfig.highLatitudeRule), 10
 *                       middle of the night, 11 seventh of the night, 12
 *                       twilight angle (angle/60 of the night)
 *   fajrIshaMinutes     minutes of rule 9
 *   midnight            0 standard (sunset to sunrise), 1 Jafari (sunset to Fajr)
 *   twilight            0 by the angles, 1 the seasonal bounds (Moonsighting
 *                       Committee)
 *   shafaq              of the seasonal Isha'a: 0 general, 1 ahmer, 2 abyad
 *   rounding            0 none (fractions of a second), to whole minutes:
 *                       1 nearest, 2 up, 3 down
 *   distanceKm          area the times must hold for (0 none)
 *   horizonHeight       metres of the eye above the visible horizon (the
 *                       dip); the location's height gives the pressure only
 *   temperature, pressure   Celsius and millibar for refraction (pressure 0:
 *                       from the location's height)
 *   toleranceSeconds    stop tolerance of the solver (less than 1 counts as 1)
 *   safetySeconds       subtracted from Imsak and sunrise, added to the others
 *   crescentThreshold, hijriAdjustDays   the Hijri calendar that says which
 *                       days are Ramadan (as in VorConfig)
 *   calendar            and in which calendar (VorCalendar above): a record of
 *                       zeros (size 0 too), or one the host's size does not
 *                       reach, is the library's; a size below 8 otherwise is
 *                       unusable.  The defaults and the methods leave it zero.
 */
typedef struct VorTimesSettings {
    int32_t size;               /* offset 0 */
    int32_t asrFactor;          /* offset 4 */
    double fajrAngle;           /* offset 8 */
    double ishaAngle;           /* offset 16 */
    double ishaMinutes;         /* offset 24 */
    double ishaMinutesRamadan;  /* offset 32 */
    double maghribAngle;        /* offset 40 */
    double maghribMinutes;      /* offset 48 */
    double imsakAngle;          /* offset 56 */
    double imsakMinutes;        /* offset 64 */
    double adjust[7];           /* offset 72 */
    int32_t highLatitude;       /* offset 128 */
    int32_t fajrIshaMinutes;    /* offset 132 */
    int32_t midnight;           /* offset 136 */
    int32_t twilight;           /* offset 140 */
    int32_t shafaq;             /* offset 144 */
    int32_t rounding;           /* offset 148 */
    int32_t distanceKm;         /* offset 152 */
    int32_t horizonHeight;      /* offset 156 */
    int32_t temperature;        /* offset 160 */
    int32_t pressure;           /* offset 164 */
    int32_t toleranceSeconds;   /* offset 168 */
    int32_t safetySeconds;      /* offset 172 */
    float crescentThreshold;    /* offset 176 */
    int32_t hijriAdjustDays;    /* offset 180 */
    VorCalendar calendar;       /* offset 184 */
} VorTimesSettings;

#define VOR_HIGHLAT_DEFAULT (-1)
#define VOR_HIGHLAT_NONE 0
#define VOR_HIGHLAT_MIDDLE_OF_NIGHT 10
#define VOR_HIGHLAT_SEVENTH_OF_NIGHT 11
#define VOR_HIGHLAT_TWILIGHT_ANGLE 12
#define VOR_FILLED_SEASONAL 13 /* VorEventTime.filledBy only: not a setting */

/* Events of VorDayTimes.event, in the order of the day. */
#define VOR_EVENT_IMSAK 0
#define VOR_EVENT_FAJR 1
#define VOR_EVENT_SUNRISE 2
#define VOR_EVENT_DHUHR 3
#define VOR_EVENT_ASR 4          /* by asrFactor */
#define VOR_EVENT_ASR_HANAFI 5   /* shadow factor 2 */
#define VOR_EVENT_SUNSET 6
#define VOR_EVENT_MAGHRIB 7
#define VOR_EVENT_ISHA 8
#define VOR_EVENT_MIDNIGHT 9     /* of the night after the day */
#define VOR_EVENT_LAST_THIRD 10  /* from two thirds of sunset to the next Fajr */
#define VOR_EVENT_COUNT 11

/* VorEventTime.status */
#define VOR_STATUS_VALID 0
#define VOR_STATUS_ALWAYS_ABOVE 1  /* the Sun never sinks to the event's altitude that day */
#define VOR_STATUS_ALWAYS_BELOW 2  /* it never reaches it */
#define VOR_STATUS_NOT_VALID 3     /* no value */
#define VOR_STATUS_FILLED 4        /* a value given by a high-latitude rule or bound (filledBy) */

/*
 * VorEventTime (32 bytes): one event.  The three times are the same instant
 * and are NaN unless status is VALID or FILLED.
 *   localHours   hours from 0 h of the place's standard time (no summer
 *                time; may exceed 24 for the night after the day)
 *   utcJd        Julian Date (UT)
 *   unixSeconds  seconds since 1970-01-01 0 h UT
 *   filledBy     for FILLED: the rule 1..9 or VOR_HIGHLAT_* that gave it, or
 *                VOR_FILLED_SEASONAL (the seasonal twilight bounds)
 */
typedef struct VorEventTime {
    double localHours;   /* offset 0 */
    double utcJd;        /* offset 8 */
    double unixSeconds;  /* offset 16 */
    int32_t status;      /* offset 24 */
    int32_t filledBy;    /* offset 28 */
} VorEventTime;

/* VorDayTimes (360 bytes): the times of one day. */
typedef struct VorDayTimes {
    int32_t size;                            /* offset 0: set by the host */
    int32_t ramadan;                         /* offset 4: 1 when the day is in Ramadan
                                                (known only with ishaMinutesRamadan) */
    VorEventTime event[11];                  /* offset 8: VOR_EVENT_COUNT events */
} VorDayTimes;

/*
 * Fills the first settings->size bytes of *settings with the defaults (the
 * MWL method, highLatitude -1, 10 Celsius, tolerance 1 s, crescent 20
 * degrees) and returns the size of the record the library knows; 0 (nothing
 * written) for NULL or a size below 8.
 */
VORLIN_API int32_t VORLIN_CALL VorDefaultTimesSettings(VorTimesSettings *settings);

/* The number of named methods. */
VORLIN_API int32_t VORLIN_CALL VorMethodCount(void);

/*
 * The name of method index (0 .. VorMethodCount() - 1; 0 is the default) into
 * name, snprintf-like: at most capacity bytes, NUL-terminated; returns the
 * name's length, or 0 for an index out of range.
 */
VORLIN_API int32_t VORLIN_CALL VorMethodName(int32_t index, char *name, int32_t capacity);

/*
 * The defaults with the method called name (any case; aliases accepted, see
 * the README) applied.  Returns 1, or 0 for an unknown name (nothing written).
 */
VORLIN_API int32_t VORLIN_CALL VorMethodSettings(const char *name, VorTimesSettings *settings);

/*
 * The times of the civil day `date` (year, month, day; years 1 to 9999) at `location`
 * (degrees; height for the pressure; timeZone; summer time is not applied:
 * local hours are standard time) with `settings`.  Returns 1, or 0 when an
 * input is unusable (see Bad input in the README): then every status is
 * NOT_VALID.  Reads only the records' first size bytes; writes only *times
 * (its first times->size bytes); date and location are not changed.
 */
VORLIN_API int32_t VORLIN_CALL VorTimesOfDay(VorDate *date, VorLocation *location,
                                           VorTimesSettings *settings, VorDayTimes *times);

/*
 * VorTimesOfDay for days consecutive days from `first` into times[0 ..
 * days - 1], every element of times[0].size bytes (the host's
 * sizeof(VorDayTimes)).  days is at most 3660; returns the days written (0
 * for unusable input or a bad count; fewer than days when the range runs
 * past the year 9999).  Faster than day by day: the days
 * share their work.
 */
VORLIN_API int32_t VORLIN_CALL VorTimesOfRange(VorDate *first, int32_t days, VorLocation *location,
                                             VorTimesSettings *settings, VorDayTimes *times);

/*
 * ---------------------------------------------------------------------------
 * The Hijri calendar in a chosen mode, and the young crescent of an evening.
 * Versioned records as above: the first field is the record's size in bytes.
 */

/*
 * VorAdToIslamic and VorIslamicToAd in the calendar's mode: the same fields
 * read and written, the same refusals, the location in degrees (its
 * latitude and longitude matter to the observational mode only, but must
 * be usable in every mode; the location is read and never changed).
 * calendar NULL is the library's calendar: then, as with a zeroed record,
 * the results are bit for bit those of VorAdToIslamic and VorIslamicToAd.
 * Returns 1 done, 0 not possible or unusable input: a NULL date, location
 * or config, a calendar whose size is below 8, an unknown mode, criterion,
 * level, withDanjon or region, placeCount outside 0..32 or 0 with
 * VOR_REGION_PLACES, counted places beyond the calendar's size, a place's
 * latitude or longitude out of range or not a number, or the inputs
 * VorAdToIslamic refuses.  On a refusal
 * VorCivilToHijri sets hijriValid to 0 (when date is not NULL) and changes
 * nothing else; VorHijriToCivil changes nothing.
 * Every mode but the tabular one ends with 9999-12-31, as VorAdToIslamic
 * does: a civil day after it, and a Hijri date whose civil day would come
 * after it, are refused.  The tabular mode goes on, to 5874898-06-01 (its
 * day numbers are 32-bit).
 * The regional mode over the world or the Americas judges hundreds of
 * places for every month start: a conversion there takes about 0.2 s.
 */
VORLIN_API int32_t VORLIN_CALL VorCivilToHijri(const VorCalendar *calendar, VorDate *date,
                                               const VorLocation *location,
                                               const VorConfig *config);
VORLIN_API int32_t VORLIN_CALL VorHijriToCivil(const VorCalendar *calendar, VorDate *date,
                                               const VorLocation *location,
                                               const VorConfig *config);

/*
 * VorCrescentGeometry (72 bytes): the Moon and the Sun at one instant.
 * Angles in degrees.
 *   arclGeo, arclTopo   elongation Moon-Sun from the Earth's centre, and as
 *                       the observer sees it
 *   arcvGeo, arcvTopo   Moon's altitude minus the Sun's without refraction,
 *                       geocentric and topocentric
 *   daz                 Sun's azimuth minus the Moon's, (-180, 180]
 *   widthArcmin         topocentric width of the crescent, arc minutes
 *   illuminated         illuminated fraction of the disc, 0..1
 *   moonAltitude, sunAltitude   apparent (refracted) topocentric altitudes
 */
typedef struct VorCrescentGeometry {
    double arclGeo;          /* offset 0 */
    double arclTopo;         /* offset 8 */
    double arcvGeo;          /* offset 16 */
    double arcvTopo;         /* offset 24 */
    double daz;              /* offset 32 */
    double widthArcmin;      /* offset 40 */
    double illuminated;      /* offset 48 */
    double moonAltitude;     /* offset 56 */
    double sunAltitude;      /* offset 64 */
} VorCrescentGeometry;

/*
 * VorCrescent (256 bytes): the young crescent on one evening.  Times are
 * Unix seconds (UTC); a value that does not exist is NaN.
 *   size                 sizeof(VorCrescent), set by the host
 *   status               1: the day has a sunset and a moonset; 0: not (then
 *                        only sunsetUnix, when the day has a sunset, and the
 *                        conjunctions are given)
 *   sunsetUnix, moonsetUnix
 *   bestTimeUnix         sunset + 4/9 of the lag (the sunset when the Moon
 *                        sets first)
 *   lagMinutes           moonset - sunset (negative: the Moon sets first)
 *   conjunctionGeoUnix   the geocentric conjunction nearest the evening
 *   conjunctionTopoUnix  the conjunction as the observer sees it
 *   ageGeoHours, ageTopoHours   sunset minus the conjunction (negative: the
 *                        old Moon, before the conjunction)
 *   atSunset, atBest     the geometry at sunset and at the best time
 *   criterionValue[VOR_CRITERION_*]   each criterion's number: default, the
 *                        Moon's altitude above the Sun plus the topocentric
 *                        elongation at sunset (degrees); yallop, q; arcv-width,
 *                        V; danjon, the topocentric elongation at the best
 *                        time (degrees)
 *   criterionZone[VOR_CRITERION_*]    its verdict: default and danjon 'V'
 *                        (passes) or 'N'; yallop 'A'..'F'; arcv-width 'A'..'D'
 *                        (status 0: the worst zone, the value NaN)
 *   reserved             written as zeros
 */
typedef struct VorCrescent {
    int32_t size;                     /* offset 0 */
    int32_t status;                   /* offset 4 */
    double sunsetUnix;                /* offset 8 */
    double moonsetUnix;               /* offset 16 */
    double bestTimeUnix;              /* offset 24 */
    double lagMinutes;                /* offset 32 */
    double conjunctionGeoUnix;        /* offset 40 */
    double conjunctionTopoUnix;       /* offset 48 */
    double ageGeoHours;               /* offset 56 */
    double ageTopoHours;              /* offset 64 */
    VorCrescentGeometry atSunset;     /* offset 72 */
    VorCrescentGeometry atBest;       /* offset 144 */
    double criterionValue[4];         /* offset 216: VOR_CRITERION_COUNT values */
    char criterionZone[4];            /* offset 248: VOR_CRITERION_COUNT zones */
    char reserved[4];                 /* offset 252 */
} VorCrescent;

/*
 * The evening of the civil day `date` (year, month, day; years 1 to 9999)
 * at `location` (degrees; height; timeZone: the day and its evening are
 * the zone's, without summer time) with `config` (temperature and pressure
 * for refraction, toleranceSeconds, crescentThreshold for the default
 * test).  Returns 1 when the evening is computed (status 1), 0 when the
 * day has no evening (status 0) or an input is unusable: a NULL pointer, an
 * invalid date or a year outside 1..9999, an unusable location (as in Bad
 * input above), a crescentThreshold NaN, infinite or beyond +-90 degrees.
 * For unusable input the record gets status 0, every number NaN and every
 * zone 0; a NULL out or a size below 8 gets nothing.  Writes only the first
 * out->size bytes of *out; reads date, location and config, never changes
 * them.  A toleranceSeconds below 1 counts as 1.
 */
VORLIN_API int32_t VORLIN_CALL VorCrescentEvening(const VorDate *date, const VorLocation *location,
                                                  const VorConfig *config, VorCrescent *out);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* Layout checks: the records are shared with separately built hosts. */
#if defined(__cplusplus)
#include <cstddef>
#define VORLIN_STATIC_ASSERT static_assert
#define VORLIN_OFFSETOF offsetof
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#include <stddef.h>
#define VORLIN_STATIC_ASSERT _Static_assert
#define VORLIN_OFFSETOF offsetof
#endif

#ifdef VORLIN_STATIC_ASSERT
VORLIN_STATIC_ASSERT(sizeof(VorDate) == 40, "VorDate is 40 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, year) == 0, "VorDate.year");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, hijriYear) == 4, "VorDate.hijriYear");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, month) == 8, "VorDate.month");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, hijriMonth) == 9, "VorDate.hijriMonth");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, day) == 16, "VorDate.day");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, hijriDay) == 24, "VorDate.hijriDay");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, hijriValid) == 32, "VorDate.hijriValid");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, hour) == 36, "VorDate.hour");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, minute) == 37, "VorDate.minute");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDate, second) == 38, "VorDate.second");

VORLIN_STATIC_ASSERT(sizeof(VorLocation) == 80, "VorLocation is 80 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, name) == 0, "VorLocation.name");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, latitude) == 48, "VorLocation.latitude");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, longitude) == 56, "VorLocation.longitude");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, height) == 64, "VorLocation.height");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, timeZone) == 68, "VorLocation.timeZone");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, summerStart) == 72, "VorLocation.summerStart");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorLocation, summerEnd) == 76, "VorLocation.summerEnd");

VORLIN_STATIC_ASSERT(sizeof(VorConfig) == 68, "VorConfig is 68 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, imsakAngle) == 0, "VorConfig.imsakAngle");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, fajrAngle) == 4, "VorConfig.fajrAngle");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, ishaAngle) == 8, "VorConfig.ishaAngle");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, fiqh) == 12, "VorConfig.fiqh");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, distanceKm) == 16, "VorConfig.distanceKm");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, precision) == 20, "VorConfig.precision");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, maghribMinutes) == 24, "VorConfig.maghribMinutes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, temperature) == 28, "VorConfig.temperature");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, pressure) == 32, "VorConfig.pressure");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, safetySeconds) == 40, "VorConfig.safetySeconds");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, toleranceSeconds) == 44, "VorConfig.toleranceSeconds");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, crescentThreshold) == 48, "VorConfig.crescentThreshold");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, highLatitudeRule) == 52, "VorConfig.highLatitudeRule");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, scheduleFlags) == 56, "VorConfig.scheduleFlags");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, hijriAdjustDays) == 60, "VorConfig.hijriAdjustDays");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorConfig, fajrIshaMinutes) == 64, "VorConfig.fajrIshaMinutes");

VORLIN_STATIC_ASSERT(sizeof(VorTimesSettings) == 728, "VorTimesSettings is 728 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, calendar) == 184, "VorTimesSettings.calendar");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, fajrAngle) == 8, "VorTimesSettings.fajrAngle");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, imsakMinutes) == 64, "VorTimesSettings.imsakMinutes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, adjust) == 72, "VorTimesSettings.adjust");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, highLatitude) == 128, "VorTimesSettings.highLatitude");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, rounding) == 148, "VorTimesSettings.rounding");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, crescentThreshold) == 176, "VorTimesSettings.crescentThreshold");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorTimesSettings, hijriAdjustDays) == 180, "VorTimesSettings.hijriAdjustDays");
VORLIN_STATIC_ASSERT(sizeof(VorEventTime) == 32, "VorEventTime is 32 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorEventTime, status) == 24, "VorEventTime.status");
VORLIN_STATIC_ASSERT(sizeof(VorDayTimes) == 360, "VorDayTimes is 360 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorDayTimes, event) == 8, "VorDayTimes.event");

VORLIN_STATIC_ASSERT(sizeof(VorCalendar) == 544, "VorCalendar is 544 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, mode) == 4, "VorCalendar.mode");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, criterion) == 8, "VorCalendar.criterion");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, level) == 12, "VorCalendar.level");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, withDanjon) == 16, "VorCalendar.withDanjon");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, region) == 20, "VorCalendar.region");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, placeCount) == 24, "VorCalendar.placeCount");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCalendar, places) == 32, "VorCalendar.places");
VORLIN_STATIC_ASSERT(sizeof(VorCrescentGeometry) == 72, "VorCrescentGeometry is 72 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescentGeometry, illuminated) == 48, "VorCrescentGeometry.illuminated");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescentGeometry, sunAltitude) == 64, "VorCrescentGeometry.sunAltitude");
VORLIN_STATIC_ASSERT(sizeof(VorCrescent) == 256, "VorCrescent is 256 bytes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, status) == 4, "VorCrescent.status");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, sunsetUnix) == 8, "VorCrescent.sunsetUnix");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, lagMinutes) == 32, "VorCrescent.lagMinutes");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, conjunctionGeoUnix) == 40, "VorCrescent.conjunctionGeoUnix");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, ageTopoHours) == 64, "VorCrescent.ageTopoHours");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, atSunset) == 72, "VorCrescent.atSunset");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, atBest) == 144, "VorCrescent.atBest");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, criterionValue) == 216, "VorCrescent.criterionValue");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, criterionZone) == 248, "VorCrescent.criterionZone");
VORLIN_STATIC_ASSERT(VORLIN_OFFSETOF(VorCrescent, reserved) == 252, "VorCrescent.reserved");
#endif

#endif /* VORLIN_H */

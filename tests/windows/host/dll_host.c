/*
 * A separately built host of the Vorlin library: it loads the library at
 * run time (LoadLibrary/GetProcAddress on Windows, dlopen/dlsym elsewhere),
 * finds each export by its plain name, fills the three records by byte
 * offset (without the library's header) and calls every export.  The
 * results go to the file named by the second argument, so the outputs of
 * the Windows DLL (run under Wine) and of the Linux library can be compared
 * byte for byte.
 *
 * On 32-bit x86 every export is called through a thunk that pushes the
 * arguments itself and measures how many bytes the callee left on the
 * stack: a __stdcall function leaves none, a __cdecl one leaves all of
 * them, so a calling-convention mistake cannot pass unnoticed.
 *
 * usage: vorlin_dll_host LIBRARY OUTPUT
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
static Library OpenLibrary(const char *path) { return LoadLibraryA(path); }
static void *Symbol(Library lib, const char *name) { return (void *)GetProcAddress(lib, name); }
#else
#include <dlfcn.h>
typedef void *Library;
static Library OpenLibrary(const char *path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void *Symbol(Library lib, const char *name) { return dlsym(lib, name); }
#endif

/* Record images, laid out by offset as the interface fixes them. */
typedef struct { _Alignas(8) unsigned char b[40]; } DateImage;
typedef struct { _Alignas(8) unsigned char b[80]; } LocationImage;
typedef struct { _Alignas(8) unsigned char b[68]; } ConfigImage;

static void PutI32(unsigned char *p, int32_t v) { memcpy(p, &v, 4); }
static void PutF32(unsigned char *p, float v) { memcpy(p, &v, 4); }
static void PutF64(unsigned char *p, double v) { memcpy(p, &v, 8); }
static int32_t GetI32(const unsigned char *p) { int32_t v; memcpy(&v, p, 4); return v; }
static double GetF64(const unsigned char *p) { double v; memcpy(&v, p, 8); return v; }

static void Civil(DateImage *d, int32_t year, int month, double day) {
    memset(d, 0, sizeof *d);
    PutI32(d->b + 0, year);
    d->b[8] = (unsigned char)month;
    PutF64(d->b + 16, day);
}

static void Hijri(DateImage *d, int32_t year, int month, double day) {
    memset(d, 0, sizeof *d);
    PutI32(d->b + 4, year);
    d->b[9] = (unsigned char)month;
    PutF64(d->b + 24, day);
}

static void Place(LocationImage *l, const char *name, double lat, double lon, int32_t height,
                  float zone, int32_t summerStart, int32_t summerEnd) {
    memset(l, 0, sizeof *l);
    strncpy((char *)l->b, name, 47);
    PutF64(l->b + 48, lat);
    PutF64(l->b + 56, lon);
    PutI32(l->b + 64, height);
    PutF32(l->b + 68, zone);
    PutI32(l->b + 72, summerStart);
    PutI32(l->b + 76, summerEnd);
}

static void Settings(ConfigImage *c, uint32_t flags, int32_t fiqh, int32_t precision) {
    memset(c, 0, sizeof *c);
    PutF32(c->b + 0, -19.0f);  /* imsakAngle */
    PutF32(c->b + 4, -18.0f);  /* fajrAngle */
    PutF32(c->b + 8, -17.0f);  /* ishaAngle */
    PutI32(c->b + 12, fiqh);
    PutI32(c->b + 20, precision);
    PutI32(c->b + 28, 10);     /* temperature */
    PutI32(c->b + 44, 1);      /* toleranceSeconds */
    PutF32(c->b + 48, 20.0f);  /* crescentThreshold */
    PutI32(c->b + 56, (int32_t)flags);
    PutI32(c->b + 64, 90);     /* fajrIshaMinutes */
}

static void PrintDate(FILE *out, const char *what, int result, const DateImage *d) {
    fprintf(out, "%s: result %d, civil %d-%d-%.6f %02u:%02u:%02u, hijri %d-%d-%.6f valid %d\n", what,
            result, GetI32(d->b), d->b[8], GetF64(d->b + 16), d->b[36], d->b[37], d->b[38],
            GetI32(d->b + 4), d->b[9], GetF64(d->b + 24), GetI32(d->b + 32));
}

static void PrintPlace(FILE *out, const LocationImage *l) {
    fprintf(out, "location after call: %.17g %.17g\n", GetF64(l->b + 48), GetF64(l->b + 56));
}

static int failures = 0;

#if defined(_WIN32) && defined(__i386__)
/*
 * Calls fn with n 32-bit arguments pushed right to left and returns in
 * *left the bytes the callee left on the stack (0 for __stdcall).
 */
static uint32_t CallCounted(void *fn, const uint32_t *args, uint32_t n, uint32_t *left) {
    uint32_t result, bytes;
    uint32_t count = n;
    __asm__ volatile(
        "movl %%esp, %%edi\n\t"
        "1:\n\t"
        "testl %%edx, %%edx\n\t"
        "jz 2f\n\t"
        "decl %%edx\n\t"
        "pushl (%%ebx,%%edx,4)\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%esi\n\t"
        "movl %%edi, %%ecx\n\t"
        "subl %%esp, %%ecx\n\t"
        "movl %%edi, %%esp\n\t"
        : "=a"(result), "=c"(bytes), "+d"(count)
        : "S"(fn), "b"(args)
        : "edi", "memory", "cc");
    *left = bytes;
    return result;
}

static uint32_t Call(FILE *out, const char *name, void *fn, const uint32_t *args, uint32_t n) {
    uint32_t left = 0;
    const uint32_t r = CallCounted(fn, args, n, &left);
    if (left != 0) {
        fprintf(stderr, "%s left %u of its %u argument bytes on the stack (not __stdcall)\n", name,
                left, 4 * n);
        ++failures;
    }
    fprintf(out, "%s popped its %u argument bytes\n", name, 4 * n);
    return r;
}

/* A __cdecl function: the thunk must see its argument bytes left behind. */
static int __cdecl CdeclPair(int a, int b) { return a + b; }

static void CheckThatTheCheckWorks(void) {
    uint32_t args[2] = {2, 3};
    uint32_t left = 0;
    const uint32_t r = CallCounted((void *)CdeclPair, args, 2, &left);
    if (r != 5 || left != 8) {
        fprintf(stderr, "stack check is broken: a __cdecl call left %u bytes (expected 8)\n", left);
        ++failures;
    }
}
#define ARGS(...) ((const uint32_t[]){__VA_ARGS__})
#define CALL(out, name, fn, n, ...) Call(out, name, fn, ARGS(__VA_ARGS__), n)
#define P(x) ((uint32_t)(uintptr_t)(x))
#endif

typedef int (*IsValidFn)(void *, int);
typedef int (*ConvertFn)(void *, void *, void *);
typedef void (*ReportFn)(void *, void *, void *, char *);
typedef int32_t (*ReportNFn)(void *, void *, void *, char *, int32_t);
typedef void (*QiblaFn)(void *, void *, double *, double *, double *);
typedef int32_t (*DefaultsFn)(void *);
typedef int32_t (*CountFn)(void);
typedef int32_t (*NameFn)(int32_t, char *, int32_t);
typedef int32_t (*MethodFn)(const char *, void *);
typedef int32_t (*DayFn)(void *, void *, void *, void *);
typedef int32_t (*RangeFn)(void *, int32_t, void *, void *, void *);
typedef int32_t (*CalendarConvertFn)(const void *, void *, const void *, const void *);
typedef int32_t (*CrescentFn)(const void *, const void *, const void *, void *);

#if defined(_WIN32) && defined(__i386__)
#define IS_VALID(d, h) (int)CALL(out, "VorisValidDate", isValid, 2, P(d), (uint32_t)(h))
#define CONVERT(name, fn, d, l, c) (int)CALL(out, name, fn, 3, P(d), P(l), P(c))
#define REPORT(name, fn, d, l, c, t) CALL(out, name, fn, 4, P(d), P(l), P(c), P(t))
#define REPORT_N(name, fn, d, l, c, t, n) \
    (int32_t)CALL(out, name, fn, 5, P(d), P(l), P(c), P(t), (uint32_t)(n))
#define QIBLA(l, d, a, b, c) CALL(out, "VorQiblaInfo", qibla, 5, P(l), P(d), P(a), P(b), P(c))
#define DEFAULTS(s) (int32_t)CALL(out, "VorDefaultTimesSettings", defaults, 1, P(s))
#define COUNT() (int32_t)Call(out, "VorMethodCount", count, ARGS(0), 0)
#define NAME(i, t, n) (int32_t)CALL(out, "VorMethodName", name, 3, (uint32_t)(i), P(t), (uint32_t)(n))
#define METHOD(m, s) (int32_t)CALL(out, "VorMethodSettings", method, 2, P(m), P(s))
#define DAY(d, l, s, t) (int32_t)CALL(out, "VorTimesOfDay", day, 4, P(d), P(l), P(s), P(t))
#define RANGE(d, n, l, s, t) \
    (int32_t)CALL(out, "VorTimesOfRange", range, 5, P(d), (uint32_t)(n), P(l), P(s), P(t))
#define CALENDAR_CONVERT(name, fn, k, d, l, c) (int32_t)CALL(out, name, fn, 4, P(k), P(d), P(l), P(c))
#define CRESCENT(d, l, c, r) (int32_t)CALL(out, "VorCrescentEvening", crescent, 4, P(d), P(l), P(c), P(r))
#else
#define IS_VALID(d, h) ((IsValidFn)isValid)(d, h)
#define CONVERT(name, fn, d, l, c) ((ConvertFn)fn)(d, l, c)
#define REPORT(name, fn, d, l, c, t) ((ReportFn)fn)(d, l, c, t)
#define REPORT_N(name, fn, d, l, c, t, n) ((ReportNFn)fn)(d, l, c, t, n)
#define QIBLA(l, d, a, b, c) ((QiblaFn)qibla)(l, d, a, b, c)
#define DEFAULTS(s) ((DefaultsFn)defaults)(s)
#define COUNT() ((CountFn)count)()
#define NAME(i, t, n) ((NameFn)name)(i, t, n)
#define METHOD(m, s) ((MethodFn)method)(m, s)
#define DAY(d, l, s, t) ((DayFn)day)(d, l, s, t)
#define RANGE(d, n, l, s, t) ((RangeFn)range)(d, n, l, s, t)
#define CALENDAR_CONVERT(name, fn, k, d, l, c) ((CalendarConvertFn)fn)(k, d, l, c)
#define CRESCENT(d, l, c, r) ((CrescentFn)crescent)(d, l, c, r)
#endif

/* Settings (184 bytes) and day results (360 bytes), by offset. */
typedef struct { _Alignas(8) unsigned char b[184]; } SettingsImage;
typedef struct { _Alignas(8) unsigned char b[360]; } DayImage;

static void PrintDay(FILE *out, const char *what, const DayImage *t) {
    int e;
    fprintf(out, "%s: ramadan %d\n", what, (int)GetI32(t->b + 4));
    for (e = 0; e < 11; ++e) {
        const unsigned char *ev = t->b + 8 + 32 * e;
        /* To about a microsecond: the platforms' mathematical libraries may
         * differ in the last bit of a double. */
        fprintf(out, "  event %d: %.10f h, jd %.10f, unix %.4f, status %d by %d\n", e,
                GetF64(ev), GetF64(ev + 8), GetF64(ev + 16), (int)GetI32(ev + 24),
                (int)GetI32(ev + 28));
    }
}

/* Calendar (544 bytes) and crescent (256 bytes) records, by offset. */
typedef struct { _Alignas(8) unsigned char b[544]; } CalendarImage;
typedef struct { _Alignas(8) unsigned char b[256]; } CrescentImage;

static void Calendar(CalendarImage *k, int32_t mode, int32_t criterion, int32_t level,
                     int32_t withDanjon, int32_t region, int32_t placeCount) {
    memset(k, 0, sizeof *k);
    PutI32(k->b + 0, 544);
    PutI32(k->b + 4, mode);
    PutI32(k->b + 8, criterion);
    PutI32(k->b + 12, level);
    PutI32(k->b + 16, withDanjon);
    PutI32(k->b + 20, region);
    PutI32(k->b + 24, placeCount);
}

static void CalendarPlace(CalendarImage *k, int i, double lat, double lon) {
    PutF64(k->b + 32 + 16 * i, lat);
    PutF64(k->b + 40 + 16 * i, lon);
}

/* A number to about a microsecond (a nanodegree), "none" for NaN: the
 * platforms' mathematical libraries may differ in the last bit. */
static void PrintNumber(FILE *out, const char *name, double v, int decimals) {
    if (v != v) {
        fprintf(out, " %s none", name);
    } else {
        fprintf(out, " %s %.*f", name, decimals, v);
    }
}

static void PrintCrescent(FILE *out, const char *what, int32_t result, const CrescentImage *r) {
    static const char *const times[6] = {"sunset", "moonset", "best", "lag", "conjunctionGeo",
                                         "conjunctionTopo"};
    static const char *const geometry[9] = {"arclGeo", "arclTopo", "arcvGeo", "arcvTopo", "daz",
                                            "width", "illuminated", "moonAltitude", "sunAltitude"};
    int i, g;
    fprintf(out, "%s: result %d, size %d, status %d\n ", what, (int)result, (int)GetI32(r->b),
            (int)GetI32(r->b + 4));
    for (i = 0; i < 6; ++i) PrintNumber(out, times[i], GetF64(r->b + 8 + 8 * i), 4);
    PrintNumber(out, "ageGeo", GetF64(r->b + 56), 7);
    PrintNumber(out, "ageTopo", GetF64(r->b + 64), 7);
    fprintf(out, "\n");
    for (g = 0; g < 2; ++g) {
        fprintf(out, "  %s:", g == 0 ? "at sunset" : "at best");
        for (i = 0; i < 9; ++i) PrintNumber(out, geometry[i], GetF64(r->b + 72 + 72 * g + 8 * i), 9);
        fprintf(out, "\n");
    }
    fprintf(out, "  criteria:");
    for (i = 0; i < 4; ++i) {
        PrintNumber(out, "value", GetF64(r->b + 216 + 8 * i), 9);
        fprintf(out, " zone %d", (int)r->b[248 + i]);
    }
    fprintf(out, ", reserved %d %d %d %d\n", r->b[252], r->b[253], r->b[254], r->b[255]);
}

static char report[1 << 20];

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s LIBRARY OUTPUT\n", argv[0]);
        return 2;
    }
    Library lib = OpenLibrary(argv[1]);
    if (!lib) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    void *isValid = Symbol(lib, "VorisValidDate");
    void *toHijri = Symbol(lib, "VorAdToIslamic");
    void *toCivil = Symbol(lib, "VorIslamicToAd");
    void *calculate = Symbol(lib, "VorCalculate");
    void *moon = Symbol(lib, "VorMoonInfo");
    void *qibla = Symbol(lib, "VorQiblaInfo");
    void *calculateN = Symbol(lib, "VorCalculateN");
    void *moonN = Symbol(lib, "VorMoonInfoN");
    void *defaults = Symbol(lib, "VorDefaultTimesSettings");
    void *count = Symbol(lib, "VorMethodCount");
    void *name = Symbol(lib, "VorMethodName");
    void *method = Symbol(lib, "VorMethodSettings");
    void *day = Symbol(lib, "VorTimesOfDay");
    void *range = Symbol(lib, "VorTimesOfRange");
    void *civilToHijri = Symbol(lib, "VorCivilToHijri");
    void *hijriToCivil = Symbol(lib, "VorHijriToCivil");
    void *crescent = Symbol(lib, "VorCrescentEvening");
    if (!isValid || !toHijri || !toCivil || !calculate || !moon || !qibla || !calculateN ||
        !moonN || !defaults || !count || !name || !method || !day || !range || !civilToHijri ||
        !hijriToCivil || !crescent) {
        fprintf(stderr, "an export is missing under its plain name\n");
        return 1;
    }
    FILE *out = fopen(argv[2], "wb");
    if (!out) return 1;
#if defined(_WIN32) && defined(__i386__)
    CheckThatTheCheckWorks();
#endif

    DateImage date;
    LocationImage place;
    ConfigImage config;

    Civil(&date, 1582, 10, 10.0);
    fprintf(out, "valid 1582-10-10: %d\n", IS_VALID(&date, 0));
    Civil(&date, 1582, 10, 15.0);
    fprintf(out, "valid 1582-10-15: %d\n", IS_VALID(&date, 0));
    Hijri(&date, 1445, 9, 30.0);
    fprintf(out, "valid hijri 1445-09-30: %d\n", IS_VALID(&date, 1));

    Place(&place, "Makkah", 21.4225, 39.8262, 300, 3.0f, 0, 0);
    Settings(&config, 0x000, 1, 0);
    Civil(&date, 2024, 3, 11.0);
    PrintDate(out, "VorAdToIslamic 2024-03-11", CONVERT("VorAdToIslamic", toHijri, &date, &place, &config), &date);
    PrintPlace(out, &place);
    Hijri(&date, 1445, 10, 1.0);
    PrintDate(out, "VorIslamicToAd 1445-10-01", CONVERT("VorIslamicToAd", toCivil, &date, &place, &config), &date);
    PrintPlace(out, &place);

    Place(&place, "London", 51.5, -0.1, 20, 0.0f, 834, 2626);
    Civil(&date, 2024, 6, 21.0);
    REPORT("VorCalculate", calculate, &date, &place, &config, report);
    fprintf(out, "--- one-day schedule\n%s\n", report);
    PrintPlace(out, &place);

    Settings(&config, 0x100, 2, 1);
    Civil(&date, 2024, 3, 1.0);
    REPORT("VorCalculate", calculate, &date, &place, &config, report);
    fprintf(out, "--- one-month schedule\n%s\n", report);

    Settings(&config, 0x100, 1, 0);
    Place(&place, "Makkah", 21.4225, 39.8262, 300, 3.0f, 0, 0);
    Civil(&date, 2024, 3, 1.0);
    REPORT("VorMoonInfo", moon, &date, &place, &config, report);
    fprintf(out, "--- one-month moon report\n%s\n", report);
    PrintPlace(out, &place);

    /* The capacity-taking exports: the length first, then the text into a
     * buffer of that length + 1, then a 40-byte prefix. */
    Settings(&config, 0x100, 1, 0);
    Place(&place, "London", 51.5, -0.1, 20, 0.0f, 834, 2626);
    Civil(&date, 2024, 3, 1.0);
    {
        int32_t need = REPORT_N("VorCalculateN", calculateN, &date, &place, &config, NULL, 0);
        int32_t got = REPORT_N("VorCalculateN", calculateN, &date, &place, &config, report, need + 1);
        fprintf(out, "--- VorCalculateN: needs %d, wrote %d, text %d bytes\n%s\n", (int)need,
                (int)got, (int)strlen(report), report);
        got = REPORT_N("VorCalculateN", calculateN, &date, &place, &config, report, 40);
        fprintf(out, "VorCalculateN capacity 40: %d, prefix '%s'\n", (int)got, report);
    }
    Place(&place, "Makkah", 21.4225, 39.8262, 300, 3.0f, 0, 0);
    Civil(&date, 2024, 3, 1.0);
    {
        int32_t need = REPORT_N("VorMoonInfoN", moonN, &date, &place, &config, NULL, 0);
        int32_t got = REPORT_N("VorMoonInfoN", moonN, &date, &place, &config, report, need + 1);
        fprintf(out, "--- VorMoonInfoN: needs %d, wrote %d, text %d bytes\n%s\n", (int)need,
                (int)got, (int)strlen(report), report);
        got = REPORT_N("VorMoonInfoN", moonN, &date, &place, &config, report, -5);
        fprintf(out, "VorMoonInfoN capacity -5: %d\n", (int)got);
    }
    PrintPlace(out, &place);

    double direction = -1.0, distance = -1.0, declination = -1.0;
    Place(&place, "London", 51.5, -0.1, 0, 0.0f, 0, 0);
    Civil(&date, 2000, 1, 1.0);
    QIBLA(&place, &date, &direction, &distance, &declination);
    fprintf(out, "qibla London: %.6f deg, %.3f km, declination %.6f deg\n", direction, distance,
            declination);
    PrintPlace(out, &place);

    /* The day's times as numbers. */
    {
        SettingsImage settings;
        DayImage times, days[3];
        char methodName[64];
        int32_t i, n = COUNT();
        memset(&settings, 0, sizeof settings);
        PutI32(settings.b, 184);
        fprintf(out, "VorDefaultTimesSettings: %d, fajr %.17g\n", (int)DEFAULTS(&settings),
                GetF64(settings.b + 8));
        fprintf(out, "VorMethodCount: %d\n", (int)n);
        for (i = 0; i < n; ++i) {
            const int32_t length = NAME(i, methodName, (int32_t)sizeof methodName);
            fprintf(out, "method %d: %s (%d)\n", (int)i, methodName, (int)length);
        }
        fprintf(out, "VorMethodSettings UmmAlQura: %d, isha minutes %.17g\n",
                (int)METHOD("UmmAlQura", &settings), GetF64(settings.b + 24));
        Place(&place, "Makkah", 21.4225, 39.8262, 300, 3.0f, 0, 0);
        Civil(&date, 2024, 3, 25.0);
        memset(&times, 0, sizeof times);
        PutI32(times.b, 360);
        fprintf(out, "VorTimesOfDay: %d\n", (int)DAY(&date, &place, &settings, &times));
        PrintDay(out, "Makkah 2024-03-25 UmmAlQura", &times);
        METHOD("MoonsightingCommittee", &settings);
        Place(&place, "London", 51.5074, -0.1278, 11, 0.0f, 0, 0);
        Civil(&date, 2024, 6, 20.0);
        memset(days, 0, sizeof days);
        PutI32(days[0].b, 360);
        fprintf(out, "VorTimesOfRange: %d\n", (int)RANGE(&date, 3, &place, &settings, days));
        for (i = 0; i < 3; ++i) PrintDay(out, "London June MSC", &days[i]);
        PrintPlace(out, &place);
    }

    /* The Hijri calendar in each mode, both ways, and a refused record. */
    {
        CalendarImage k;
        static const int32_t modes[5][6] = {
            /* mode, criterion, level, withDanjon, region, placeCount */
            {0, 0, 0, 0, 0, 0}, {0, 1, 1, 1, 0, 0}, {1, 2, 0, 0, 2, 2},
            {2, 0, 0, 0, 0, 0}, {3, 0, 0, 0, 0, 0}};
        int m;
        /* Calendars 0..4 as in modes[], 5 the tabular one. */
        Settings(&config, 0x000, 1, 0);
        Place(&place, "Leicester", 52.6369, -1.1398, 60, 0.0f, 834, 2626);
        Civil(&date, 2025, 3, 30.0);
        PrintDate(out, "VorCivilToHijri NULL 2025-03-30",
                  CALENDAR_CONVERT("VorCivilToHijri", civilToHijri, NULL, &date, &place, &config),
                  &date);
        for (m = 0; m <= 5; ++m) {
            char what[64];
            if (m < 5) {
                Calendar(&k, modes[m][0], modes[m][1], modes[m][2], modes[m][3], modes[m][4],
                         modes[m][5]);
            } else {
                Calendar(&k, 4, 0, 0, 0, 0, 0);
            }
            CalendarPlace(&k, 0, 21.4225, 39.8262);
            CalendarPlace(&k, 1, -33.9249, 18.4241);
            Civil(&date, 2025, 3, 30.5);
            sprintf(what, "VorCivilToHijri calendar %d 2025-03-30.5", m);
            PrintDate(out, what,
                      CALENDAR_CONVERT("VorCivilToHijri", civilToHijri, &k, &date, &place, &config),
                      &date);
            Hijri(&date, 1446, 10, 1.25);
            sprintf(what, "VorHijriToCivil calendar %d 1446-10-01.25", m);
            PrintDate(out, what,
                      CALENDAR_CONVERT("VorHijriToCivil", hijriToCivil, &k, &date, &place, &config),
                      &date);
        }
        Calendar(&k, 7, 0, 0, 0, 0, 0);
        Civil(&date, 2025, 3, 30.0);
        PrintDate(out, "VorCivilToHijri mode 7",
                  CALENDAR_CONVERT("VorCivilToHijri", civilToHijri, &k, &date, &place, &config),
                  &date);
        PrintPlace(out, &place);
    }

    /* The crescent: an evening, a day without one, a shorter record. */
    {
        CrescentImage r;
        int i;
        Settings(&config, 0x000, 1, 0);
        Place(&place, "Makkah", 21.4225, 39.8262, 300, 3.0f, 0, 0);
        Civil(&date, 2024, 3, 10.0);
        memset(&r, 0, sizeof r);
        PutI32(r.b, 256);
        PrintCrescent(out, "VorCrescentEvening Makkah 2024-03-10",
                      CRESCENT(&date, &place, &config, &r), &r);
        Place(&place, "Tromso", 69.6492, 18.9553, 0, 1.0f, 0, 0);
        Civil(&date, 2024, 6, 21.0);
        memset(&r, 0, sizeof r);
        PutI32(r.b, 256);
        PrintCrescent(out, "VorCrescentEvening Tromso 2024-06-21",
                      CRESCENT(&date, &place, &config, &r), &r);
        Place(&place, "Cairo", 30.0444, 31.2357, 23, 2.0f, 0, 0);
        Civil(&date, 2024, 3, 10.0);
        memset(&r, 0xA5, sizeof r);
        PutI32(r.b, 40);
        i = (int)CRESCENT(&date, &place, &config, &r);
        fprintf(out, "VorCrescentEvening Cairo size 40: %d, size %d, status %d,", i,
                (int)GetI32(r.b), (int)GetI32(r.b + 4));
        PrintNumber(out, "sunset", GetF64(r.b + 8), 4);
        PrintNumber(out, "moonset", GetF64(r.b + 16), 4);
        PrintNumber(out, "best", GetF64(r.b + 24), 4);
        PrintNumber(out, "lag", GetF64(r.b + 32), 4);
        fprintf(out, ", bytes after");
        for (i = 40; i < 56; ++i) fprintf(out, " %02x", r.b[i]);
        fprintf(out, "\n");
        PrintPlace(out, &place);
    }

    fclose(out);
    return failures == 0 ? 0 : 1;
}

/*
 * Every value the library's outputs print, over a broad set, as digests: for
 * comparing two builds whose arithmetic differs in the last bits (a change
 * that must not move any printed value).  One line a case; two builds agree
 * when their outputs are the same bytes.
 *
 *   vorlin_printed_outputs times [first last]
 *       every named method at 17 places (0.5 to 66 N, and 34 S), each year
 *       from first to last (default 1900 to 2100): VorTimesOfRange over the
 *       year, every event's status and instant quantised to half seconds (so
 *       both rounding and cutting to seconds or minutes are covered)
 *   vorlin_printed_outputs reports [first last]
 *       VorCalculateN year schedules (Gregorian, with the Hijri labels) in
 *       four settings, and VorMoonInfoN for every month, at the same places,
 *       every fifth year: the text's digest
 *   vorlin_printed_outputs hijri [first last]
 *       VorAdToIslamic for every day at eight of the places (5 to 66 N and
 *       34 S), a digest a year
 *   vorlin_printed_outputs detail METHOD PLACE YEAR
 *       the values behind one "times" line, one event a line
 *   vorlin_printed_outputs schedule PLACE YEAR SETTINGS
 *       the report behind one "schedule" line
 */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host_records.h"
#include "vorlin.h"

#define PLACE_COUNT 17
static const double kLatitudes[PLACE_COUNT] = {0.5,  5.0,  10.0, 15.0, 20.0, 25.0,
                                               30.0, 35.0, 40.0, 45.0, 50.0, 55.0,
                                               58.0, 60.0, 63.0, 66.0, -34.0};

static VorLocation Place(int i) {
    VorLocation l;
    memset(&l, 0, sizeof l);
    snprintf(l.name, sizeof l.name, "P%d", i);
    l.latitude = kLatitudes[i];
    l.longitude = fmod(-120.0 + 23.7 * i + 360.0, 360.0) - 180.0;
    l.height = (i % 2) ? 300 : 0;
    l.timeZone = (float)floor(l.longitude / 15.0 + 0.5);
    return l;
}

static uint64_t Mix(uint64_t h, const void *data, size_t n) {
    const unsigned char *p = (const unsigned char *)data;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    return h;
}

static const uint64_t kStart = 0xcbf29ce484222325ull;

static VorDayTimes days[366];

/* The year's times; with out, their values line by line. */
static uint64_t TimesOfYear(int method, int place, int year, FILE *out) {
    char name[64];
    VorTimesSettings s;
    memset(&s, 0, sizeof s);
    s.size = sizeof s;
    VorMethodName(method, name, sizeof name);
    VorMethodSettings(name, &s);
    VorLocation loc = Place(place);
    VorDate first = HostCivil(year, 1, 1.0);
    days[0].size = sizeof(VorDayTimes);
    const int n = VorTimesOfRange(&first, 366, &loc, &s, days);
    uint64_t h = Mix(kStart, &n, sizeof n);
    for (int d = 0; d < n; ++d) {
        h = Mix(h, &days[d].ramadan, sizeof days[d].ramadan);
        for (int e = 0; e < VOR_EVENT_COUNT; ++e) {
            const VorEventTime *t = &days[d].event[e];
            const int64_t halves = isnan(t->unixSeconds) ? INT64_MIN
                                                         : (int64_t)floor(t->unixSeconds * 2.0);
            h = Mix(h, &t->status, sizeof t->status);
            h = Mix(h, &t->filledBy, sizeof t->filledBy);
            h = Mix(h, &halves, sizeof halves);
            if (out) {
                fprintf(out, "%d %d %d %d %.6f\n", d, e, (int)t->status, (int)t->filledBy,
                        t->unixSeconds);
            }
        }
    }
    return h;
}

/* The four settings of the schedules: k 0 Shafi'i to the second, 1 Hanafi to
   the minute, 2 rule 3 with 60 s of safety, 3 rule 6 over a 20 km area. */
static VorConfig Settings(int k) {
    VorConfig c = HostSettings(0x200);
    c.fiqh = k == 1 ? 2 : 1;
    c.precision = k == 1 ? 1 : 0;
    c.highLatitudeRule = k == 2 ? 3 : (k == 3 ? 6 : 0);
    c.distanceKm = k == 3 ? 20 : 0;
    c.safetySeconds = k == 2 ? 60 : 0;
    return c;
}

static char text[1 << 18];

int main(int argc, char **argv) {
    const char *what = argc > 1 ? argv[1] : "times";
    int first = 1900, last = 2100;
    if (argc > 3 && strcmp(what, "detail") != 0) {
        first = atoi(argv[2]);
        last = atoi(argv[3]);
    }
    if (strcmp(what, "times") == 0) {
        const int methods = VorMethodCount();
        for (int m = 0; m < methods; ++m) {
            for (int p = 0; p < PLACE_COUNT; ++p) {
                for (int y = first; y <= last; ++y) {
                    printf("%d %d %d %016llx\n", m, p, y,
                           (unsigned long long)TimesOfYear(m, p, y, NULL));
                }
            }
        }
    } else if (strcmp(what, "reports") == 0) {
        for (int p = 0; p < PLACE_COUNT; ++p) {
            VorLocation loc = Place(p);
            for (int y = first; y <= last; y += 5) {
                for (int k = 0; k < 4; ++k) {
                    VorConfig cfg = Settings(k);
                    VorDate date = HostCivil(y, 1, 1.0);
                    const int n = VorCalculateN(&date, &loc, &cfg, text, (int32_t)sizeof text);
                    printf("schedule %d %d %d %d %016llx\n", p, y, k, n,
                           (unsigned long long)Mix(kStart, text, strlen(text)));
                }
                for (int month = 1; month <= 12; ++month) {
                    VorConfig cfg = Settings(0);
                    cfg.scheduleFlags = 0;
                    VorDate date = HostCivil(y, month, 1.0);
                    const int n = VorMoonInfoN(&date, &loc, &cfg, text, (int32_t)sizeof text);
                    printf("moon %d %d %d %d %016llx\n", p, y, month, n,
                           (unsigned long long)Mix(kStart, text, strlen(text)));
                }
            }
        }
    } else if (strcmp(what, "hijri") == 0) {
        static const int kHijriPlaces[8] = {4, 10, 1, 16, 7, 12, 14, 15};
        for (int i = 0; i < 8; ++i) {
            VorLocation loc = Place(kHijriPlaces[i]);
            VorConfig cfg = Settings(0);
            cfg.scheduleFlags = 0;
            for (int y = first; y <= last; ++y) {
                uint64_t h = kStart;
                for (int month = 1; month <= 12; ++month) {
                    for (int d = 1; d <= 31; ++d) {
                        VorDate date = HostCivil(y, month, d);
                        if (!VorisValidDate(&date, 0)) break;
                        const int ok = VorAdToIslamic(&date, &loc, &cfg);
                        const int fields[4] = {ok, date.hijriYear, date.hijriMonth,
                                               (int)date.hijriDay};
                        h = Mix(h, fields, sizeof fields);
                    }
                }
                printf("hijri %d %d %016llx\n", kHijriPlaces[i], y, (unsigned long long)h);
            }
        }
    } else if (strcmp(what, "detail") == 0 && argc > 4) {
        TimesOfYear(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), stdout);
    } else if (strcmp(what, "schedule") == 0 && argc > 4) {
        VorLocation loc = Place(atoi(argv[2]));
        VorConfig cfg = Settings(atoi(argv[4]));
        VorDate date = HostCivil(atoi(argv[3]), 1, 1.0);
        VorCalculateN(&date, &loc, &cfg, text, (int32_t)sizeof text);
        fputs(text, stdout);
    } else {
        fprintf(stderr, "usage: %s times|reports|hijri [first last] | detail METHOD PLACE YEAR"
                " | schedule PLACE YEAR SETTINGS\n",
                argv[0]);
        return 2;
    }
    return 0;
}

/*
 * A host of the C interface for whole-process timings: one call, then exit.
 *   vorlin_year_host year    the Gregorian year 2024 schedule at Makkah with
 *                            its Hijri labels (VorCalculate, seconds, fiqh 1)
 *   vorlin_year_host times   the 366 days of 2024 at Makkah by MWL
 *                            (VorTimesOfRange)
 *   vorlin_year_host hijri   VorAdToIslamic for the 365 days from 1 January 2024
 *   vorlin_year_host none    nothing (the cost of starting the process)
 * Prints the report's length (or the count of days done), so the work is used.
 */
#include <stdio.h>
#include <string.h>

#include "host_records.h"
#include "vorlin.h"

static char text[1 << 17];
static VorDayTimes days[366];

static VorLocation Makkah(void) {
    VorLocation l;
    memset(&l, 0, sizeof l);
    strcpy(l.name, "Makkah");
    l.latitude = 21.4225;
    l.longitude = 39.8262;
    l.height = 300;
    l.timeZone = 3.0f;
    return l;
}

int main(int argc, char **argv) {
    const char *what = argc > 1 ? argv[1] : "year";
    VorLocation loc = Makkah();
    if (strcmp(what, "year") == 0) {
        VorConfig cfg = HostSettings(VOR_SPAN_YEAR);
        VorDate date = HostCivil(2024, 1, 1.0);
        VorCalculate(&date, &loc, &cfg, text);
        printf("%zu\n", strlen(text));
    } else if (strcmp(what, "times") == 0) {
        VorTimesSettings s;
        memset(&s, 0, sizeof s);
        s.size = sizeof s;
        VorMethodSettings("MWL", &s);
        days[0].size = sizeof(VorDayTimes);
        VorDate first = HostCivil(2024, 1, 1.0);
        printf("%d\n", (int)VorTimesOfRange(&first, 366, &loc, &s, days));
    } else if (strcmp(what, "hijri") == 0) {
        VorConfig cfg = HostSettings(0);
        int done = 0;
        for (int k = 0; k < 365; ++k) {
            VorDate date = HostCivil(2024, 1, 1.0 + k);
            done += VorAdToIslamic(&date, &loc, &cfg);
        }
        printf("%d\n", done);
    }
    return 0;
}

/*
 * Calls every export of the shared library once (the reports for a month,
 * through both the legacy and the capacity-taking forms), for the memory
 * checker: valgrind must find no invalid access, no use of an
 * uninitialised value and no leak.  Exits 1 when a result is implausible.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vorlin.h"

static char text[1 << 16];

int main(void) {
    VorDate date;
    VorLocation place;
    VorConfig config;
    int failures = 0;

    memset(&date, 0, sizeof date);
    memset(&place, 0, sizeof place);
    memset(&config, 0, sizeof config);
    strcpy(place.name, "Makkah");
    place.latitude = 21.4225;
    place.longitude = 39.8262;
    place.height = 300;
    place.timeZone = 3.0f;
    config.imsakAngle = -19.0f;
    config.fajrAngle = -18.0f;
    config.ishaAngle = -17.0f;
    config.fiqh = 1;
    config.temperature = 10;
    config.toleranceSeconds = 1;
    config.crescentThreshold = 20.0f;
    config.fajrIshaMinutes = 90;
    config.scheduleFlags = VOR_SPAN_MONTH;

    date.year = 2024;
    date.month = 3;
    date.day = 11.0;
    if (VorisValidDate(&date, 0) != 1) ++failures;
    if (VorAdToIslamic(&date, &place, &config) != 1 || date.hijriYear != 1445) ++failures;
    if (VorIslamicToAd(&date, &place, &config) != 1 || date.year != 2024) ++failures;

    date.year = 2024;
    date.month = 3;
    date.day = 11.0;
    VorCalculate(&date, &place, &config, text);
    const size_t scheduleLength = strlen(text);
    if (VorCalculateN(&date, &place, &config, text, 100) != (int32_t)scheduleLength) ++failures;
    if (strlen(text) != 99) ++failures;
    VorMoonInfo(&date, &place, &config, text);
    const size_t moonLength = strlen(text);
    if (VorMoonInfoN(&date, &place, &config, NULL, 0) != (int32_t)moonLength) ++failures;

    double direction = 0.0, distance = 0.0, declination = 0.0;
    place.latitude = 51.5;
    place.longitude = -0.1;
    VorQiblaInfo(&place, &date, &direction, &distance, &declination);
    if (!(direction > 118.0 && direction < 120.0)) ++failures;

    /* The structured exports: a day's times, a calendar of its own, an evening. */
    VorTimesSettings settings;
    VorDayTimes times;
    VorCalendar calendar;
    VorCrescent crescent;
    memset(&settings, 0, sizeof settings);
    memset(&times, 0, sizeof times);
    memset(&calendar, 0, sizeof calendar);
    memset(&crescent, 0, sizeof crescent);
    settings.size = (int32_t)sizeof settings;
    times.size = (int32_t)sizeof times;
    calendar.size = (int32_t)sizeof calendar;
    crescent.size = (int32_t)sizeof crescent;
    if (VorMethodSettings("UmmAlQura", &settings) != 1) ++failures;
    settings.calendar = calendar;
    settings.calendar.mode = VOR_CALENDAR_UMM_AL_QURA;
    place.latitude = 21.4225;
    place.longitude = 39.8262;
    date.year = 2025;
    date.month = 3;
    date.day = 1.0;
    if (VorTimesOfDay(&date, &place, &settings, &times) != 1 || times.ramadan != 1) ++failures;
    calendar.mode = VOR_CALENDAR_UMM_AL_QURA;
    if (VorCivilToHijri(&calendar, &date, &place, &config) != 1 || date.hijriMonth != 9 ||
        date.hijriDay != 1.0) {
        ++failures;
    }
    if (VorHijriToCivil(&calendar, &date, &place, &config) != 1 || date.day != 1.0) ++failures;
    date.year = 2024;
    date.month = 3;
    date.day = 10.0;
    if (VorCrescentEvening(&date, &place, &config, &crescent) != 1 || crescent.status != 1) ++failures;

    printf("schedule %zu bytes, moon %zu bytes, qibla %.4f deg %.3f km %.4f deg\n", scheduleLength,
           moonLength, direction, distance, declination);
    return failures == 0 ? 0 : 1;
}

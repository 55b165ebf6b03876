/*
 * The records the C hosts of bench/ fill: a civil date, and the settings
 * their timings and digests use (Imsak -19, Fajr -18, Isha'a -17 degrees,
 * Shafi'i, 10 degrees Celsius, one-second tolerance, crescent 20 degrees,
 * 90 minutes for rule 9).
 */
#ifndef VORLIN_BENCH_HOST_RECORDS_H
#define VORLIN_BENCH_HOST_RECORDS_H

#include <stdint.h>
#include <string.h>

#include "vorlin.h"

static VorDate HostCivil(int year, int month, double day) {
    VorDate d;
    memset(&d, 0, sizeof d);
    d.year = year;
    d.month = (uint8_t)month;
    d.day = day;
    return d;
}

static VorConfig HostSettings(unsigned flags) {
    VorConfig c;
    memset(&c, 0, sizeof c);
    c.imsakAngle = -19.0f;
    c.fajrAngle = -18.0f;
    c.ishaAngle = -17.0f;
    c.fiqh = 1;
    c.temperature = 10;
    c.toleranceSeconds = 1;
    c.crescentThreshold = 20.0f;
    c.scheduleFlags = flags;
    c.fajrIshaMinutes = 90;
    return c;
}

#endif

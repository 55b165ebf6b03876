/* hello.c - a small host of the installed Vorlin library: checks a date and
 * prints the qibla direction and distance, and the magnetic declination,
 * for London on that date. */
#include <stdio.h>
#include <vorlin.h>

int main(void) {
    VorDate date = {.year = 2000, .month = 1, .day = 1.0};
    VorLocation london = {.name = "London", .latitude = 51.5, .longitude = -0.1, .timeZone = 0.0f};
    double direction, distance, declination;
    if (!VorisValidDate(&date, 0)) return 1;
    VorQiblaInfo(&london, &date, &direction, &distance, &declination);
    printf("vorlin %s: qibla from %s on %d-%02d-%02.0f: %.4f deg, %.3f km, declination %.4f deg\n",
           VORLIN_VERSION, london.name, date.year, date.month, date.day, direction, distance, declination);
    return 0;
}

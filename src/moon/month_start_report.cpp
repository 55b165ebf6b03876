#include "moon/month_start_report.h"

#include <cmath>

#include "astro/angles.h"
#include "astro/constants.h"
#include "calendar/angle_text.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "moon/moon_report.h"
#include "prayer/report_names.h"
#include "prayer/report_text.h"

namespace vorlin {

namespace {

// Seconds of time to days: 1/86400.
constexpr double SecondToDay = 1.1574074074074073e-05;

// Whole part of a day of the month (1..31 for any date a conversion gives).
int WholeDay(double day) {
    if (!(day > -1000.0 && day < 1000.0)) return 0;
    return static_cast<int>(day);
}

// Local JD of 0 h of the calendar day holding jd.
double StartOfDay(double jd) { return std::floor(jd - 0.5) + 0.5; }

// The line of one new moon: weekday, civil date (month as a number), the
// civil clock time and the clock time in dynamical time (jd + Delta T).
void WriteNewMoonLine(const char *format, double jd, double deltaT, const VorLocation &loc,
                      const VorConfig &cfg, TextWriter &text) {
    VorDate r{};
    double tx = 0.0;
    double dynamical = jd + deltaT * SecondToDay;
    LocalJdToDateTime(cfg, loc, r, &tx, &dynamical);
    char ttCell[MoonCellTextSize];
    FormatMoonCell(cfg, tx, ttCell);

    double civil = jd;
    LocalJdToDateTime(cfg, loc, r, &tx, &civil);
    const int weekday = WeekdayOfJulianDay(civil);
    char civilCell[MoonCellTextSize];
    FormatMoonCell(cfg, tx, civilCell);

    text.Format(format, WeekdayName(weekday - 1), WholeDay(r.day), r.month, r.year, civilCell,
                ttCell);
}

}  // namespace

void WriteMonthStartReport(const MonthStartDetails &d, const VorLocation &loc,
                           const VorConfig &cfg, TextWriter &text) {
    const MoonDataAtSunset &md = d.moonData;
    WriteNewMoonLine("\n\n Next Geocentric  New Moon %s, %d/%d/%d at %s(%sTDT)\n", d.geo,
                     md.deltaT, loc, cfg, text);
    WriteNewMoonLine(" Next Topocentric New Moon %s, %d/%d/%d at %s(%sTDT)\n", d.topo,
                     md.deltaT, loc, cfg, text);

    // Sunset and moonset of the evening as local clock times.
    VorDate r{};
    double sunsetTime = 0.0;
    double js = d.eveningJd + d.sunset * RadToHour / 24.0;
    LocalJdToDateTime(cfg, loc, r, &sunsetTime, &js);
    text.Append(SeparatorLine);
    text.Format("\t\tMoon data for %d/%s/%d at Sunset\n", WholeDay(r.day), MonthName(r.month),
                r.year);
    text.Append(SeparatorLine);

    char sunsetCell[MoonCellTextSize];
    FormatMoonCell(cfg, sunsetTime, sunsetCell);

    double moonsetTime = 0.0;
    double jm = d.eveningJd + d.moonset * RadToHour / 24.0;
    LocalJdToDateTime(cfg, loc, r, &moonsetTime, &jm);
    // A moonset on a later calendar day than the sunset counts on from the
    // sunset's day (and so carries the next-day mark).
    moonsetTime += (StartOfDay(jm) - StartOfDay(js)) * 24.0 * HourToRad;
    char moonsetCell[MoonCellTextSize];
    FormatMoonCell(cfg, moonsetTime, moonsetCell);

    int shift = 0;
    char lag[ClockTextSize];
    FormatClockTime(29.0, d.moonset - d.sunset, cfg.precision, &shift, lag, 1);
    text.Format(" Moonset (%s) - Sunset (%s) = %s \n", moonsetCell, sunsetCell, lag);

    char a1[AngleTextSize], a2[AngleTextSize], a3[AngleTextSize];
    FormatAngle(md.moonAltitude, a1);
    FormatAngle(md.sunAltitude, a2);
    FormatAngle(md.moonAltitude - md.sunAltitude, a3);
    text.Format(" Moon Altitude (%s) - Sun Altitude (%s) = %s\n", a1, a2, a3);

    FormatAngle(md.moonAzimuth, a1);
    FormatAngle(md.sunAzimuth, a2);
    FormatAngle(md.moonAzimuth - md.sunAzimuth, a3);  // not reduced
    text.Format(" Moon Azimuth (%s) - Sun Azimuth (%s) = %s\n", a1, a2, a3);

    // Ages at the sunset in standard time; negative when the new moon
    // follows it, written with the days folded into the hours.
    const double sunsetJd = d.eveningJd + d.sunset * RadToHour / 24.0;
    char geoAge[ClockTextSize], topoAge[ClockTextSize];
    FormatClockTime(29.0, (sunsetJd - d.geo) * HourToRad * 24.0, cfg.precision, &shift, geoAge, 1);
    FormatClockTime(29.0, (sunsetJd - d.topo) * HourToRad * 24.0, cfg.precision, &shift, topoAge,
                    1);
    text.Format(" Geocentric Moon Age = %s, Topocentric Moon Age = %s\n", geoAge, topoAge);

    FormatAngle(md.geoElongation, a1);
    FormatAngle(md.topoElongation, a2);
    text.Format(" Geocentric Elongation = %s, Topocentric Elongation = %s\n", a1, a2);

    text.Format(" Geocentric distance= %5.1f Km, Topocentric Distance = %5.1f Km\n",
                md.moonDistanceKm, md.topoDistanceKm);

    FormatAngle(md.brightLimbAngle, a1);
    FormatAngle(md.crescentWidth, a2);
    text.Format(" Position angle of bright limb = %s, Topocentric Width  = %s\n", a1, a2);

    FormatAngle(md.moonTopoSemidiameter, a1);
    text.Format(" The Moon is %0.2f%% illuminated, Topocentric Semidiameter = %s\n",
                md.illuminated * 100.0, a1);

    // A month that would begin before the Hijri era is not named.
    if (std::floor(d.start + 0.5) < HijriEpochDayNumber) return;

    VorDate first{};
    TabularHijriFromJulianDay(d.start + 3.0, first);
    const int weekday = WeekdayOfJulianDay(d.start);
    JulianDayToDate(d.start, first);
    text.Format(" Possible start of %s, %d AH: %s, %d/%s/%d\n", HijriMonthName(first.hijriMonth),
                first.hijriYear, WeekdayName(weekday - 1), WholeDay(first.day),
                MonthName(first.month), first.year);
}

}  // namespace vorlin

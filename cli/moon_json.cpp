// `vorlin moon --format json`: the Moon's rise, transit and set of each day
// and the new moons of the span with the evening that decides each month's
// start, as values on the place's clock.
#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "export_formats.h"
#include "json_out.h"
#include "moon/month_start.h"
#include "moon/moon_rise_transit_set.h"
#include "prayer/report_names.h"
#include "prayer/sun_events.h"
#include "timetable.h"
#include "moon_json.h"

namespace vorlin::cli {

namespace {

constexpr double UnixEpochJd = 2440587.5;

// A local standard-time Julian Date of the core as an ISO date-time on the
// request's clock (null for none).
Json LocalJdJson(const Request &r, double localJd, double timeZoneHours) {
    if (!std::isfinite(localJd)) return nullptr;
    const double unix = (localJd - timeZoneHours / 24.0 - UnixEpochJd) * 86400.0;
    if (std::fabs(unix) > 1e12) return nullptr;
    const long long utc = std::llround(unix);
    return IsoLocalDateTime(MomentAt(utc, r.clock.At(utc).offsetSeconds));
}

// A time of day (radians from local standard midnight of the day at
// dayJd, the JD of that midnight) as a date-time, or the reason there is none.
Json EventJson(const Request &r, double dayJd, double t, double tz) {
    if (t == TimeAlwaysAbove) return "always above";
    if (t == TimeAlwaysBelow) return "always below";
    if (IsTimeMarker(t) || !std::isfinite(t)) return nullptr;
    return LocalJdJson(r, dayJd + t / TwoPi, tz);
}

double Degrees(double radians) { return std::round(radians * RadToDeg * 10000.0) / 10000.0; }

}  // namespace

Json UtOnClock(const Request &r, double ut) { return LocalJdJson(r, ut, 0.0); }

namespace {

// The civil date of the first day of the Hijri month a converted date lies in.
VorDate FirstOfMonth(const VorDate &converted) {
    VorDate first{};
    JulianDayToDate(DateToJulianDay(converted) - (std::floor(converted.hijriDay) - 1.0), first);
    return first;
}

}  // namespace

Json MoonJson(Request &r, const std::vector<VorDate> &dates) {
    VorLocation loc = r.location;
    loc.latitude *= DegToRad;
    loc.longitude *= DegToRad;
    const double tz = loc.timeZone;
    Json doc;
    doc["place"] = PlaceJson(r);
    if (!IsLibraryCalendar(r.calendar)) doc["calendar"] = CalendarText(r);
    doc["days"] = Json::array();
    for (const VorDate &date : dates) {
        double out[3] = {TimeNotValid, TimeNotValid, TimeNotValid};
        MoonRiseTransitSet(&date, &loc, &r.config, out);
        const double dayJd = DateToJulianDay(date);
        Json day;
        day["date"] = DateText(date);
        day["moonrise"] = EventJson(r, dayJd, out[1], tz);
        day["transit"] = EventJson(r, dayJd, out[0], tz);
        day["moonset"] = EventJson(r, dayJd, out[2], tz);
        doc["days"].push_back(day);
    }
    // The new moons from the span's first day to its last, and the evening
    // that decides each month's start (bounded: a new moon every 29.5 days).
    doc["newMoons"] = Json::array();
    if (dates.empty()) return doc;
    VorDate from = dates.front();
    const double lastJd = DateToJulianDay(dates.back()) + 1.0;
    for (int i = 0; i < 16; ++i) {
        MonthStartDetails d{};
        const int found = ComputeMonthStartDetails(&from, &loc, &r.config, &d);
        if (!std::isfinite(d.geo) || d.geo >= lastJd) break;
        Json moon;
        moon["geocentric"] = LocalJdJson(r, d.geo, tz);
        moon["topocentric"] = LocalJdJson(r, d.topo, tz);
        if (found == 1) {
            Json evening;
            VorDate e{};
            JulianDayToDate(d.eveningJd, e);
            evening["date"] = DateText(e);
            evening["sunset"] = EventJson(r, d.eveningJd, d.sunset, tz);
            evening["moonset"] = EventJson(r, d.eveningJd, d.moonset, tz);
            evening["ageHours"] = std::round((d.moonData.sunsetUt - (d.geo - tz / 24.0)) * 24.0 * 100.0) / 100.0;
            evening["moonAltitude"] = Degrees(d.moonData.moonAltitude);
            evening["sunAltitude"] = Degrees(d.moonData.sunAltitude);
            evening["elongation"] = Degrees(d.moonData.topoElongation);
            evening["illuminated"] = std::round(d.moonData.illuminated * 10000.0) / 10000.0;
            evening["crescentTest"] = Degrees(d.visibility);
            evening["passes"] = CrescentPasses(d.visibility, r.config.crescentThreshold);
            moon["firstEvening"] = evening;
            VorDate start{};
            JulianDayToDate(d.start, start);
            moon["monthStart"] = DateText(start);
        } else {
            moon["firstEvening"] = nullptr;
            moon["monthStart"] = nullptr;
            moon["reason"] = "no evening with a sunset and a moonset after it";
        }
        if (!IsLibraryCalendar(r.calendar)) {
            // The month start of the request's calendar beside the place's test.
            double start = 0.0;
            if (r.calendar.mode == CalendarMode::Tabular) {
                VorDate label{};
                JulianDayToDate(d.geo + 2.0, label);
                moon["calendarMonthStart"] = ToHijri(r, label) == 1 ? Json(DateText(FirstOfMonth(label))) : Json(nullptr);
            } else if (MonthStartOf(r, from, &start) == 1) {
                VorDate s{};
                JulianDayToDate(start, s);
                moon["calendarMonthStart"] = DateText(s);
            } else {
                moon["calendarMonthStart"] = nullptr;
            }
        }
        doc["newMoons"].push_back(moon);
        JulianDayToDate(d.geo + 1.0, from);  // past this new moon
    }
    return doc;
}

}  // namespace vorlin::cli

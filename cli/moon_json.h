// `vorlin moon --format json`.
#pragma once

#include <vector>

#include "json_out.h"
#include "options.h"
#include "vorlin.h"

namespace vorlin::cli {

// {"place", "days": [{date, moonrise, transit, moonset}], "newMoons":
// [{geocentric, topocentric, firstEvening: {date, sunset, moonset,
// ageHours, moonAltitude, sunAltitude, elongation, illuminated,
// crescentTest, passes}, monthStart}]}: times as ISO 8601 on the place's
// clock, angles in degrees ("always above"/"always below" for a Moon that
// does not set or rise, null for none).
Json MoonJson(Request &request, const std::vector<VorDate> &dates);

// An instant (Julian Date, UT) as an ISO 8601 date-time on the request's
// clock; null for none.
Json UtOnClock(const Request &request, double ut);

}  // namespace vorlin::cli

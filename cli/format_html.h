// The printable form of a timetable: one self-contained HTML5 page (UTF-8,
// inline CSS, nothing fetched from elsewhere) with the place and the
// settings in words, one table per month (a civil month, or a Hijri month
// when the days were counted in Hijri months) and a print stylesheet that
// puts each month on one A4 page.  Times are on the local clock as HH:MM:
// as the settings round them, or, when they keep the seconds, rounded the
// cautious way (Imsak, sunrise and midnight down, the others up).
#pragma once

#include <string>
#include <vector>

#include "options.h"
#include "timetable.h"

namespace vorlin::cli {

// The page.  hijriMonths: the days were counted in Hijri months (one
// table per Hijri month, else one per civil month).
std::string TimetableHtml(const std::vector<TimetableDay> &days, const Request &request,
                          bool hijriMonths = false);

// Text as HTML character data or attribute value: & < > " ' escaped,
// control characters but tab and line feed dropped.
std::string HtmlEscape(const std::string &text);

}  // namespace vorlin::cli

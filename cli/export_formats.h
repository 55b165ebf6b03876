// The machine-readable forms of a timetable: JSON, CSV and iCalendar
// (RFC 5545).  Times are rounded to the nearest second and written as ISO
// 8601 local date-times with the UTC offset in force on the day (summer
// time applied); a time that falls on the day before or after carries that
// date.  Text from the place record is taken as UTF-8 when it is valid
// UTF-8 and as Latin-1 (the library's single-byte text) otherwise.
#pragma once

#include <string>
#include <vector>

#include "timetable.h"
#include "vorlin.h"

namespace vorlin::cli {

// "2024-06-21T03:12:45+01:00" for a valid moment of day.
std::string IsoLocalDateTime(const TimetableDay &day, const LocalMoment &moment);

// "+01:00", "-09:30": an offset in hours as ISO 8601 writes it.
std::string IsoOffset(double hours);

// One JSON document: the place, the settings and an array "days" of
// {date, weekday, hijri: {year, month, day, monthName} or null, utcOffset,
// summerTime, times: {imsak .. isha: date-time or null}, missing: {name:
// reason}} (location in degrees).
std::string TimetableJson(const std::vector<TimetableDay> &days, const VorLocation &location,
                          const VorConfig &config);

// CSV (RFC 4180, CRLF line ends) with a header row: date, weekday,
// hijri_date (Y-M-D or empty), utc_offset, the seven times (empty when
// missing) and notes ("fajr always above; isha always above").
std::string TimetableCsv(const std::vector<TimetableDay> &days, const VorConfig &config);

// An iCalendar VCALENDAR with one VEVENT per published time per day (times
// that do not exist are left out): UID, DTSTAMP (stampUtcSeconds, seconds
// since 1970-01-01 UTC), DTSTART in UTC, SUMMARY, LOCATION, GEO,
// DESCRIPTION.  CRLF line ends, lines folded at 75 octets.
std::string TimetableIcs(const std::vector<TimetableDay> &days, const VorLocation &location,
                         const VorConfig &config, long long stampUtcSeconds);

// Folds one content line (without its line end) at 75 octets, never inside
// a UTF-8 sequence, and ends every physical line with CRLF.
std::string FoldIcsLine(const std::string &line);

}  // namespace vorlin::cli

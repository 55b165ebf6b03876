// The machine-readable forms of a timetable: JSON, CSV and iCalendar
// (RFC 5545).  Times are rounded to the nearest second and written as ISO
// 8601 local date-times with the UTC offset in force on the day (summer
// time applied); a time that falls on the day before or after carries that
// date.  Text from the place record is taken as UTF-8 when it is valid
// UTF-8 and as Latin-1 (the library's single-byte text) otherwise.
#pragma once

#include <string>
#include <vector>

#include "options.h"
#include "timetable.h"
#include "vorlin.h"

namespace vorlin::cli {

// "2024-06-21" (ISO 8601; an expanded year outside 0..9999).
std::string DateText(const VorDate &date);

// "2024-06-21T03:12:45+01:00" for a valid moment (its own offset).
std::string IsoLocalDateTime(const LocalMoment &moment);

// The place record's text as UTF-8 (kept when valid UTF-8, else read as
// Latin-1).
std::string PlaceText(const char *text);

// text as a JSON string's content (quotes, backslashes and controls
// escaped; the place record's text as UTF-8).
std::string JsonEscaped(const std::string &text);

// "+01:00", "-09:30": an offset in hours as ISO 8601 writes it.
std::string IsoOffset(double hours);

// The notes of a day: the events missing and why, the events filled and by
// what ("fajr always above; isha filled by seventh of the night").
std::string DayNotes(const TimetableDay &day, const std::vector<ShownEvent> &events);

// One JSON document: the place, the effective settings and an array "days"
// of {date, weekday, hijri: {date, year, month, day, monthName} or null,
// utcOffset, summerTime, times: {imsak .. lastThird: date-time or null},
// missing: {key: reason}, filled: {key: what filled it}} (location in
// degrees).
std::string TimetableJson(const std::vector<TimetableDay> &days, const Request &request);

// CSV (RFC 4180, CRLF line ends) with a header row: date, weekday,
// hijri_date (Y-M-D or empty), utc_offset, the events (empty when missing)
// and notes (DayNotes).
std::string TimetableCsv(const std::vector<TimetableDay> &days, const Request &request);

// The terminal table: the place and settings in words, one row per day
// (local clock times; ">" the next day, "<" the day before, "*" filled),
// and the notes of the day.
std::string TimetableText(const std::vector<TimetableDay> &days, const Request &request);

// What a calendar file holds besides the times: which events, an alarm
// before each and their length.
struct IcsOptions {
    std::vector<int> events;   // indices in VorDayTimes.event to write; empty: every shown event
    int remindMinutes = -1;    // 0..1440: a display alarm this long before each event; -1: none
    int durationMinutes = -1;  // 1..1440: DTEND this long after DTSTART; 0 or -1: no DTEND
                               // (an event without DTEND ends when it starts)
};

// An iCalendar VCALENDAR with one VEVENT per shown event per day (times
// that do not exist are left out; a date the schedule lists twice, once),
// in the order of the day whatever the order of options.events: UID,
// DTSTAMP (stampUtcSeconds, seconds since 1970-01-01 UTC), DTSTART (and
// DTEND) in UTC, SUMMARY, LOCATION, GEO, DESCRIPTION and, with an alarm, a
// VALARM (ACTION:DISPLAY, DESCRIPTION, TRIGGER:-PT<n>M).  CRLF line ends,
// lines folded at 75 octets.
std::string TimetableIcs(const std::vector<TimetableDay> &days, const Request &request,
                         const IcsOptions &options, long long stampUtcSeconds);

// Folds one content line (without its line end) at 75 octets, never inside
// a UTF-8 sequence, and ends every physical line with CRLF.
std::string FoldIcsLine(const std::string &line);

}  // namespace vorlin::cli

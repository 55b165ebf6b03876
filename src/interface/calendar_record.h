// The Hijri calendar record of the exports (VorCalendar) on the library
// side: its reading into a CalendarRule, the other way for front ends, and
// the check the settings record makes of the calendar inside it.
#pragma once

#include "calendar/calendar_modes.h"
#include "vorlin.h"

namespace vorlin {

// The host's calendar as a rule (null: the library's calendar); false for a
// record the library cannot use: a size below 8, a mode, criterion, level,
// withDanjon or region it does not know, placeCount outside 0..32 or 0 with
// VOR_REGION_PLACES, places counted beyond the host's size, a place's
// latitude beyond +-90 or longitude beyond +-180 degrees (or not a number).
// Each place keeps the zone of its longitude (longitude / 15, rounded).
bool CalendarRecordToRule(const VorCalendar *host, CalendarRule &rule);

// The calendar inside a settings record: a size of 0 (the defaults, or a
// record the host's size did not reach) is the library's calendar.
bool SettingsCalendarToRule(const VorCalendar &calendar, CalendarRule &rule);

// The record of a rule (places back in degrees), for a front end that
// holds a rule and calls the exports.
VorCalendar CalendarRuleToRecord(const CalendarRule &rule);

}  // namespace vorlin

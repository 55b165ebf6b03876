// Text of the month-start report: the two new moons, the Moon's data at
// sunset on the first evening and the possible start of the Hijri month.
#pragma once

#include "moon/month_start.h"
#include "prayer/text_writer.h"
#include "vorlin.h"

namespace vorlin {

// Appends the report of one month-start decision to text; loc and cfg give
// the time zone, summer-time rules and clock precision of the times shown.
void WriteMonthStartReport(const MonthStartDetails &d, const VorLocation &loc,
                           const VorConfig &cfg, TextWriter &text);

}  // namespace vorlin

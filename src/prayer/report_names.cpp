#include "prayer/report_names.h"

namespace vorlin {

namespace {

// Entry index of table, valid from index first to N - 1; "?" outside.
template <int N>
const char *Lookup(const char *const (&table)[N], int first, int index) {
    return (index >= first && index < N) ? table[index] : UnknownName;
}

}  // namespace

const char *WeekdayName(int index) { return Lookup(WeekdayNames, 0, index); }
const char *OrdinalName(int index) { return Lookup(OrdinalNames, 0, index); }
const char *ShortWeekdayName(int weekday) { return Lookup(ShortWeekdayNames, 1, weekday); }
const char *MonthName(int month) { return Lookup(MonthNames, 1, month); }
const char *HijriMonthName(int hijriMonth) { return Lookup(HijriMonthNames, 1, hijriMonth); }
const char *FiqhName(int fiqh) { return Lookup(FiqhNames, 0, fiqh); }
const char *PrecisionName(int precision) { return Lookup(PrecisionNames, 0, precision); }
const char *HighLatitudeRuleName(int rule) { return Lookup(HighLatitudeRuleNames, 0, rule); }

}  // namespace vorlin

// The versioned settings record of the structured exports (VorTimesSettings)
// on the library side: its defaults, a named method over it, the check of
// its values and its reading into TimesSettings.  The exports and the
// front ends use these, so every path accepts and refuses the same values.
#pragma once

#include "methods/day_times.h"
#include "methods/methods.h"
#include "vorlin.h"

namespace vorlin {

// The defaults: the first method of the table (MWL) with its Shafi'i Asr,
// the default high-latitude method, 10 Celsius, tolerance 1 s, crescent 20.
VorTimesSettings DefaultTimesRecord();

// The method's published fields over record (every other field kept).
void ApplyMethodToRecord(const NamedMethod &method, VorTimesSettings &record);

// The first unusable value of record: the name of its field (as in
// vorlin.h, "adjust" for any of the seven) and the range it must lie in
// (text such as "-90..90"); both null when every value is usable.
struct UnusableSetting {
    const char *field = nullptr;
    const char *range = nullptr;
};
UnusableSetting FirstUnusableSetting(const VorTimesSettings &record);

// record as TimesSettings; false (and s unspecified) when a value is
// unusable.  A toleranceSeconds below 1 counts as 1.
bool RecordToSettings(const VorTimesSettings &record, TimesSettings &s);

}  // namespace vorlin

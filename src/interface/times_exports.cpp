// The exports of the day's times as numbers: the versioned settings and
// result records, the named methods, one day and a range of days.  The
// host's records are read through their size fields and never changed
// (the location is converted to radians on a copy).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "interface/input_guard.h"
#include "interface/times_record.h"
#include "methods/day_times.h"
#include "methods/methods.h"
#include "vorlin.h"

namespace vorlin {
namespace {

constexpr int32_t MaxRangeDays = 3660;
// Civil years the times are given for: the years of ISO 8601 dates (and of
// most hosts' date types); far beyond them Delta T and the series make the
// times meaningless, and the Hijri calendar that tells Ramadan costs more.
constexpr int32_t FirstYear = 1;
constexpr int32_t LastYear = 9999;
constexpr double UnixEpochJd = 2440587.5;

// The host's record in full: its first size bytes over the defaults.
template <typename Record>
bool ReadVersioned(const Record *host, Record &record) {
    if (host == nullptr || host->size < 8) return false;
    const std::size_t size = static_cast<std::size_t>(host->size) < sizeof record
                                 ? static_cast<std::size_t>(host->size)
                                 : sizeof record;
    std::memcpy(&record, host, size);
    record.size = static_cast<int32_t>(sizeof record);
    return true;
}

// Everything a request needs, read and checked once.
struct Request {
    TimesSettings settings;
    VorLocation place;  // radians
};

bool ReadRequest(const VorDate *date, const VorLocation *location,
                 const VorTimesSettings *settings, Request &request) {
    VorTimesSettings record = DefaultTimesRecord();
    if (date == nullptr || location == nullptr || !ReadVersioned(settings, record) ||
        IsUsableLocation(*location) == 0 || IsValidDate(*date, 0) != 1 ||
        date->year < FirstYear || date->year > LastYear ||
        !RecordToSettings(record, request.settings)) {
        return false;
    }
    request.place = *location;
    request.place.latitude *= DegToRad;
    request.place.longitude *= DegToRad;
    return true;
}

VorDayTimes ToRecord(const DayTimes &t) {
    VorDayTimes r{};
    r.size = sizeof r;
    r.ramadan = t.ramadan;
    for (int e = 0; e < VOR_EVENT_COUNT; ++e) {
        const EventTime &x = t.event[e];
        VorEventTime &y = r.event[e];
        y.localHours = x.localHours;
        y.utcJd = x.utcJd;
        y.unixSeconds = (x.utcJd - UnixEpochJd) * 86400.0;
        y.status = x.status;
        y.filledBy = x.filledBy;
    }
    return r;
}

VorDayTimes NotValidRecord() {
    VorDayTimes r{};
    r.size = sizeof r;
    for (VorEventTime &e : r.event) {
        e.localHours = e.utcJd = e.unixSeconds = kNoValue;
        e.status = VOR_STATUS_NOT_VALID;
    }
    return r;
}

// Writes a record of the library into the host's record of `size` bytes
// (at least 8) at host: the fields that fit, byte by byte (a host's stride
// need not keep elements aligned), keeping the host's size field.
template <typename Record>
void WriteRecord(const Record &record, void *host, int32_t size) {
    const std::size_t n = static_cast<std::size_t>(size) < sizeof record
                              ? static_cast<std::size_t>(size)
                              : sizeof record;
    std::memcpy(static_cast<char *>(host) + sizeof(int32_t),
                reinterpret_cast<const char *>(&record) + sizeof(int32_t), n - sizeof(int32_t));
}

}  // namespace
}  // namespace vorlin

using namespace vorlin;

extern "C" {

VORLIN_API int32_t VORLIN_CALL VorDefaultTimesSettings(VorTimesSettings *settings) {
    if (settings == nullptr || settings->size < 8) return 0;
    WriteRecord(DefaultTimesRecord(), settings, settings->size);
    return static_cast<int32_t>(sizeof(VorTimesSettings));
}

VORLIN_API int32_t VORLIN_CALL VorMethodCount(void) { return NamedMethodCount(); }

VORLIN_API int32_t VORLIN_CALL VorMethodName(int32_t index, char *name, int32_t capacity) {
    if (index < 0 || index >= NamedMethodCount()) return 0;
    const char *text = NamedMethodAt(index).name;
    const int32_t length = static_cast<int32_t>(std::strlen(text));
    if (name != nullptr && capacity > 0) {
        const int32_t n = length < capacity - 1 ? length : capacity - 1;
        std::memcpy(name, text, static_cast<std::size_t>(n));
        name[n] = '\0';
    }
    return length;
}

VORLIN_API int32_t VORLIN_CALL VorMethodSettings(const char *name, VorTimesSettings *settings) {
    const NamedMethod *m = FindNamedMethod(name);
    if (m == nullptr || settings == nullptr || settings->size < 8) return 0;
    VorTimesSettings r = DefaultTimesRecord();
    ApplyMethodToRecord(*m, r);
    WriteRecord(r, settings, settings->size);
    return 1;
}

VORLIN_API int32_t VORLIN_CALL VorTimesOfDay(VorDate *date, VorLocation *location,
                                           VorTimesSettings *settings, VorDayTimes *times) {
    if (times == nullptr || times->size < 8) return 0;
    Request request{};
    if (!ReadRequest(date, location, settings, request)) {
        WriteRecord(NotValidRecord(), times, times->size);
        return 0;
    }
    VorDate day{};
    day.year = date->year;
    day.month = date->month;
    day.day = std::floor(date->day);
    DayTimes t{};
    ComputeDayTimes(day, request.place, request.settings, t, nullptr);
    WriteRecord(ToRecord(t), times, times->size);
    return 1;
}

VORLIN_API int32_t VORLIN_CALL VorTimesOfRange(VorDate *first, int32_t days, VorLocation *location,
                                             VorTimesSettings *settings, VorDayTimes *times) {
    if (times == nullptr || times->size < 8 || days < 1 || days > MaxRangeDays) return 0;
    const int32_t stride = times->size;
    Request request{};
    if (!ReadRequest(first, location, settings, request)) return 0;
    DayTimesCache cache;  // shared by the days: each day's Sun is computed once
    const double firstJd = DateToJulianDay(*first);
    for (int32_t i = 0; i < days; ++i) {  // bounded by MaxRangeDays
        VorDate day{};
        JulianDayToDate(std::floor(firstJd - 0.5) + 0.5 + i, day);
        if (day.year > LastYear) return i;  // the range ran past the last year
        DayTimes t{};
        ComputeDayTimes(day, request.place, request.settings, t, &cache);
        char *element = reinterpret_cast<char *>(times) + static_cast<std::ptrdiff_t>(i) * stride;
        std::memcpy(element, &stride, sizeof stride);
        WriteRecord(ToRecord(t), element, stride);
    }
    return days;
}

}  // extern "C"

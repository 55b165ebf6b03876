// VorCivilToHijri, VorHijriToCivil and VorCrescentEvening over any date,
// location, settings and calendar bytes, with a calendar and a crescent
// record of any declared size: the library reads and writes no byte beyond
// the sizes (both records are heap blocks of exactly that size, so
// AddressSanitizer sees any access past them), results are 0 or 1, a
// refused civil-to-Hijri conversion leaves hijriValid 0 and a refused
// Hijri-to-civil one the date as it was, a Hijri date found converts back
// to its civil day, the crescent's result is its status, and the location,
// settings and calendar are never changed.
//
// The regional calendar over the world or the Americas judges hundreds of
// places for each month start (about 0.2 s per conversion):
// such a calendar (also one whose record is too short to name its region,
// which then reads as the world) is turned into one of one or two of its
// own places so that every run stays fast.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"

namespace {

// Bytes 0..187 the three records (fuzz_input.h), 188..731 a VorCalendar,
// then a calendar size (two bytes), a crescent record size and a selector.
constexpr std::size_t CalendarAt = vorlin_fuzz::RecordBytes;
constexpr std::size_t ChoicesAt = CalendarAt + sizeof(VorCalendar);

int32_t ReadI32(const unsigned char *p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void WriteI32(unsigned char *p, int32_t v) { std::memcpy(p, &v, 4); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    unsigned char bytes[ChoicesAt + 4] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    const vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(bytes, sizeof bytes);

    // The calendar in a block of its declared size: 4 .. 544 bytes (the
    // size field itself is always there), declaring 0 .. 544.
    const int calendarChoice = bytes[ChoicesAt] | bytes[ChoicesAt + 1] << 8;
    int32_t calendarSize = calendarChoice % static_cast<int>(sizeof(VorCalendar) + 1);
    std::vector<unsigned char> calendar(bytes + CalendarAt,
                                        bytes + CalendarAt + (calendarSize < 4 ? 4 : calendarSize));
    WriteI32(calendar.data(), calendarSize);
    if (calendarSize >= 8 && ReadI32(calendar.data() + 4) == VOR_CALENDAR_REGIONAL) {
        // A record too short to hold the region or the count of places
        // reads them as zeros, the world: it is lengthened to hold both.
        constexpr int32_t WithCount = 28;
        if (calendarSize < WithCount) {
            calendar.resize(WithCount, 0);
            if (calendarSize < 24) WriteI32(calendar.data() + 20, VOR_REGION_WORLD);
            calendarSize = WithCount;
            WriteI32(calendar.data(), calendarSize);
        }
        if (ReadI32(calendar.data() + 20) == VOR_REGION_WORLD ||
            ReadI32(calendar.data() + 20) == VOR_REGION_AMERICAS) {
            WriteI32(calendar.data() + 20, VOR_REGION_PLACES);
            WriteI32(calendar.data() + 24, 1 + (bytes[ChoicesAt + 3] & 1));
        }
    }
    const std::vector<unsigned char> calendarBefore = calendar;
    const bool noCalendar = (bytes[ChoicesAt + 3] & 2) != 0;
    const VorCalendar *k =
        noCalendar ? nullptr : reinterpret_cast<const VorCalendar *>(calendar.data());

    // Civil to Hijri and, when a date is found, back.
    VorDate date = r.date;
    const int32_t toHijri = VorCivilToHijri(k, &date, &r.location, &r.config);
    if (toHijri != 0 && toHijri != 1) std::abort();
    if (date.hijriValid != toHijri) std::abort();
    if (toHijri == 1) {
        // A day that does not exist (31 February) is counted on into the
        // next month: only an existing one comes back as it was, within
        // the years the calendars are inverses in (1..9999: beyond, the
        // library's own calendar rests on a Delta T extrapolated by days).
        // A time of day within the Julian Date's resolution (about 5e-10
        // day) of midnight is the next day's midnight.
        VorDate given = r.date;
        const double wholeDay = std::floor(r.date.day);
        const bool exists = VorisValidDate(&given, 0) == 1 && r.date.year <= 9999 &&
                            r.date.day - wholeDay < 1.0 - 1e-9;
        // The library's own calendar has months of more than 30 days where
        // a place's evenings come and go (near the polar circles); its
        // searches name no day beyond the 60th.
        if (date.hijriMonth < 1 || date.hijriMonth > 12 || !(date.hijriDay >= 1.0) ||
            !(date.hijriDay < 61.0)) {
            std::abort();
        }
        VorDate back{};
        back.hijriYear = date.hijriYear;
        back.hijriMonth = date.hijriMonth;
        back.hijriDay = std::floor(date.hijriDay);
        const int32_t found = VorHijriToCivil(k, &back, &r.location, &r.config);
        if (exists && (found != 1 || back.year != r.date.year || back.month != r.date.month ||
                       back.day != wholeDay)) {
            std::abort();
        }
    }

    // Hijri to civil from the input's own Hijri fields.
    VorDate hijri = r.date;
    const VorDate hijriBefore = hijri;
    const int32_t toCivil = VorHijriToCivil(k, &hijri, &r.location, &r.config);
    if (toCivil != 0 && toCivil != 1) std::abort();
    if (toCivil == 0 && std::memcmp(&hijri, &hijriBefore, sizeof hijri) != 0) std::abort();

    // The crescent into a record of its declared size: 4 .. 256 bytes.
    const int32_t recordSize = 4 + bytes[ChoicesAt + 2] % (sizeof(VorCrescent) - 3);
    std::vector<unsigned char> record(static_cast<std::size_t>(recordSize), 0xA5);
    WriteI32(record.data(), recordSize);
    const std::vector<unsigned char> recordBefore = record;
    const int32_t evening = VorCrescentEvening(&r.date, &r.location, &r.config,
                                               reinterpret_cast<VorCrescent *>(record.data()));
    if (evening != 0 && evening != 1) std::abort();
    if (recordSize < 8) {
        if (evening != 0 || record != recordBefore) std::abort();
    } else {
        if (ReadI32(record.data()) != recordSize || ReadI32(record.data() + 4) != evening) std::abort();
        if (evening == 1 && recordSize >= 16) {
            double sunset = 0.0;
            std::memcpy(&sunset, record.data() + 8, 8);
            if (!std::isfinite(sunset)) std::abort();
        }
    }

    // The records read are unchanged.
    const vorlin_fuzz::FuzzRecords again = vorlin_fuzz::ReadRecords(bytes, sizeof bytes);
    if (std::memcmp(&again.location, &r.location, sizeof r.location) != 0 ||
        std::memcmp(&again.config, &r.config, sizeof r.config) != 0 || calendar != calendarBefore) {
        std::abort();
    }
    return 0;
}

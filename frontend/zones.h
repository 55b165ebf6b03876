// Clocks: an IANA time zone of the tz database (the system's tzdata, read
// through Howard Hinnant's date/tz) or a fixed offset from UTC.  What the
// front ends show a time on, and what tells them a place's date today.
#pragma once

#include <string>

namespace vorlin::frontend {

// The clock at one instant.
struct ClockReading {
    int offsetSeconds = 0;    // UTC offset in force (summer time included)
    int savingSeconds = 0;    // the summer-time part of it (may be negative)
    std::string abbreviation;  // "BST", "+0330" ...
};

// A civil date.
struct CivilDate {
    int year = 0, month = 0, day = 0;
};

class Clock {
public:
    // The zone of the tz database called name ("Europe/London"); throws
    // std::runtime_error when there is none.
    static Clock Zone(const std::string &name);
    // A fixed offset of hours east of Greenwich (-14..14).
    static Clock FixedOffset(double hours);

    bool IsZone() const { return zone_ != nullptr; }
    // "Europe/London", or "UTC+03:00" for a fixed offset.
    std::string Name() const;

    ClockReading At(long long unixSeconds) const;

    // The date on this clock at the instant.
    CivilDate DateAt(long long unixSeconds) const;

    // Whether the date appears on this clock (a zone may skip a whole day,
    // as Pacific/Apia skipped 2011-12-30), and the clock at its noon (or at
    // the first hour of it that exists).
    bool HasDate(const CivilDate &date) const;

    // The instant a local date and time names on this clock: the earlier of
    // two in a repeated hour, the time after the gap in a skipped one.
    long long UnixOfLocal(const CivilDate &date, int secondOfDay) const;
    ClockReading AtLocalNoon(const CivilDate &date) const;

private:
    const void *zone_ = nullptr;  // date::time_zone of the database
    int fixedSeconds_ = 0;
};

// The release of the tz database in use ("2025b").
std::string TimeZoneDatabaseVersion();

// "+01:00", "-03:30", "+05:45".
std::string OffsetText(int offsetSeconds);

}  // namespace vorlin::frontend

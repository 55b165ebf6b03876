#include "zones.h"

#include <date/tz.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vorlin::frontend {

namespace {

const date::time_zone *Tz(const void *zone) { return static_cast<const date::time_zone *>(zone); }

date::sys_seconds Instant(long long unixSeconds) { return date::sys_seconds{std::chrono::seconds{unixSeconds}}; }

date::local_seconds LocalTime(const CivilDate &d, int hour) {
    return date::local_days{date::year{d.year} / d.month / d.day} + std::chrono::hours{hour};
}

}  // namespace

Clock Clock::Zone(const std::string &name) {
    Clock clock;
    try {
        clock.zone_ = date::locate_zone(name);
    } catch (const std::exception &) {
        throw std::runtime_error("no time zone '" + name + "' in the tz database");
    }
    return clock;
}

Clock Clock::FixedOffset(double hours) {
    Clock clock;
    clock.fixedSeconds_ = static_cast<int>(std::lround(hours * 3600.0));
    return clock;
}

std::string Clock::Name() const {
    if (zone_ != nullptr) return std::string(Tz(zone_)->name());
    return "UTC" + OffsetText(fixedSeconds_);
}

ClockReading Clock::At(long long unixSeconds) const {
    ClockReading r;
    if (zone_ == nullptr) {
        r.offsetSeconds = fixedSeconds_;
        r.abbreviation = OffsetText(fixedSeconds_);
        return r;
    }
    const date::time_zone *zone = Tz(zone_);
    const date::sys_info info = zone->get_info(Instant(unixSeconds));
    r.offsetSeconds = static_cast<int>(info.offset.count());
    r.abbreviation = info.abbrev;
    if (info.save == std::chrono::minutes{0}) return r;
    // The system's compiled zones say only whether summer time is in force,
    // not by how much: the standard offset is that of the nearest period
    // without it, before or after this one, whichever is closer in offset
    // (a zone that moved across the date line, as Apia did in 2011, has its
    // old standard offset before and its new one after).
    int best = -1;
    for (const bool forward : {false, true}) {
        date::sys_info other = info;
        for (int step = 0; step < 8; ++step) {  // a few periods at most
            if (!forward && other.begin <= date::sys_seconds::min() + std::chrono::hours{24}) break;
            if (forward && other.end >= date::sys_seconds::max() - std::chrono::hours{24}) break;
            other = zone->get_info(forward ? other.end : other.begin - std::chrono::seconds{1});
            if (other.save != std::chrono::minutes{0}) continue;
            const int saving = r.offsetSeconds - static_cast<int>(other.offset.count());
            if (best < 0 || std::abs(saving) < std::abs(r.savingSeconds)) r.savingSeconds = saving;
            best = 1;
            break;
        }
    }
    if (best > 0) return r;
    r.savingSeconds = 3600;  // no period without summer time: the usual hour
    return r;
}

CivilDate Clock::DateAt(long long unixSeconds) const {
    const long long local = unixSeconds + At(unixSeconds).offsetSeconds;
    const date::sys_days day = date::floor<date::days>(Instant(local));
    const date::year_month_day ymd{day};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

bool Clock::HasDate(const CivilDate &date) const {
    if (zone_ == nullptr) return true;
    for (int hour = 0; hour < 24; ++hour)
        if (Tz(zone_)->get_info(LocalTime(date, hour)).result != date::local_info::nonexistent) return true;
    return false;
}

long long Clock::UnixOfLocal(const CivilDate &date, int secondOfDay) const {
    const date::local_seconds local =
        date::local_days{date::year{date.year} / date.month / date.day} + std::chrono::seconds{secondOfDay};
    if (zone_ == nullptr) return local.time_since_epoch().count() - fixedSeconds_;
    // The first offset: of the earlier instant of a repeated hour, and from
    // before a gap (which lands after it).
    const date::local_info info = Tz(zone_)->get_info(local);
    return local.time_since_epoch().count() - info.first.offset.count();
}

ClockReading Clock::AtLocalNoon(const CivilDate &date) const {
    if (zone_ == nullptr) return At(0);
    for (int step = 0; step < 24; ++step) {  // noon, then the hours after it, then before
        const int hour = (12 + step) % 24;
        const date::local_info info = Tz(zone_)->get_info(LocalTime(date, hour));
        if (info.result == date::local_info::nonexistent) continue;
        const long long unix =
            (LocalTime(date, hour) - info.first.offset).time_since_epoch().count();
        return At(unix);
    }
    return At(LocalTime(date, 12).time_since_epoch().count());  // no hour of the date exists
}

std::string TimeZoneDatabaseVersion() {
    std::string version;
    try {
        version = date::get_tzdb().version;
    } catch (const std::exception &) {
    }
    if (!version.empty() && version != "unknown") return version;
    // The system's compiled zones name their release in tzdata.zi's first line.
    std::ifstream zi("/usr/share/zoneinfo/tzdata.zi");
    std::string line;
    if (std::getline(zi, line) && line.rfind("# version ", 0) == 0) return line.substr(10);
    return "release unknown";
}

std::string OffsetText(int offsetSeconds) {
    const int minutes = std::abs(offsetSeconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetSeconds < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return text;
}

}  // namespace vorlin::frontend

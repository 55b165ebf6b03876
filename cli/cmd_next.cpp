// `vorlin next`: the prayer whose time it is and the next one, with the
// time left, at a place now or at a given moment.
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "output.h"
#include "calendar/julian_day.h"
#include "command_table.h"
#include "commands.h"
#include "export_formats.h"
#include "json_out.h"
#include "options.h"
#include "terminal.h"
#include "timetable.h"
#include "zones.h"

namespace vorlin::cli {

namespace {

// The events `next` walks through, in the order of the day.
struct Prayer {
    int event;
    const char *key;
    const char *title;
};
constexpr Prayer Prayers[] = {{VOR_EVENT_FAJR, "fajr", "Fajr"},     {VOR_EVENT_SUNRISE, "sunrise", "Sunrise"},
                              {VOR_EVENT_DHUHR, "dhuhr", "Dhuhr"},   {VOR_EVENT_ASR, "asr", "Asr"},
                              {VOR_EVENT_MAGHRIB, "maghrib", "Maghrib"}, {VOR_EVENT_ISHA, "isha", "Isha"}};

struct Happening {
    const Prayer *prayer;
    long long unixSeconds;
    LocalMoment moment;
};

// "2024-03-11T14:02", "2024-03-11T14:02:30", with "Z" or "+03:00" or on the
// place's clock; the instant in Unix seconds.
long long ParseMoment(const std::string &text, const frontend::Clock &clock) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, consumed = 0;
    const std::string error = "--at: expects Y-M-DTHH:MM[:SS][Z|+HH:MM], not '" + text + "'";
    const std::size_t t = text.find('T');
    if (t == std::string::npos) throw UsageError(error);
    ParseDate(text.substr(0, t), y, mo, d);
    const std::string rest = text.substr(t + 1);
    if (std::sscanf(rest.c_str(), "%2d:%2d%n", &h, &mi, &consumed) != 2) throw UsageError(error);
    std::size_t at = static_cast<std::size_t>(consumed);
    if (at < rest.size() && rest[at] == ':') {
        int more = 0;
        if (std::sscanf(rest.c_str() + at, ":%2d%n", &s, &more) != 1) throw UsageError(error);
        at += static_cast<std::size_t>(more);
    }
    if (h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) throw UsageError(error);
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(mo);
    date.day = d;
    if (IsValidDate(date, 0) != 1 || y < 1 || y > 9999) throw UsageError(error);
    const int second = h * 3600 + mi * 60 + s;
    const std::string zone = rest.substr(at);
    if (zone.empty()) return clock.UnixOfLocal({y, mo, d}, second);
    int offset = 0;
    if (zone != "Z") {
        int oh = 0, om = 0;
        char sign = 0;
        int used = 0;
        if (std::sscanf(zone.c_str(), "%c%2d:%2d%n", &sign, &oh, &om, &used) != 3 ||
            static_cast<std::size_t>(used) != zone.size() || (sign != '+' && sign != '-') || oh > 14 || om > 59)
            throw UsageError(error);
        offset = (sign == '-' ? -1 : 1) * (oh * 3600 + om * 60);
    }
    return frontend::Clock::FixedOffset(0).UnixOfLocal({y, mo, d}, second) - offset;
}

std::string Duration(long long seconds) {
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld h %02lld min", seconds / 3600, seconds / 60 % 60);
    else
        std::snprintf(text, sizeof text, "%lld min %02lld s", seconds / 60, seconds % 60);
    return text;
}

Json MomentJson(const Happening *h, long long now, bool withRemaining) {
    if (h == nullptr) return nullptr;
    Json out;
    out["name"] = h->prayer->key;
    out["time"] = IsoLocalDateTime(h->moment);
    if (withRemaining) out["inSeconds"] = h->unixSeconds - now;
    if (h->moment.filled) out["filled"] = h->moment.reason;
    return out;
}

}  // namespace

int RunNext(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("next"), &own);
    std::string at;
    for (const auto &[flag, value] : own) {
        if (flag == "--help") {
            Out(
                "usage: vorlin next [--at Y-M-DTHH:MM[:SS][Z|+HH:MM]] [--format text|json] [FLAGS]\n"
                "The prayer whose time it is (the last of Fajr, sunrise, Dhuhr, Asr, Maghrib\n"
                "and Isha'a that has begun) and the next one, on the place's clock, with the\n"
                "time left: now, or at --at (the place's local time unless it has Z or an\n"
                "offset).  After Isha'a the next is the next day's Fajr.  A time given by\n"
                "the high-latitude setting counts and says so; a time that does not\n"
                "exist that day (polar day or night) is passed over.\n"
                "%s"
                "examples: vorlin next --city London\n"
                "          vorlin next --city Jakarta --at 2024-03-11T17:00 --format json\n",
                PlaceAndSettingsHelp);
            return 0;
        }
        if (flag == "--at") at = value;
    }
    const bool json = WantsJson(own);
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
    RequireClock(r);
    const long long now = at.empty() ? static_cast<long long>(std::time(nullptr)) : ParseMoment(at, r.clock);

    // Yesterday, today and tomorrow on the place's clock.
    const frontend::CivilDate today = r.clock.DateAt(now);
    VorDate yesterday{};
    yesterday.year = today.year;
    yesterday.month = static_cast<uint8_t>(today.month);
    yesterday.day = today.day;
    JulianDayToDate(DateToJulianDay(yesterday) - 1.0, yesterday);
    yesterday.day = std::floor(yesterday.day);
    const std::vector<TimetableDay> days = ComputeTimetableOf(r, RangeDates(r, yesterday, 3));
    std::vector<Happening> happenings;
    for (const TimetableDay &day : days) {
        for (const Prayer &p : Prayers) {
            const LocalMoment m = MomentOf(day, p.event);
            if (!m.valid) continue;
            happenings.push_back({&p, std::llround(day.times.event[p.event].unixSeconds), m});
        }
    }
    const Happening *current = nullptr, *next = nullptr;
    for (const Happening &h : happenings) {
        if (h.unixSeconds <= now && (current == nullptr || h.unixSeconds >= current->unixSeconds)) current = &h;
        if (h.unixSeconds > now && (next == nullptr || h.unixSeconds < next->unixSeconds)) next = &h;
    }

    const frontend::ClockReading reading = r.clock.At(now);
    const LocalMoment nowMoment = MomentAt(now, reading.offsetSeconds);
    const std::string place = ForTerminal(r.location.name[0] != '\0' ? r.location.name : "the point given", r);
    if (json) {
        Json doc;
        doc["now"] = IsoLocalDateTime(nowMoment);
        doc["place"] = PlaceJson(r);
        doc["current"] = MomentJson(current, now, false);
        doc["next"] = MomentJson(next, now, true);
        PrintJson(doc);
        return 0;
    }
    Out("Now %s at %s (%s)\n", IsoLocalDateTime(nowMoment).c_str(), place.c_str(), r.clock.Name().c_str());
    if (current != nullptr)
        Out("Current: %-8s since %s%s\n", current->prayer->title, IsoLocalDateTime(current->moment).c_str(),
                    current->moment.filled ? (" (" + current->moment.reason + ")").c_str() : "");
    else
        Out("Current: none in the last day\n");
    if (next != nullptr)
        Out("Next:    %-8s at    %s%s, in %s\n", next->prayer->title, IsoLocalDateTime(next->moment).c_str(),
                    next->moment.filled ? (" (" + next->moment.reason + ")").c_str() : "",
                    Duration(next->unixSeconds - now).c_str());
    else
        Out("Next:    none in the next day\n");
    return 0;
}

}  // namespace vorlin::cli

#include "export_formats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "calendar/julian_day.h"
#include "describe.h"
#include "zones.h"
#include "prayer/report_names.h"

namespace vorlin::cli {

namespace {

// Place-record text as UTF-8: kept when it is valid UTF-8, otherwise read
// as Latin-1, byte by byte.
std::string Utf8Text(const char *text) {
    std::string in(text);
    bool valid = true;
    for (std::size_t i = 0; i < in.size() && valid;) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > in.size()) valid = false;
        for (int k = 1; valid && k < length; ++k)
            if ((static_cast<unsigned char>(in[i + k]) >> 6) != 2) valid = false;
        i += length > 0 ? length : 1;
    }
    if (valid) return in;
    std::string out;
    for (const char ch : in) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string JsonString(const std::string &text) {
    std::string out = "\"";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string DateText(int year, int month, int day) {
    char text[32];
    if (year >= 0 && year <= 9999)
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    else
        std::snprintf(text, sizeof text, "%+05d-%02d-%02d", year, month, day);  // ISO expanded year
    return text;
}

}  // namespace

std::string DateText(const VorDate &date) {
    return DateText(date.year, date.month, static_cast<int>(date.day));
}

namespace {

std::string HijriDateText(const VorDate &date) {
    if (date.hijriValid != 1) return "";
    return DateText(date.hijriYear, date.hijriMonth, static_cast<int>(date.hijriDay));
}

std::string ClockText(int secondOfDay) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60,
                  secondOfDay % 60);
    return text;
}

// iCalendar TEXT value: backslash, semicolon, comma and line ends escaped.
std::string IcsText(const std::string &text) {
    std::string out;
    for (const char ch : text) {
        if (ch == '\\' || ch == ';' || ch == ',') {
            out += '\\';
            out += ch;
        } else if (ch == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') {
            out += ch;
        }
    }
    return out;
}

std::string IcsUtc(long long dayNumber, int secondOfDay) {
    VorDate civil{};
    JulianDayToDate(static_cast<double>(dayNumber) - 0.5, civil);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", civil.year, civil.month,
                  static_cast<int>(civil.day), secondOfDay / 3600, secondOfDay / 60 % 60,
                  secondOfDay % 60);
    return text;
}

// Julian Day Number of 1970-01-01 (the Unix epoch).
constexpr long long UnixEpochDayNumber = 2440588;

std::string Coordinates(const VorLocation &l) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f %c %.4f %c", std::fabs(l.latitude),
                  l.latitude < 0 ? 'S' : 'N', std::fabs(l.longitude), l.longitude < 0 ? 'W' : 'E');
    return text;
}

std::string OptionalNumber(double value, bool given) { return given ? Number(value) : "null"; }

// The clock of a moment: "05:18:53", or "05:19" when the times are whole
// minutes.
std::string ShortClock(int secondOfDay, bool minutes) {
    const std::string clock = ClockText(secondOfDay);
    return minutes ? clock.substr(0, 5) : clock;
}

}  // namespace

std::string PlaceText(const char *text) { return Utf8Text(text); }

std::string JsonEscaped(const std::string &text) {
    const std::string quoted = JsonString(Utf8Text(text.c_str()));
    return quoted.substr(1, quoted.size() - 2);
}

std::string DayNotes(const TimetableDay &day, const std::vector<ShownEvent> &events) {
    // The events grouped by what they share, in the order of the day:
    // "imsak, fajr, isha filled by seventh of the night; sunrise always above".
    std::vector<std::pair<std::string, std::string>> groups;  // (what, keys)
    for (const ShownEvent &e : events) {
        const LocalMoment m = MomentOf(day, e.event);
        if (m.valid && !m.filled) continue;
        const std::string what = (m.filled ? "filled by " : "") + m.reason;
        bool found = false;
        for (auto &g : groups) {
            if (g.first == what) {
                g.second += std::string(", ") + e.key;
                found = true;
            }
        }
        if (!found) groups.emplace_back(what, e.key);
    }
    std::string notes;
    for (const auto &g : groups) notes += (notes.empty() ? "" : "; ") + g.second + " " + g.first;
    return notes;
}

std::string IsoOffset(double hours) {
    // Zones lie within -14..14 hours.
    const int minutes = static_cast<int>(std::lround(std::fmin(std::fabs(hours), 99.0) * 60.0));
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", hours < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return text;
}

std::string IsoLocalDateTime(const LocalMoment &moment) {
    return DateText(moment.date) + "T" + ClockText(moment.secondOfDay) + frontend::OffsetText(moment.offsetSeconds);
}

std::string TimetableJson(const std::vector<TimetableDay> &days, const Request &r) {
    const VorLocation &location = r.location;
    const VorTimesSettings &t = r.times;
    const std::vector<ShownEvent> events = ShownEvents(r.asrBoth);
    std::string out = "{\n  \"place\": {\"name\": " + JsonString(Utf8Text(location.name)) +
                      ", \"latitude\": " + Number(location.latitude) +
                      ", \"longitude\": " + Number(location.longitude) +
                      ", \"height\": " + Number(location.height) +
                      ", \"timeZone\": " + Number(location.timeZone) +
                      ", \"zone\": " + JsonString(r.clock.Name()) + "},\n";
    static constexpr const char *Midnight[2] = {"standard", "jafari"};
    static constexpr const char *Twilight[2] = {"angles", "seasonal"};
    static constexpr const char *Shafaq[3] = {"general", "ahmer", "abyad"};
    static constexpr const char *Rounding[4] = {"seconds", "nearest", "up", "down"};
    static constexpr const char *Adjusted[7] = {"imsak", "fajr", "sunrise", "dhuhr",
                                                "asr",   "maghrib", "isha"};
    std::string adjust;
    for (int i = 0; i < 7; ++i)
        if (t.adjust[i] != 0)
            adjust += std::string(adjust.empty() ? "" : ", ") + "\"" + Adjusted[i] + "\": " + Number(t.adjust[i]);
    out += "  \"settings\": {\"method\": " + (r.method.empty() ? std::string("null") : JsonString(r.method)) +
           ", \"fajrAngle\": " + Number(t.fajrAngle) +
           ", \"ishaAngle\": " + OptionalNumber(t.ishaAngle, t.ishaMinutes <= 0) +
           ", \"ishaMinutes\": " + OptionalNumber(t.ishaMinutes, t.ishaMinutes > 0) +
           ", \"ishaMinutesRamadan\": " + OptionalNumber(t.ishaMinutesRamadan, t.ishaMinutesRamadan > 0) +
           ", \"maghribAngle\": " + OptionalNumber(t.maghribAngle, t.maghribAngle != 0) +
           ", \"maghribMinutes\": " + Number(t.maghribMinutes) +
           ", \"imsakAngle\": " + OptionalNumber(t.imsakAngle != 0 ? t.imsakAngle : t.fajrAngle + 1.0,
                                                 t.imsakMinutes <= 0) +
           ", \"imsakMinutes\": " + OptionalNumber(t.imsakMinutes, t.imsakMinutes > 0) +
           ",\n               \"asr\": " +
           JsonString(r.asrBoth ? "both" : t.asrFactor == 2 ? "hanafi" : "standard") +
           ", \"highLatitude\": " + JsonString(HighLatitudeText(t.highLatitude)) +
           ", \"midnight\": " + JsonString(Midnight[t.midnight & 1]) +
           ", \"twilight\": " + JsonString(Twilight[t.twilight & 1]) +
           ", \"shafaq\": " + JsonString(Shafaq[t.shafaq >= 0 && t.shafaq <= 2 ? t.shafaq : 0]) +
           ", \"rounding\": " + JsonString(Rounding[t.rounding & 3]) +
           ", \"adjust\": {" + adjust + "}" +
           ",\n               \"horizonHeight\": " + Number(t.horizonHeight) +
           ", \"distanceKm\": " + Number(t.distanceKm) +
           ", \"safetySeconds\": " + Number(t.safetySeconds) +
           ", \"temperature\": " + Number(t.temperature) +
           ", \"pressure\": " + Number(t.pressure) + "},\n";
    out += "  \"days\": [";
    bool firstDay = true;
    for (const TimetableDay &day : days) {
        if (day.skipped) continue;  // not a date of the local clock
        out += firstDay ? "\n" : ",\n";
        firstDay = false;
        out += "    {\"date\": \"" + DateText(day.date) + "\", \"weekday\": " +
               JsonString(ShortWeekdayName(day.weekday)) + ", \"hijri\": ";
        if (day.date.hijriValid == 1) {
            out += "{\"date\": \"" + HijriDateText(day.date) + "\", \"year\": " +
                   Number(day.date.hijriYear) + ", \"month\": " + Number(day.date.hijriMonth) +
                   ", \"day\": " + Number(static_cast<int>(day.date.hijriDay)) +
                   ", \"monthName\": " + JsonString(HijriMonthName(day.date.hijriMonth)) + "}";
        } else {
            out += "null";
        }
        out += ", \"utcOffset\": \"" + IsoOffset(day.utcOffsetHours) + "\", \"summerTime\": " +
               (day.summerTime ? "true" : "false") + ",\n     \"times\": {";
        std::string missing, filled, offsets;
        const int dayOffset = static_cast<int>(std::lround(day.utcOffsetHours * 3600.0));
        for (std::size_t e = 0; e < events.size(); ++e) {
            const LocalMoment m = MomentOf(day, events[e].event);
            out += std::string(e == 0 ? "" : ", ") + "\"" + events[e].key + "\": ";
            if (m.valid) {
                out += '"';
                out += IsoLocalDateTime(m);
                out += '"';
                if (m.offsetSeconds != dayOffset)
                    offsets += std::string(offsets.empty() ? "" : ", ") + "\"" + events[e].key +
                               "\": \"" + frontend::OffsetText(m.offsetSeconds) + "\"";
                if (m.filled)
                    filled += std::string(filled.empty() ? "" : ", ") + "\"" + events[e].key +
                              "\": " + JsonString(m.reason);
            } else {
                out += "null";
                missing += std::string(missing.empty() ? "" : ", ") + "\"" + events[e].key +
                           "\": \"" + m.reason + "\"";
            }
        }
        out += "},\n     \"missing\": {" + missing + "}, \"filled\": {" + filled + "}";
        if (!offsets.empty()) out += ", \"utcOffsets\": {" + offsets + "}";
        out += "}";
    }
    out += "\n  ]\n}\n";
    return out;
}

std::string TimetableCsv(const std::vector<TimetableDay> &days, const Request &r) {
    const std::vector<ShownEvent> events = ShownEvents(r.asrBoth);
    std::string out = "date,weekday,hijri_date,utc_offset";
    for (const ShownEvent &e : events) out += std::string(",") + e.column;
    out += ",notes\r\n";
    for (const TimetableDay &day : days) {
        if (day.skipped) continue;
        out += DateText(day.date) + "," + ShortWeekdayName(day.weekday) + "," +
               HijriDateText(day.date) + "," + IsoOffset(day.utcOffsetHours);
        for (const ShownEvent &e : events) {
            const LocalMoment m = MomentOf(day, e.event);
            out += ",";
            if (m.valid) out += IsoLocalDateTime(m);
        }
        const std::string notes = DayNotes(day, events);
        // RFC 4180: a field with a comma or quote is quoted (a note never has a quote).
        out += "," + (notes.find(',') != std::string::npos ? "\"" + notes + "\"" : notes) + "\r\n";
    }
    return out;
}

std::string TimetableText(const std::vector<TimetableDay> &days, const Request &r) {
    const VorLocation &l = r.location;
    const VorTimesSettings &t = r.times;
    const std::vector<ShownEvent> events = ShownEvents(r.asrBoth);
    const bool minutes = t.rounding != 0;
    char line[160];
    std::string out;
    const std::string name = l.name[0] != '\0' ? std::string(l.name) + ", " : std::string();
    std::string clock = r.clock.Name();
    if (!r.clock.IsZone() && l.summerStart != 0) clock += " (summer time by the given rules)";
    std::snprintf(line, sizeof line, "Prayer times: %s%s, %d m, %s\n", name.c_str(),
                  Coordinates(l).c_str(), l.height, clock.c_str());
    out += line;
    std::string method = r.method.empty() ? std::string("MWL (default)") : r.method;
    out += "Method " + method + ": Fajr " + ShortNumber(t.fajrAngle) + " deg, Isha'a " + IshaText(t) +
           ", Imsak " + ImsakText(t) + ", Maghrib " + MaghribText(t) + ", Asr " +
           (r.asrBoth ? "both factors" : t.asrFactor == 2 ? "Hanafi (factor 2)" : "factor 1") + "\n";
    const std::string other = OtherDefinitionText(t);
    out += "High latitudes: " + HighLatitudeText(t.highLatitude) + "; eye " +
           std::to_string(t.horizonHeight) + " m above the horizon" + (other.empty() ? "" : "; " + other) +
           "\n\n";
    static constexpr const char *Titles[VOR_EVENT_COUNT] = {
        "Imsak", "Fajr", "Sunrise", "Dhuhr", "Asr", "AsrHanafi", "Sunset", "Maghrib", "Isha",
        "Midnight", "LastThird"};
    std::string header = "Date       Day Hijri      ";
    for (const ShownEvent &e : events) {
        std::snprintf(line, sizeof line, "%-10s", Titles[e.event]);
        header += line;
    }
    out += header + "Notes\n";
    bool filledShown = false, otherDayShown = false;
    bool changeShown = false;
    for (const TimetableDay &day : days) {
        std::snprintf(line, sizeof line, "%s %s %-10s ", DateText(day.date).c_str(),
                      ShortWeekdayName(day.weekday), HijriDateText(day.date).c_str());
        std::string row = line;
        if (day.skipped) {
            out += row + "(not a date of the local clock: " + r.clock.Name() + " skips it)\n";
            continue;
        }
        const int dayOffset = static_cast<int>(std::lround(day.utcOffsetHours * 3600.0));
        for (const ShownEvent &e : events) {
            const LocalMoment m = MomentOf(day, e.event);
            std::string cell = "-";
            if (m.valid) {
                const long long shift = std::llround(DateToJulianDay(m.date) - DateToJulianDay(day.date));
                cell = ShortClock(m.secondOfDay, minutes) + (shift > 0 ? ">" : shift < 0 ? "<" : "") +
                       (m.filled ? "*" : "") + (m.offsetSeconds != dayOffset ? "~" : "");
                changeShown = changeShown || m.offsetSeconds != dayOffset;
                filledShown = filledShown || m.filled;
                otherDayShown = otherDayShown || shift != 0;
            }
            std::snprintf(line, sizeof line, "%-10s", cell.c_str());
            row += line;
        }
        row += DayNotes(day, events);
        while (!row.empty() && row.back() == ' ') row.pop_back();
        out += row + "\n";
    }
    if (filledShown || otherDayShown || changeShown) out += "\n";
    if (changeShown) out += "~ on the clock after a change that day (the offset differs from noon's)\n";
    if (otherDayShown) out += "> on the next day, < on the day before (the local clock)\n";
    if (filledShown) out += "* given by the high-latitude setting or bound named in the notes\n";
    return out;
}

std::string FoldIcsLine(const std::string &line) {
    constexpr std::size_t MaxOctets = 75;
    std::string out;
    std::size_t start = 0;
    std::size_t room = MaxOctets;  // the first line has 75 octets, the others a blank and 74
    while (line.size() - start > room) {
        std::size_t cut = start + room;
        // Never between the bytes of one UTF-8 character.
        while (cut > start + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out += line.substr(start, cut - start) + "\r\n ";
        start = cut;
        room = MaxOctets - 1;
    }
    return out + line.substr(start) + "\r\n";
}

std::string TimetableIcs(const std::vector<TimetableDay> &days, const Request &r,
                         const IcsOptions &options, long long stampUtcSeconds) {
    const VorLocation &location = r.location;
    std::vector<ShownEvent> events = ShownEvents(r.asrBoth);
    if (!options.events.empty())
        std::erase_if(events, [&options](const ShownEvent &e) {
            return std::find(options.events.begin(), options.events.end(), e.event) ==
                   options.events.end();
        });
    const std::string place = Utf8Text(location.name);
    const std::string where = place.empty() ? Coordinates(location) : place + ", " + Coordinates(location);
    const long long stampDays = stampUtcSeconds / 86400 - (stampUtcSeconds % 86400 < 0 ? 1 : 0);
    const std::string stamp = IcsUtc(UnixEpochDayNumber + stampDays,
                                     static_cast<int>(stampUtcSeconds - stampDays * 86400));
    char geo[64];
    std::snprintf(geo, sizeof geo, "GEO:%.6f;%.6f", location.latitude, location.longitude);
    char uidPlace[64];
    std::snprintf(uidPlace, sizeof uidPlace, "%+.4f%+.4f", location.latitude, location.longitude);

    std::string out;
    auto line = [&out](const std::string &text) { out += FoldIcsLine(text); };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Vorlin//vorlin " VORLIN_VERSION "//EN");
    line("CALSCALE:GREGORIAN");
    line("METHOD:PUBLISH");
    line("X-WR-CALNAME:" + IcsText("Prayer times, " + where));
    std::set<long long> written;  // a date listed twice gives its events once (one UID each)
    for (const TimetableDay &day : days) {
        if (!written.insert(std::llround(DateToJulianDay(day.date))).second) continue;
        for (const ShownEvent &e : events) {
            const LocalMoment m = MomentOf(day, e.event);
            if (!m.valid) continue;  // also every time of a date the clock skips
            const std::string date = DateText(day.date);
            line("BEGIN:VEVENT");
            line("UID:" + date + "-" + e.key + uidPlace + "@vorlin");
            line("DTSTAMP:" + stamp);
            line("DTSTART:" + IcsUtc(m.utcDayNumber, m.utcSecondOfDay));
            if (options.durationMinutes > 0) {
                const int end = m.utcSecondOfDay + options.durationMinutes * 60;  // < 2 days
                line("DTEND:" + IcsUtc(m.utcDayNumber + end / 86400, end % 86400));
            }
            line("SUMMARY:" + IcsText(std::string(e.title) +
                                      (place.empty() ? "" : " (" + place + ")")));
            line("LOCATION:" + IcsText(where));
            line(geo);
            std::string description = std::string(e.title) + " of " + date + " at " +
                                      ClockText(m.secondOfDay) + " local time (UTC" +
                                      frontend::OffsetText(m.offsetSeconds) + ")";
            if (day.date.hijriValid == 1)
                description += ", " + std::to_string(static_cast<int>(day.date.hijriDay)) + " " +
                               HijriMonthName(day.date.hijriMonth) + " " +
                               std::to_string(day.date.hijriYear) + " AH";
            if (m.filled) description += "; filled by " + m.reason;
            line("DESCRIPTION:" + IcsText(description));
            line("TRANSP:TRANSPARENT");
            if (options.remindMinutes >= 0) {
                const int before = options.remindMinutes;
                line("BEGIN:VALARM");
                line("ACTION:DISPLAY");
                line("DESCRIPTION:" +
                     IcsText(std::string(e.title) +
                             (before == 0   ? std::string()
                              : before == 1 ? std::string(" in 1 minute")
                                            : " in " + std::to_string(before) + " minutes") +
                             (place.empty() ? "" : " (" + place + ")")));
                line("TRIGGER:-PT" + std::to_string(before) + "M");
                line("END:VALARM");
            }
            line("END:VEVENT");
        }
    }
    line("END:VCALENDAR");
    return out;
}

}  // namespace vorlin::cli

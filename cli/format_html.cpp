#include "format_html.h"

#include "export_formats.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include "calendar/julian_day.h"
#include "describe.h"
#include "places.h"
#include "prayer/report_names.h"
#include "zones.h"

namespace vorlin::cli {

namespace {

// Place-record text as UTF-8 (as the other formats read it).
std::string Utf8Text(const char *text) { return PlaceText(text); }

// "51.5085° N, 0.1257° W"
std::string Coordinates(const VorLocation &l) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f\u00B0 %c, %.4f\u00B0 %c", std::fabs(l.latitude),
                  l.latitude < 0 ? 'S' : 'N', std::fabs(l.longitude), l.longitude < 0 ? 'W' : 'E');
    return text;
}

// The settings' words with the degree sign: "17 deg" -> "17°".
std::string Degrees(std::string text) {
    for (std::size_t at = text.find(" deg"); at != std::string::npos; at = text.find(" deg", at)) {
        text.replace(at, 4, "\u00B0");
        ++at;
    }
    return text;
}

std::string ShortMonth(int month) { return std::string(MonthName(month)).substr(0, 3); }

// "Sha'ban\u2013Ramadan 1445", "Thu Al-Hijja 1445 \u2013 Muharram 1446":
// months in order, the year said once when they share it.
std::string MonthRange(const std::vector<std::pair<int, std::string>> &months) {
    if (months.empty()) return "";
    bool oneYear = true;
    for (const auto &m : months) oneYear = oneYear && m.first == months.front().first;
    std::string text;
    for (std::size_t i = 0; i < months.size(); ++i) {
        if (oneYear) {
            text += (i == 0 ? "" : "\u2013") + months[i].second;
        } else {
            text += (i == 0 ? "" : " \u2013 ") + months[i].second + " " + std::to_string(months[i].first);
        }
    }
    if (oneYear) text += " " + std::to_string(months.front().first);
    return text;
}

void AddMonth(std::vector<std::pair<int, std::string>> &months, int year, const std::string &name) {
    if (months.empty() || months.back().first != year || months.back().second != name)
        months.emplace_back(year, name);
}

// The events whose minute is rounded down when the times keep their
// seconds: the start of the fast and the ends of a prayer's time.  The
// others begin a prayer's time and are rounded up: a printed time is
// never early for a start nor late for an end.
bool RoundedDown(int event) {
    return event == VOR_EVENT_IMSAK || event == VOR_EVENT_SUNRISE || event == VOR_EVENT_MIDNIGHT;
}

// The events of the night after the date, shown without a mark when they
// fall after midnight.
bool OfTheNightAfter(int event) { return event == VOR_EVENT_MIDNIGHT || event == VOR_EVENT_LAST_THIRD; }

// The titles of the columns (shorter than the events' own where they are long).
std::string ColumnTitle(const ShownEvent &e) {
    if (e.event == VOR_EVENT_LAST_THIRD) return "Last third";
    return e.title;
}

// The notes of one table, marked a, b, c... in the order they are met.
class Notes {
public:
    // The marker of a note (its text keyed by `key`), with the event's
    // title added to the events it names.
    std::string Mark(const std::string &key, const std::string &text, const ShownEvent &event) {
        for (std::size_t i = 0; i < notes_.size(); ++i) {
            if (notes_[i].key != key) continue;
            notes_[i].events.insert(event.event);
            return Marker(i);
        }
        notes_.push_back({key, text, {event.event}});
        return Marker(notes_.size() - 1);
    }

    // <li> items: "a  Imsak, Fajr: filled by seventh of the night".
    std::string Items(const std::vector<ShownEvent> &shown) const {
        std::string out;
        for (std::size_t i = 0; i < notes_.size(); ++i) {
            std::string titles;
            for (const ShownEvent &e : shown)
                if (notes_[i].events.count(e.event) != 0) titles += (titles.empty() ? "" : ", ") + ColumnTitle(e);
            out += "<li class=\"note\"><sup>" + Marker(i) + "</sup> " + HtmlEscape(titles + ": " + notes_[i].text) +
                   "</li>\n";
        }
        return out;
    }

private:
    struct Note {
        std::string key, text;
        std::set<int> events;  // VOR_EVENT_*
    };
    static std::string Marker(std::size_t i) {
        return i < 26 ? std::string(1, static_cast<char>('a' + i)) : "n" + std::to_string(i + 1);
    }
    std::vector<Note> notes_;
};

// What a missing time's reason means.
std::string MissingText(const std::string &reason) {
    if (reason == "always above") return "no time, always above (the Sun stays above that altitude all day)";
    if (reason == "always below") return "no time, always below (the Sun stays below that altitude all day)";
    return "no time, " + reason;
}

constexpr const char *Style = R"css(
:root { color-scheme: light; }
body { font-family: system-ui, "Segoe UI", "Helvetica Neue", Arial, sans-serif; color: #111;
       background: #fff; margin: 1.5rem auto; padding: 0 1rem; max-width: 64rem; line-height: 1.3; }
h1 { font-size: 1.5rem; margin: 0 0 .3rem; }
header p { margin: .15rem 0; }
section.month { margin-top: 1.8rem; }
.monthhead { display: flex; justify-content: space-between; align-items: baseline; gap: 1rem; }
h2 { font-size: 1.15rem; margin: 0 0 .35rem; }
.where { margin: 0; font-size: .85rem; color: #444; }
table { border-collapse: collapse; width: 100%; font-variant-numeric: tabular-nums; }
th, td { border: 1px solid #b8b8b8; padding: .15rem .35rem; text-align: center; white-space: nowrap; }
thead th { background: #ececec; font-weight: 600; white-space: normal; }
td.date { text-align: right; }
td.hijri { white-space: normal; }
tr.friday td.weekday { font-weight: 700; }
tr.summer td { background: #fdf4d3; }
tr.summer td.date { border-left: 3px solid #b8912a; }
td.filled { font-style: italic; }
td.missing { color: #555; }
td.skip { font-style: italic; color: #555; text-align: left; }
sup { font-size: .7em; line-height: 0; margin-left: .1em; }
ul.notes { list-style: none; margin: .35rem 0 0; padding: 0; font-size: .85rem; }
ul.notes li { margin: .1rem 0; }
footer { margin-top: 1.5rem; padding-top: .4rem; border-top: 1px solid #b8b8b8; font-size: .8rem; color: #333; }
footer p { margin: .15rem 0; }
@page { size: A4; margin: 10mm 10mm 10mm 10mm; }
@media print {
  body { margin: 0; padding: 0; max-width: none; font-size: 9pt;
         -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  h1 { font-size: 14pt; }
  h2 { font-size: 12pt; }
  section.month { margin-top: 4mm; break-inside: avoid; page-break-inside: avoid; }
  section.month + section.month { break-before: page; page-break-before: always; margin-top: 0; }
  table { font-size: 10pt; }
  table.wide { font-size: 8.5pt; }
  table.wide th, table.wide td { padding: .5mm .5mm; }
  th, td { padding: .6mm 1mm; }
  ul.notes, footer { font-size: 7.5pt; }
  footer { margin-top: 3mm; break-inside: avoid; page-break-inside: avoid; }
}
)css";

}  // namespace

std::string HtmlEscape(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                if ((static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F) || ch == '\t' || ch == '\n') out += ch;
        }
    }
    return out;
}

std::string TimetableHtml(const std::vector<TimetableDay> &days, const Request &r, bool hijriMonths) {
    const VorLocation &l = r.location;
    const VorTimesSettings &t = r.times;
    const std::vector<ShownEvent> events = ShownEvents(r.asrBoth);
    const std::string name = Utf8Text(l.name);
    const std::string where = name.empty() ? Coordinates(l) : name;
    std::string clock = r.clock.Name();
    if (!r.clock.IsZone() && l.summerStart != 0) clock += " (summer time by the given rules)";

    // The tables: runs of days of one civil month, or of one Hijri month.
    std::vector<std::pair<std::size_t, std::size_t>> tables;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const VorDate &d = days[i].date;
        bool same = !tables.empty();
        if (same) {
            const VorDate &p = days[i - 1].date;
            if (hijriMonths && d.hijriValid == 1 && p.hijriValid == 1)
                same = d.hijriYear == p.hijriYear && d.hijriMonth == p.hijriMonth;
            else
                same = d.year == p.year && d.month == p.month;
        }
        if (same)
            tables.back().second = i + 1;
        else
            tables.emplace_back(i, i + 1);
    }

    // The heading of a table: its month in both calendars.
    auto heading = [&](std::size_t begin, std::size_t end) {
        std::vector<std::pair<int, std::string>> civil, hijri;
        for (std::size_t i = begin; i < end; ++i) {
            const VorDate &d = days[i].date;
            AddMonth(civil, d.year, MonthName(d.month));
            if (d.hijriValid == 1) AddMonth(hijri, d.hijriYear, HijriMonthName(d.hijriMonth));
        }
        if (days.size() == 1) {
            const VorDate &d = days.front().date;
            std::string text = std::string(WeekdayName(days.front().weekday - 1)) + " " +
                               std::to_string(static_cast<int>(d.day)) + " " + MonthName(d.month) + " " +
                               std::to_string(d.year);
            if (d.hijriValid == 1)
                text += " \u2014 " + std::to_string(static_cast<int>(d.hijriDay)) + " " +
                        HijriMonthName(d.hijriMonth) + " " + std::to_string(d.hijriYear);
            return text;
        }
        if (hijriMonths && !hijri.empty()) return MonthRange(hijri) + " \u2014 " + MonthRange(civil);
        return MonthRange(civil) + (hijri.empty() ? "" : " \u2014 " + MonthRange(hijri));
    };

    // The month of a table in the calendar it is counted in: "March 2024".
    auto monthOf = [&](std::size_t begin) {
        const VorDate &d = days[begin].date;
        if (hijriMonths && d.hijriValid == 1)
            return std::string(HijriMonthName(d.hijriMonth)) + " " + std::to_string(d.hijriYear);
        return std::string(MonthName(d.month)) + " " + std::to_string(d.year);
    };
    std::string title = "Prayer times, " + where;
    if (tables.size() == 1)
        title += ": " + heading(tables.front().first, tables.front().second);
    else if (!tables.empty())
        title += ": " + monthOf(tables.front().first) + " to " + monthOf(tables.back().first);

    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"generator\" content=\"vorlin " VORLIN_VERSION "\">\n<title>" +
        HtmlEscape(title) + "</title>\n<style>" + Style + "</style>\n</head>\n<body>\n";

    // The place and the settings in words.
    const std::string method = r.method.empty() ? std::string("MWL (default)") : r.method;
    const std::string other = OtherDefinitionText(t);
    out += "<header>\n<h1>Prayer times for " + HtmlEscape(where) + "</h1>\n";
    out += "<p class=\"place\">" + HtmlEscape((name.empty() ? "" : Coordinates(l) + " \u00B7 ") +
                                              std::to_string(l.height) + " m \u00B7 " + clock) +
           "</p>\n";
    out += "<p class=\"settings\">" +
           HtmlEscape(Degrees("Method " + method + ": Fajr " + ShortNumber(t.fajrAngle) + " deg, Isha'a " +
                              IshaText(t) + ", Imsak " + ImsakText(t) + ", Maghrib " + MaghribText(t) +
                              ", Asr " +
                              (r.asrBoth ? "both shadow factors" : t.asrFactor == 2 ? "Hanafi (shadow factor 2)"
                                                                                    : "shadow factor 1"))) +
           "</p>\n";
    out += "<p class=\"settings\">" +
           HtmlEscape(Degrees("High latitudes: " + HighLatitudeText(t.highLatitude) + "; eye " +
                              std::to_string(t.horizonHeight) + " m above the horizon" +
                              (other.empty() ? "" : "; " + other))) +
           "</p>\n</header>\n";

    const int columns = 3 + static_cast<int>(events.size());
    for (std::size_t table = 0; table < tables.size(); ++table) {
        const std::size_t begin = tables[table].first, end = tables[table].second;
        out += "<section class=\"month\">\n<div class=\"monthhead\"><h2>" + HtmlEscape(heading(begin, end)) +
               "</h2><p class=\"where\">" + HtmlEscape(where + " \u00B7 " + r.clock.Name()) + "</p></div>\n";
        out += std::string(events.size() > 10 ? "<table class=\"wide\">" : "<table>") + "\n<thead><tr><th scope=\"col\">Date</th><th scope=\"col\">Day</th>"
               "<th scope=\"col\">Hijri</th>";
        for (const ShownEvent &e : events)
            out += std::string("<th scope=\"col\" data-event=\"") + e.key + "\">" + HtmlEscape(ColumnTitle(e)) +
                   "</th>";
        out += "</tr></thead>\n<tbody>\n";

        Notes notes;
        bool summerShown = false, laterShown = false, earlierShown = false;
        std::vector<std::string> changes;  // the clock's changes between the table's days
        for (std::size_t i = begin; i < end; ++i) {
            const TimetableDay &day = days[i];
            const VorDate &d = day.date;
            std::string classes = day.weekday == 5 ? "friday" : "";
            if (!day.skipped && day.summerTime) {
                classes += classes.empty() ? "summer" : " summer";
                summerShown = true;
            }
            if (day.skipped) classes += classes.empty() ? "skipped" : " skipped";
            out += "<tr data-date=\"" + DateText(d) + "\"" + (classes.empty() ? "" : " class=\"" + classes + "\"") +
                   "><td class=\"date\">" +
                   (hijriMonths ? std::to_string(static_cast<int>(d.day)) + " " + ShortMonth(d.month)
                                : std::to_string(static_cast<int>(d.day))) +
                   "</td><td class=\"weekday\">" + ShortWeekdayName(day.weekday) + "</td><td class=\"hijri\">";
            if (d.hijriValid == 1) {
                out += std::to_string(static_cast<int>(d.hijriDay));
                if (!hijriMonths && (i == begin || static_cast<int>(d.hijriDay) == 1))
                    out += std::string(" ") + HtmlEscape(HijriMonthName(d.hijriMonth));
            }
            out += "</td>";
            if (day.skipped) {
                out += "<td class=\"skip\" colspan=\"" + std::to_string(columns - 3) +
                       "\">not a date of the local clock: " + HtmlEscape(r.clock.Name()) +
                       " skips it</td></tr>\n";
                continue;
            }
            // A change of the clock since the day before.
            std::size_t previous = i;
            while (previous > 0 && days[previous - 1].skipped) --previous;
            if (previous > 0 && days[previous - 1].utcOffsetHours != day.utcOffsetHours) {
                changes.push_back("From " + std::string(WeekdayName(day.weekday - 1)) + " " +
                                  std::to_string(static_cast<int>(d.day)) + " " + MonthName(d.month) +
                                  " the clock is UTC" +
                                  frontend::OffsetText(static_cast<int>(std::lround(day.utcOffsetHours * 3600.0))) +
                                  (day.summerTime ? " (summer time)." : " (standard time)."));
            }
            const int dayOffset = static_cast<int>(std::lround(day.utcOffsetHours * 3600.0));
            for (const ShownEvent &e : events) {
                const LocalMoment m = MomentOf(day, e.event);
                if (!m.valid) {
                    const std::string mark = notes.Mark("missing " + m.reason, MissingText(m.reason), e);
                    out += std::string("<td data-event=\"") + e.key + "\" class=\"missing\" title=\"" +
                           HtmlEscape("no time: " + m.reason) + "\">\u2014<sup>" + mark + "</sup></td>";
                    continue;
                }
                // The minute on the local clock, counted from the day's midnight.
                const long long shift = std::llround(DateToJulianDay(m.date) - DateToJulianDay(d));
                const long long second = shift * 86400 + m.secondOfDay;
                const long long minute = t.rounding != 0 ? FloorDiv(second + 30, 60)
                                         : RoundedDown(e.event) ? FloorDiv(second, 60)
                                                                : FloorDiv(second + 59, 60);
                const long long dayShift = FloorDiv(minute, 1440);
                const long long ofDay = minute - dayShift * 1440;
                char clockText[16];
                std::snprintf(clockText, sizeof clockText, "%02d:%02d", static_cast<int>(ofDay / 60),
                              static_cast<int>(ofDay % 60));
                std::string marks;
                // The date of a time of the night after goes without saying
                // when it is the date's (before 00:00) or the next (after it).
                if (dayShift != 0 && !(OfTheNightAfter(e.event) && dayShift == 1)) {
                    marks += std::string("<sup class=\"shift\">") + (dayShift > 0 ? "+" : "\u2212") +
                             std::to_string(dayShift > 0 ? dayShift : -dayShift) + "</sup>";
                    (dayShift > 0 ? laterShown : earlierShown) = true;
                }
                if (m.filled) marks += "<sup>" + notes.Mark("filled " + m.reason, "filled by " + m.reason, e) + "</sup>";
                if (m.offsetSeconds != dayOffset) {
                    const std::string offset = frontend::OffsetText(m.offsetSeconds);
                    marks += "<sup>" +
                             notes.Mark("offset " + offset,
                                        "on the clock at UTC" + offset + ", in force at that moment of the day the clock changes",
                                        e) +
                             "</sup>";
                }
                out += std::string("<td data-event=\"") + e.key + "\"" + (m.filled ? " class=\"filled\"" : "") +
                       (m.filled ? " title=\"" + HtmlEscape("filled by " + m.reason) + "\"" : "") + ">" + clockText +
                       marks + "</td>";
            }
            out += "</tr>\n";
        }
        out += "</tbody>\n</table>\n";
        std::string items = notes.Items(events);
        if (summerShown)
            items += "<li>Shaded rows: summer time in force (at noon).</li>\n";
        for (const std::string &change : changes) items += "<li>" + HtmlEscape(change) + "</li>\n";
        if (laterShown) items += "<li><sup>+n</sup> n dates later by the local clock (+1 the next).</li>\n";
        if (earlierShown) items += "<li><sup>\u2212n</sup> n dates earlier by the local clock.</li>\n";
        if (!items.empty()) out += "<ul class=\"notes\">\n" + items + "</ul>\n";
        out += "</section>\n";
    }

    static constexpr const char *Rounding[4] = {
        ("Times are whole minutes, rounded from the time to the nearest second the cautious way: Imsak, "
         "sunrise and midnight down (never later than computed), the others up (never earlier)."),
        "Times are rounded to the nearest minute.", "Times are rounded up to the minute.",
        "Times are rounded down to the minute."};
    out += "<footer>\n<p>" + HtmlEscape(Rounding[t.rounding >= 0 && t.rounding <= 3 ? t.rounding : 0]) +
           " Times are on the local clock (" + HtmlEscape(r.clock.Name()) +
           "), summer time applied; a time in italics with a note is filled by the high-latitude setting or "
           "the seasonal bounds, \u2014 marks a time the day does not have.  Midnight and the last third are of "
           "the night after the date: from 00:00 on they fall on the next date.</p>\n";
    out += "<p>Computed by vorlin " VORLIN_VERSION " for " + HtmlEscape(Coordinates(l)) + ", " +
           std::to_string(l.height) + " m.</p>\n";
    out += "<p>" + HtmlEscape(frontend::PlaceDataCredit) + "</p>\n</footer>\n</body>\n</html>\n";
    return out;
}

}  // namespace vorlin::cli

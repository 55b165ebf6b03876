// `vorlin times` and `vorlin moon`: the prayer schedule and the moon
// information report, printed as the library writes them (single-byte
// text, the degree sign as the byte 0xB0).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "output.h"
#include "calendar/julian_day.h"
#include "commands.h"
#include "export_formats.h"
#include "format_html.h"
#include "interface/reports.h"
#include "command_table.h"
#include "json_out.h"
#include "moon_json.h"
#include "options.h"
#include "terminal.h"
#include "timetable.h"

namespace vorlin::cli {

namespace {

using ReportFunction = std::size_t (*)(VorDate *, VorLocation *, VorConfig *, char *,
                                       std::size_t);

// The span and calendar flags of a report request.
struct ReportFlags {
    unsigned span = VOR_SPAN_MONTH;
    bool hijriMonths = false;
    bool help = false;
    std::string from, to;    // --from/--to: a range of days
    std::string hijriMonth;  // --hijri-month Y-M
};

ReportFlags ParseReportFlags(const std::vector<std::pair<std::string, std::string>> &own) {
    ReportFlags flags;
    int spans = 0;
    for (const auto &f : own) {
        if (f.first == "--help") flags.help = true;
        if (f.first == "--hijri-months") flags.hijriMonths = true;
        if (f.first == "--from") flags.from = f.second;
        if (f.first == "--to") flags.to = f.second;
        if (f.first == "--hijri-month") flags.hijriMonth = f.second;
        unsigned span = 0;
        if (f.first == "--day") {
            span = VOR_SPAN_DAY;
        } else if (f.first == "--month") {
            span = VOR_SPAN_MONTH;
        } else if (f.first == "--year") {
            span = VOR_SPAN_YEAR;
        } else if (f.first == "--year-from-month") {
            span = VOR_SPAN_MASK;
        } else {
            continue;
        }
        flags.span = span;
        ++spans;
    }
    if (spans > 1) throw UsageError("give at most one span flag (--day, --month, --year...)");
    const bool range = !flags.from.empty() || !flags.to.empty();
    if (range && (flags.from.empty() || flags.to.empty())) throw UsageError("--from: goes with --to (both days)");
    if ((range || !flags.hijriMonth.empty()) && (spans > 0 || flags.hijriMonths))
        throw UsageError(std::string(range ? "--from" : "--hijri-month") +
                         ": gives the days itself (no --day, --month, --year or --hijri-months)");
    if (range && !flags.hijriMonth.empty()) throw UsageError("--hijri-month: does not go with --from and --to");
    if (flags.hijriMonths && flags.span == VOR_SPAN_DAY)
        throw UsageError("--hijri-months counts months: it does not go with --day");
    return flags;
}

// Checks the request, converts its date to Hijri where the report needs it,
// writes the report (asking its length first) and prints it.
int PrintReport(Request &r, const ReportFlags &flags, bool schedule, ReportFunction write) {
    const bool hijriForDay = schedule;
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
    if (IsValidDate(r.date, 0) != 1) throw UsageError("--date: " + DateText(r.date) + " is not a valid civil date");
    r.config.scheduleFlags = flags.span | (flags.hijriMonths ? VOR_HIJRI_MONTHS : 0u);

    // The Hijri months are those of the date; a one-day prayer header shows
    // the date's Hijri date when it has one.
    if (flags.hijriMonths || (hijriForDay && flags.span == VOR_SPAN_DAY)) {
        const int converted = VorAdToIslamic(&r.date, &r.location, &r.config);
        if (converted != 1 && flags.hijriMonths)
            throw UsageError("the date lies before the Hijri era: no Hijri months to count");
    }

    // The report's clock is its record's zone and summer-time rules: from a
    // zone of the tz database where they can say what it does over the
    // report's days (the moon report's are taken generously).
    VorDate first = r.date, last = r.date;
    if (schedule) {
        const unsigned span = flags.span == VOR_SPAN_MASK ? VOR_SPAN_YEAR : flags.span;
        const std::vector<VorDate> dates = ScheduleDates(r, span, flags.hijriMonths);
        if (!dates.empty()) {
            first = dates.front();
            last = dates.back();
        }
    } else if (flags.span != VOR_SPAN_DAY) {
        const double jd = DateToJulianDay(r.date);
        JulianDayToDate(jd - 40.0, first);
        JulianDayToDate(jd + (flags.span == VOR_SPAN_MONTH ? 70.0 : 400.0), last);
        first.day = std::floor(first.day);
        last.day = std::floor(last.day);
    }
    const std::string cannot = FeedLegacyClock(r, first, last);
    if (!cannot.empty())
        throw UsageError("the report cannot show " + cannot + "; use --format text, json, csv, ics or html");

    // The library writes Latin-1 text: the name goes in as Latin-1 for the
    // exact single-byte report, or the report comes out as UTF-8.
    const bool utf8 = Utf8Output(r);
    if (!utf8) {
        const std::string latin1 = AsLatin1(r.location.name);
        std::memset(r.location.name, 0, sizeof r.location.name);
        std::memcpy(r.location.name, latin1.data(), std::min(latin1.size(), sizeof r.location.name - 1));
    }
    const std::size_t length = write(&r.date, &r.location, &r.config, nullptr, 0);
    std::vector<char> text(length + 1);
    write(&r.date, &r.location, &r.config, text.data(), text.size());
    const std::string out = utf8 ? AsUtf8(std::string(text.data(), length)) : std::string(text.data(), length);
    OutText(out);
    return 0;
}

// The output formats of `vorlin times`.
enum class TimesFormat { Text, Report, Json, Csv, Ics, Html };

TimesFormat ParseTimesFormat(const std::vector<std::pair<std::string, std::string>> &own) {
    static constexpr const char *Names[] = {"text", "report", "json", "csv", "ics", "html"};
    static constexpr TimesFormat Formats[] = {TimesFormat::Text, TimesFormat::Report, TimesFormat::Json,
                                              TimesFormat::Csv,  TimesFormat::Ics,    TimesFormat::Html};
    TimesFormat format = TimesFormat::Text;
    for (const auto &f : own) {
        if (f.first != "--format") continue;
        const std::string name = Lowered(f.second);
        bool known = false;
        for (int i = 0; i < 6; ++i) {
            if (name == Names[i]) {
                format = Formats[i];
                known = true;
            }
        }
        if (!known)
            throw UsageError("--format: expects one of text,report,json,csv,ics,html, not '" + f.second + "'");
    }
    return format;
}

// The iCalendar flags of `vorlin times`: --events LIST (event keys in any
// case, comma-separated), --remind MIN and --duration MIN (0..1440); the
// last of a flag given twice counts.  They go with --format ics only.
IcsOptions ParseIcsOptions(const std::vector<std::pair<std::string, std::string>> &own,
                           bool ics, bool asrBoth) {
    IcsOptions options;
    const std::vector<ShownEvent> shown = ShownEvents(asrBoth);
    std::string keys;
    for (const ShownEvent &e : shown) keys += std::string(keys.empty() ? "" : ", ") + e.key;
    auto lower = [](std::string text) {
        for (char &c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    for (const auto &[flag, value] : own) {
        if (flag != "--events" && flag != "--remind" && flag != "--duration") continue;
        if (!ics) throw UsageError(flag + ": goes with --format ics");
        if (flag == "--events") {
            options.events.clear();
            std::size_t start = 0;
            while (start <= value.size()) {
                const std::size_t comma = std::min(value.find(',', start), value.size());
                const std::string item = value.substr(start, comma - start);
                start = comma + 1;
                int event = -1;
                for (const ShownEvent &e : shown)
                    if (lower(item) == lower(e.key)) event = e.event;
                if (event < 0 && !asrBoth && lower(item) == "asrhanafi")
                    throw UsageError("--events: asrHanafi is shown with --asr both");
                if (event < 0) throw UsageError("--events: no event '" + item + "' (" + keys + ")");
                options.events.push_back(event);
            }
        } else {
            const int minutes = ParseInteger(flag, value);
            if (minutes < 0 || minutes > 1440)
                throw UsageError(flag + ": must lie within 0..1440 minutes");
            (flag == "--remind" ? options.remindMinutes : options.durationMinutes) = minutes;
        }
    }
    return options;
}

// DTSTAMP of calendar files: SOURCE_DATE_EPOCH when set (reproducible
// output), else now.
long long CalendarStampSeconds() {
    const char *epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch != nullptr && *epoch != '\0') {
        char *end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*end == '\0' && seconds >= 0) return seconds;
    }
    return static_cast<long long>(std::time(nullptr));
}

// The civil date of "Y-M-D" for a flag, checked.
VorDate CivilDateOf(const std::string &flag, const std::string &text) {
    int y = 0, m = 0, d = 0;
    try {
        ParseDate(text, y, m, d);
    } catch (const UsageError &e) {
        throw UsageError(flag + ": " + e.what());
    }
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    if (IsValidDate(date, 0) != 1 || y < 1 || y > 9999)
        throw UsageError(flag + ": " + text + " is not a valid civil date of the years 1..9999");
    return date;
}

// The days of --from/--to (at most 3660) or of --hijri-month Y-M at the place.
std::vector<VorDate> RangeOfFlags(Request &r, const ReportFlags &flags) {
    constexpr long long MaxDays = 3660;  // ten years
    VorDate first{}, last{};
    if (!flags.hijriMonth.empty()) {
        int y = 0, m = 0;
        char extra = 0;
        if (std::sscanf(flags.hijriMonth.c_str(), "%d-%d%c", &y, &m, &extra) != 2 || m < 1 || m > 12 || y < 1 ||
            y > 9666)
            throw UsageError("--hijri-month: expects Y-M (1448-09), not '" + flags.hijriMonth + "'");
        VorDate start{}, next{};
        start.hijriYear = y;
        start.hijriMonth = static_cast<uint8_t>(m);
        start.hijriDay = 1;
        next.hijriYear = m == 12 ? y + 1 : y;
        next.hijriMonth = static_cast<uint8_t>(m == 12 ? 1 : m + 1);
        next.hijriDay = 1;
        CalendarCache cache;
        if (ToCivil(r, start, &cache) != 1 || ToCivil(r, next, &cache) != 1)
            throw UsageError("--hijri-month: " + flags.hijriMonth + " has no civil dates at the place");
        first = start;
        JulianDayToDate(DateToJulianDay(next) - 1.0, last);
    } else {
        first = CivilDateOf("--from", flags.from);
        last = CivilDateOf("--to", flags.to);
    }
    first.day = std::floor(first.day);
    last.day = std::floor(last.day);
    const long long count = std::llround(DateToJulianDay(last) - DateToJulianDay(first)) + 1;
    if (count < 1) throw UsageError("--to: comes before --from");
    if (count > MaxDays) throw UsageError("--to: at most 3660 days from --from (ten years)");
    first.hijriValid = 0;
    return RangeDates(r, first, static_cast<int>(count));
}

// The request's days computed through the structured exports and written
// as the text table, JSON, CSV or iCalendar (never derived from the report).
int PrintTimetable(Request &r, const ReportFlags &flags, TimesFormat format,
                   const IcsOptions &ics) {
    if (IsValidDate(r.date, 0) != 1) throw UsageError("--date: " + DateText(r.date) + " is not a valid civil date");
    if (flags.hijriMonths && ToHijri(r, r.date) != 1)
        throw UsageError("the date lies before the Hijri era: no Hijri months to count");
    if (r.date.year < 1 || r.date.year > 9999)
        throw UsageError("the times are given for the years 1..9999 (--format report takes others)");
    const unsigned span = flags.span == VOR_SPAN_MASK ? VOR_SPAN_YEAR : flags.span;
    const std::vector<TimetableDay> days = !flags.from.empty() || !flags.hijriMonth.empty()
                                               ? ComputeTimetableOf(r, RangeOfFlags(r, flags))
                                               : ComputeTimetable(r, span, flags.hijriMonths);
    std::string out;
    if (format == TimesFormat::Text) {
        out = ForTerminal(TimetableText(days, r), r);
    } else if (format == TimesFormat::Json) {
        out = TimetableJson(days, r);
    } else if (format == TimesFormat::Csv) {
        out = TimetableCsv(days, r);
    } else if (format == TimesFormat::Html) {
        out = TimetableHtml(days, r, flags.hijriMonths);
    } else {
        out = TimetableIcs(days, r, ics, CalendarStampSeconds());
    }
    OutText(out);
    return 0;
}

}  // namespace

int RunTimes(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("times"), &own);
    const ReportFlags flags = ParseReportFlags(own);
    if (flags.help) {
        Out(
            "usage: vorlin times [Y-M-D] [--day | --month | --year] [--hijri-months]\n"
            "                    [--from Y-M-D --to Y-M-D | --hijri-month Y-M]\n"
            "                    [--format text|report|json|csv|ics|html] [FLAGS]\n"
            "Prints the prayer times for one day, the month of the date (the default) or\n"
            "a year of twelve months, counted in civil months or, with --hijri-months, in\n"
            "the Hijri months of the date (Muharram to Dhu al-Hijja for --year); or the\n"
            "days --from one --to another (at most 3660), or the days of a Hijri month at\n"
            "the place (--hijri-month 1448-09).  The date may stand alone or be --date.\n"
            "`vorlin` alone prints this month's times for the default place and settings.\n"
            "Events: imsak, fajr, sunrise, dhuhr, asr (asrHanafi beside it with --asr\n"
            "both), sunset, maghrib, isha, and of the night after the day midnight and\n"
            "lastThird (its last third begins).  A time given by the high-latitude\n"
            "setting or the seasonal bounds says so.\n"
            "Formats (all but report: the same days and times, to the nearest second):\n"
            "  text    a table on the local clock (summer time applied): \">\" a time on\n"
            "          the next day, \"<\" the day before, \"*\" filled, \"-\" none that day,\n"
            "          and the day's notes saying why [default]\n"
            "  report  the library's schedule report (Imsak and Shuruq rounded down, the\n"
            "          others up, to the second or with --precision 1 the minute).  Its\n"
            "          record holds angles only: the height gives the dip too, the\n"
            "          high-latitude rule is 0 (none) unless 1..9 is given, and a setting\n"
            "          it has no field for (minutes of Isha'a, a Maghrib angle,\n"
            "          adjustments, the seasonal twilight, --rounding, --asr both, the\n"
            "          three high-latitude methods) is refused (exit 2)\n"
            "  json    per day the date, weekday, Hijri date, UTC offset and the events as\n"
            "          ISO 8601 local date-times with the offset in force; a missing time\n"
            "          is null and \"missing\" gives the reason (always below, always\n"
            "          above, not valid); \"filled\" names what gave a filled time\n"
            "  csv     the same as rows with a header, empty cells and a notes column\n"
            "  ics     an iCalendar file, one event per time per day (times in UTC); the\n"
            "          DTSTAMP is SOURCE_DATE_EPOCH when set, else now.  Its flags:\n"
            "            --events LIST   only these events (keys as above, any case,\n"
            "                            comma-separated: --events fajr,maghrib)\n"
            "            --remind MIN    an alarm MIN minutes before each (0..1440)\n"
            "            --duration MIN  events MIN minutes long (0..1440; default 0:\n"
            "                            no end time, the event ends when it starts)\n"
            "  html    a printable page (one self-contained file, each month on one A4\n"
            "          page): HH:MM as --rounding gives, else Imsak, sunrise and midnight\n"
            "          rounded down and the others up; summer-time days shaded\n"
            "%s"
            "examples: vorlin times --day --date 2024-03-11\n"
            "          vorlin times --hijri-months --date 2024-03-11 --rounding nearest\n"
            "          vorlin times --city London --method MoonsightingCommittee\n"
            "          vorlin times --city Tehran --method Tehran --day --format json\n"
            "          vorlin times --city Tromso --date 2024-06-21 --asr both\n"
            "          vorlin times --city Cairo --method Egypt --year --format ics > cairo.ics\n"
            "          vorlin times --city London --format ics --events fajr,isha --remind 10\n"
            "          vorlin times --day --format report --precision 1\n"
            "          vorlin times --from 2024-12-25 --to 2025-01-05 --city Oslo\n"
            "          vorlin times --hijri-month 1446-09 --city Leicester --format html > r.html\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    RequireClock(r);
    // A date may stand alone, as for hijri and qibla.
    if (r.positional.size() == 1) {
        const VorDate date = CivilDateOf("date", r.positional[0]);
        SetRequestDate(r, date.year, date.month, static_cast<int>(date.day));
        r.positional.clear();
    }
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional.back() + "'");
    const TimesFormat format = ParseTimesFormat(own);
    if (format == TimesFormat::Report && (!flags.from.empty() || !flags.hijriMonth.empty()))
        throw UsageError(std::string(flags.from.empty() ? "--hijri-month" : "--from") +
                         ": goes with --format text, json, csv, ics or html (the report has its own spans)");
    const IcsOptions ics = ParseIcsOptions(own, format == TimesFormat::Ics, r.asrBoth);
    if (format != TimesFormat::Report) return PrintTimetable(r, flags, format, ics);
    const std::string cannot = ReportCannotShow(r);
    if (!cannot.empty())
        throw UsageError("--format report cannot show " + cannot + "; use --format text, json, csv, ics or html");
    return PrintReport(r, flags, true, WriteScheduleReport);
}

int RunMoon(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first, OwnFlagsOf("moon"), &own);
    const ReportFlags flags = ParseReportFlags(own);
    if (flags.help) {
        Out(
            "usage: vorlin moon [--day | --month | --year | --year-from-month]\n"
            "                   [--hijri-months] [--format text|json] [FLAGS]\n"
            "Prints the Moon's rise, transit and set for one day, the month of the date\n"
            "(the default), January to December of its year (--year) or twelve months\n"
            "from its month (--year-from-month), with the next new moon, the Moon's data\n"
            "at sunset on the first evening after it and the possible start of the Hijri\n"
            "month.  With --hijri-months the first month is the civil month in which the\n"
            "date's Hijri month (Muharram for --year) begins.\n"
            "--format json gives per day the moonrise, transit and moonset on the place's\n"
            "clock, and each new moon of the days with its first evening (sunset,\n"
            "moonset, the Moon's age, altitude, elongation, illuminated fraction, the\n"
            "crescent test and whether it passes) and the month's first day.\n"
            "%s"
            "examples: vorlin moon --date 2024-12-01\n"
            "          vorlin moon --day --date 2024-03-10 --precision 1\n"
            "          vorlin moon --year-from-month --date 2024-10-01\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    RequireClock(r);
    if (WantsJson(own)) {
        if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
        if (IsValidDate(r.date, 0) != 1 || r.date.year < 1 || r.date.year > 9999)
            throw UsageError("--date: " + DateText(r.date) + " is not a valid civil date of the years 1..9999");
        std::vector<VorDate> dates;
        if (flags.span == VOR_SPAN_MASK) {
            VorDate first = r.date;
            first.day = 1;
            VorDate end = first;
            end.year += 1;
            dates = RangeDates(r, first, static_cast<int>(std::llround(DateToJulianDay(end) - DateToJulianDay(first))));
        } else {
            if (flags.hijriMonths && ToHijri(r, r.date) != 1)
                throw UsageError("the date lies before the Hijri era: no Hijri months to count");
            dates = ScheduleDates(r, flags.span, flags.hijriMonths);
        }
        PrintJson(MoonJson(r, dates));
        return 0;
    }
    const int status = PrintReport(r, flags, false, WriteMoonReport);
    if (status == 0 && !IsLibraryCalendar(r.calendar)) {
        // The report decides by the place's crescent test; the request's
        // calendar may begin the months on other days.
        std::vector<VorDate> dates;
        if (r.date.year >= 1 && r.date.year <= 9999) dates = ScheduleDates(r, flags.span == VOR_SPAN_MASK ? VOR_SPAN_YEAR : flags.span, false);
        const Json doc = MoonJson(r, dates);
        Out("\nMonth starts by the %s calendar:\n", CalendarText(r).c_str());
        for (const Json &moon : doc["newMoons"]) {
            const Json &start = moon["calendarMonthStart"];
            Out("  new moon %s: %s\n", moon["geocentric"].is_string() ? moon["geocentric"].get<std::string>().c_str() : "-",
                        start.is_string() ? start.get<std::string>().c_str() : "none");
        }
    }
    return status;
}

}  // namespace vorlin::cli

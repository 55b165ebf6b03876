// `vorlin times` and `vorlin moon`: the prayer schedule and the moon
// information report, printed as the library writes them (single-byte
// text, the degree sign as the byte 0xB0).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "calendar/julian_day.h"
#include "commands.h"
#include "export_formats.h"
#include "interface/reports.h"
#include "options.h"
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
};

ReportFlags ParseReportFlags(const std::vector<std::pair<std::string, std::string>> &own) {
    ReportFlags flags;
    int spans = 0;
    for (const auto &f : own) {
        if (f.first == "--help") flags.help = true;
        if (f.first == "--hijri-months") flags.hijriMonths = true;
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
    if (flags.hijriMonths && flags.span == VOR_SPAN_DAY)
        throw UsageError("--hijri-months counts months: it does not go with --day");
    return flags;
}

// Checks the request, converts its date to Hijri where the report needs it,
// writes the report (asking its length first) and prints it.
int PrintReport(Request &r, const ReportFlags &flags, bool schedule, ReportFunction write) {
    const bool hijriForDay = schedule;
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
    if (IsValidDate(r.date, 0) != 1) throw UsageError("the date is not a valid civil date");
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
        throw UsageError("the report cannot show " + cannot + "; use --format text, json, csv or ics");

    const std::size_t length = write(&r.date, &r.location, &r.config, nullptr, 0);
    std::vector<char> text(length + 1);
    write(&r.date, &r.location, &r.config, text.data(), text.size());
    std::fwrite(text.data(), 1, length, stdout);
    return 0;
}

// The output formats of `vorlin times`.
enum class TimesFormat { Text, Report, Json, Csv, Ics };

TimesFormat ParseTimesFormat(const std::vector<std::pair<std::string, std::string>> &own) {
    TimesFormat format = TimesFormat::Text;
    for (const auto &f : own) {
        if (f.first != "--format") continue;
        if (f.second == "text") {
            format = TimesFormat::Text;
        } else if (f.second == "report") {
            format = TimesFormat::Report;
        } else if (f.second == "json") {
            format = TimesFormat::Json;
        } else if (f.second == "csv") {
            format = TimesFormat::Csv;
        } else if (f.second == "ics") {
            format = TimesFormat::Ics;
        } else {
            throw UsageError("--format expects text, report, json, csv or ics, not '" + f.second + "'");
        }
    }
    return format;
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

// The request's days computed through the structured exports and written
// as the text table, JSON, CSV or iCalendar (never derived from the report).
int PrintTimetable(Request &r, const ReportFlags &flags, TimesFormat format) {
    if (!r.positional.empty()) throw UsageError("unexpected argument '" + r.positional[0] + "'");
    if (IsValidDate(r.date, 0) != 1) throw UsageError("the date is not a valid civil date");
    if (flags.hijriMonths && VorAdToIslamic(&r.date, &r.location, &r.config) != 1)
        throw UsageError("the date lies before the Hijri era: no Hijri months to count");
    if (r.date.year < 1 || r.date.year > 9999)
        throw UsageError("the times are given for the years 1..9999 (--format report takes others)");
    const unsigned span = flags.span == VOR_SPAN_MASK ? VOR_SPAN_YEAR : flags.span;
    const std::vector<TimetableDay> days = ComputeTimetable(r, span, flags.hijriMonths);
    std::string out;
    if (format == TimesFormat::Text) {
        out = TimetableText(days, r);
    } else if (format == TimesFormat::Json) {
        out = TimetableJson(days, r);
    } else if (format == TimesFormat::Csv) {
        out = TimetableCsv(days, r);
    } else {
        out = TimetableIcs(days, r, CalendarStampSeconds());
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

int RunTimes(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first,
                             {{"--day", false},
                              {"--month", false},
                              {"--year", false},
                              {"--hijri-months", false},
                              {"--format", true},
                              {"--help", false}},
                             &own);
    const ReportFlags flags = ParseReportFlags(own);
    if (flags.help) {
        std::printf(
            "usage: vorlin times [--day | --month | --year] [--hijri-months]\n"
            "                    [--format text|report|json|csv|ics] [FLAGS]\n"
            "Prints the prayer times for one day, the month of the date (the default) or\n"
            "a year of twelve months, counted in civil months or, with --hijri-months, in\n"
            "the Hijri months of the date (Muharram to Dhu al-Hijja for --year).  `vorlin`\n"
            "alone prints this month's times for the default place and settings.\n"
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
            "          DTSTAMP is SOURCE_DATE_EPOCH when set, else now\n"
            "%s"
            "examples: vorlin times --day --date 2024-03-11\n"
            "          vorlin times --hijri-months --date 2024-03-11 --rounding nearest\n"
            "          vorlin times --city London --method MoonsightingCommittee\n"
            "          vorlin times --city Tehran --method Tehran --day --format json\n"
            "          vorlin times --city Tromso --date 2024-06-21 --asr both\n"
            "          vorlin times --city Cairo --method Egypt --year --format ics > cairo.ics\n"
            "          vorlin times --day --format report --precision 1\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    RequireClock(r);
    const TimesFormat format = ParseTimesFormat(own);
    if (format != TimesFormat::Report) return PrintTimetable(r, flags, format);
    const std::string cannot = ReportCannotShow(r);
    if (!cannot.empty())
        throw UsageError("--format report cannot show " + cannot + "; use --format text, json, csv or ics");
    return PrintReport(r, flags, true, WriteScheduleReport);
}

int RunMoon(int argc, char **argv, int first) {
    std::vector<std::pair<std::string, std::string>> own;
    Request r = ParseRequest(argc, argv, first,
                             {{"--day", false},
                              {"--month", false},
                              {"--year", false},
                              {"--year-from-month", false},
                              {"--hijri-months", false},
                              {"--help", false}},
                             &own);
    const ReportFlags flags = ParseReportFlags(own);
    if (flags.help) {
        std::printf(
            "usage: vorlin moon [--day | --month | --year | --year-from-month]\n"
            "                   [--hijri-months] [FLAGS]\n"
            "Prints the Moon's rise, transit and set for one day, the month of the date\n"
            "(the default), January to December of its year (--year) or twelve months\n"
            "from its month (--year-from-month), with the next new moon, the Moon's data\n"
            "at sunset on the first evening after it and the possible start of the Hijri\n"
            "month.  With --hijri-months the first month is the civil month in which the\n"
            "date's Hijri month (Muharram for --year) begins.\n"
            "%s"
            "examples: vorlin moon --date 2024-12-01\n"
            "          vorlin moon --day --date 2024-03-10 --precision 1\n"
            "          vorlin moon --year-from-month --date 2024-10-01\n",
            PlaceAndSettingsHelp);
        return 0;
    }
    RequireClock(r);
    return PrintReport(r, flags, false, WriteMoonReport);
}

}  // namespace vorlin::cli

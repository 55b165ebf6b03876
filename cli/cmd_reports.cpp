// `vorlin times` and `vorlin moon`: the prayer schedule and the moon
// information report, printed as the library writes them (single-byte
// text, the degree sign as the byte 0xB0).
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/julian_day.h"
#include "commands.h"
#include "interface/reports.h"
#include "options.h"

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
int PrintReport(Request &r, const ReportFlags &flags, bool hijriForDay, ReportFunction write) {
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

    const std::size_t length = write(&r.date, &r.location, &r.config, nullptr, 0);
    std::vector<char> text(length + 1);
    write(&r.date, &r.location, &r.config, text.data(), text.size());
    std::fwrite(text.data(), 1, length, stdout);
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
                              {"--help", false}},
                             &own);
    const ReportFlags flags = ParseReportFlags(own);
    if (flags.help) {
        std::printf(
            "usage: vorlin times [--day | --month | --year] [--hijri-months] [FLAGS]\n"
            "Prints the prayer schedule (Imsak, Fajr, Shuruq, Duhr, Asr, Maghrib, Isha'a)\n"
            "for one day, the month of the date (the default) or a year of twelve months,\n"
            "counted in civil months or, with --hijri-months, in the Hijri months of the\n"
            "date (Muharram to Thu Al-Hijja for --year).  `vorlin` alone prints this\n"
            "month's schedule for the default place and settings.\n"
            "%s"
            "examples: vorlin times --day --date 2024-03-11\n"
            "          vorlin times --hijri-months --date 2024-03-11 --precision 1\n"
            "          vorlin times --year --lat 51.5 --lon -0.1 --tz 0 --name London \\\n"
            "                       --summer-start 834 --summer-end 2626 --high-latitude-rule 4\n",
            PlaceAndSettingsHelp);
        return 0;
    }
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
    return PrintReport(r, flags, false, WriteMoonReport);
}

}  // namespace vorlin::cli

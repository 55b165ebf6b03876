// Command-line parsing shared by the subcommands: dates, numbers, and the
// flags that fill the three library records.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "calendar/calendar_modes.h"
#include "vorlin.h"
#include "zones.h"

namespace vorlin::cli {

// A malformed command line: reported as one line on stderr, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The records a request is made of, filled with the embedded defaults and
// then with whatever flags the user gave.  The times of every format but
// the library's own report come from `times`; `config` is the legacy
// record of the reports, the Hijri calendar and the Moon, filled from the
// same flags where it has the field.
struct Request {
    VorDate date{};
    VorLocation location{};
    VorConfig config{};
    VorTimesSettings times{};
    std::string method;          // the named method given (--method), "" for the default
    bool asrBoth = false;        // --asr both: the Shafi'i and the Hanafi Asr
    bool horizonGiven = false;   // --horizon-height was given
    bool roundingGiven = false;  // --rounding was given
    std::string encoding;        // --encoding: "utf8", "latin1", or "" for the locale's
    // The clock times are shown on: the place's IANA zone, or --tz hours
    // (then with the legacy summer-time rules of --summer-start/-end).
    frontend::Clock clock = frontend::Clock::FixedOffset(0);
    std::vector<std::string> notes;       // said on stderr: which place or zone was taken
    std::string clockProblem;             // why a point has no clock (no --tz, no place near)
    std::vector<std::string> positional;  // arguments that are not flags
    // The Hijri calendar of the conversions (--calendar, --criterion,
    // --level, --region); the crescent criterion also picks a map's zones.
    CalendarRule calendar{};
    bool criterionGiven = false;  // --criterion was given
};

// The request's Hijri calendar: civil to Hijri and back (the library's
// VorAdToIslamic and VorIslamicToAd for its own calendar), with the same
// fields and refusals.  A cache shares month starts over many conversions
// of one request.
int ToHijri(const Request &request, VorDate &date, CalendarCache *cache = nullptr);
int ToCivil(const Request &request, VorDate &date, CalendarCache *cache = nullptr);
// The calendar in words: "observational (default criterion)", "umm-al-qura", ...
std::string CalendarText(const Request &request);
// The first day (local JD of 0 h) of the month after the first new moon at
// or after date in the request's calendar: 1, or 0 when there is none.
int MonthStartOf(const Request &request, const VorDate &date, double *start);

// Sets the request's civil date (and the legacy records' zone for it).
void SetRequestDate(Request &request, int year, int month, int day);

// Throws UsageError when the request's point has no clock: the commands
// that show local times call it (qibla needs none).
void RequireClock(const Request &request);

// Prints the request's notes on stderr ("vorlin: note: ...").
void PrintNotes(const Request &request);

// For the legacy records: location.timeZone (and the summer-time rules)
// for the civil dates first..last from the request's clock.  A zone gives
// its standard offset and, where its summer time can be written as the
// records' rules over those dates, the rules; otherwise the reason the
// records cannot show its clock is returned ("" when they can).
std::string FeedLegacyClock(Request &request, const VorDate &first, const VorDate &last);

// Why the library's report cannot show the request's times ("" when it
// can): a setting the legacy record has no field for, named by its flag.
std::string ReportCannotShow(const Request &request);

// Parses "Y-M-D" (Y may be negative, astronomical numbering) into year,
// month, day; throws UsageError when it is not of that shape.
void ParseDate(const std::string &text, int &year, int &month, int &day);
double ParseNumber(const std::string &flag, const std::string &text);

// ASCII letters in lower case (values of flags match in any case).
std::string Lowered(const std::string &text);
int ParseInteger(const std::string &flag, const std::string &text);

// The embedded default place and settings, and today's civil date.
Request DefaultRequest();

// Consumes argv[first..]: the flags of the place, the date and the settings
// (see PlaceAndSettingsHelp); every other "--flag" listed in `ownFlags` is
// handed to `own` with its value; everything else that is not a flag goes
// to `positional`.  Throws UsageError on an unknown flag or a bad value.
struct OwnFlag {
    const char *name;
    bool takesValue;
    const char *valueName = "";  // "FORMAT"
    const char *words = "";      // the values a shell may complete: "text|json"
    const char *help = "";       // one line for the manual page
};

// The flags every command takes (place, date, settings), one row each: what
// parses and checks them, and what the manual page and the shell completions
// are written from.
struct FlagRow {
    enum Kind { Number, Integer, Text, Word, Date } kind;
    const char *name;       // "--lat"
    const char *valueName;  // "DEG"
    double low, high;       // Number and Integer: the allowed range
    const char *words;      // Word: the values, "standard|hanafi|both"; Text: "" or a hint
    const char *help;       // one line
};
const std::vector<FlagRow> &CommonFlags();

// The row of a common flag ("--lat"), or null.
const FlagRow *FindCommonFlag(const std::string &name);

// A value of a common flag checked by its row (UsageError naming the flag
// when it does not fit); words come back in lower case.
std::string CheckedFlagValue(const FlagRow &flag, const std::string &value);

// The configuration file of the user's defaults ($XDG_CONFIG_HOME/vorlin/
// config, else ~/.config/vorlin/config): "name = value" lines of common
// flags (without the dashes), read before the command line, which wins.
std::string ConfigPath();
std::vector<std::pair<std::string, std::string>> ReadConfig();
Request ParseRequest(int argc, char **argv, int first, const std::vector<OwnFlag> &ownFlags,
                     std::vector<std::pair<std::string, std::string>> *own);

// Help text for the common flags.
extern const char *const PlaceAndSettingsHelp;

}  // namespace vorlin::cli

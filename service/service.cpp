#include "service.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>
#include <set>

#include "calendar/julian_day.h"
#include "command_table.h"
#include "options.h"
#include "output.h"
#include "vorlin.h"

namespace vorlin::service {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t MaxValueBytes = 1000;  // a parameter's value
constexpr std::size_t MaxParams = 64;        // parameters of one request

const RouteParam DateParam{"date", "string", "date", "the civil date, Y-M-D (default: today at the place)", false};
const RouteParam MonthParam{"month", "string", "", "a month, Y-M (instead of date)", false};
const RouteParam YearParam{"year", "string", "", "a year, Y (instead of date)", false};
const RouteParam FromParam{"from", "string", "date", "first day of a range, Y-M-D (with to; at most 366 days)", false};
const RouteParam ToParam{"to", "string", "date", "last day of a range, Y-M-D", false};

std::vector<RouteParam> PeriodParams() { return {DateParam, MonthParam, YearParam, FromParam, ToParam}; }

std::vector<RouteParam> IcsParams() {
    std::vector<RouteParam> params = PeriodParams();
    params.push_back({"events", "string", "",
                      "the events to write, comma-separated: imsak, fajr, sunrise, dhuhr, asr, asrhanafi, sunset, "
                      "maghrib, isha, midnight, lastthird",
                      false});
    params.push_back({"remind", "integer", "", "an alarm this many minutes before each event", false});
    params.push_back({"duration", "integer", "", "events this many minutes long", false});
    return params;
}

struct Failure {
    int status;
    std::string message;
    std::string parameter;  // "" when no one parameter is at fault
};

Reply JsonReply(int status, const Json &document, const char *cacheControl) {
    Reply reply;
    reply.status = status;
    reply.contentType = "application/json";
    reply.body = document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
    reply.headers.emplace_back("Cache-Control", cacheControl);
    return reply;
}

Reply ErrorReply(const Failure &failure) {
    Json error;
    error["error"] = failure.message;
    if (!failure.parameter.empty()) error["parameter"] = failure.parameter;
    return JsonReply(failure.status, error, "no-store");
}

// The day number (Julian Date) of a Y-M-D, as the library counts days, or
// nothing when it is not of that shape.
bool DayNumber(const std::string &text, double &day) {
    int y = 0, m = 0, d = 0;
    try {
        cli::ParseDate(text, y, m, d);
    } catch (const std::exception &) {
        return false;
    }
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    day = DateToJulianDay(date);
    return true;
}

// A request's parameters as the CLI's command line, with the flag each
// parameter became (to name the parameter in an error).
struct CommandLine {
    std::vector<std::string> args;
    std::map<std::string, std::string> paramOfFlag;  // "--day" -> "date"

    void Flag(const std::string &flag, const std::string &param) {
        args.push_back(flag);
        paramOfFlag[flag] = param;
    }
    void FlagValue(const std::string &flag, const std::string &value, const std::string &param) {
        args.push_back(flag + "=" + value);
        paramOfFlag[flag] = param;
    }
};

const std::string *Get(const Params &params, const char *name) {
    const auto it = params.find(name);
    return it == params.end() ? nullptr : &it->second;
}

// date, month, year, from & to: one of them, as the command's flags.
void PeriodFlags(const Params &params, CommandLine &line) {
    const std::string *date = Get(params, "date"), *month = Get(params, "month"), *year = Get(params, "year"),
                      *from = Get(params, "from"), *to = Get(params, "to");
    const int given = (date != nullptr) + (month != nullptr) + (year != nullptr) + (from != nullptr || to != nullptr);
    if (given > 1) throw Failure{400, "give one of date, month, year or from and to", ""};
    if (month) {
        if (month->size() < 3 || month->find('-', 1) == std::string::npos)
            throw Failure{400, "month: expects Y-M, not '" + *month + "'", "month"};
        line.Flag("--month", "month");
        line.FlagValue("--date", *month + "-1", "month");
    } else if (year) {
        line.Flag("--year", "year");
        line.FlagValue("--date", *year + "-1-1", "year");
    } else if (from || to) {
        if (!from || !to) throw Failure{400, std::string(from ? "to" : "from") + ": needed with " +
                                                 (from ? "from" : "to"), from ? "to" : "from"};
        double first = 0, last = 0;
        if (!DayNumber(*from, first)) throw Failure{400, "from: expects Y-M-D, not '" + *from + "'", "from"};
        if (!DayNumber(*to, last)) throw Failure{400, "to: expects Y-M-D, not '" + *to + "'", "to"};
        if (last < first) throw Failure{400, "to: comes before from", "to"};
        if (last - first + 1 > MaxRangeDays)
            throw Failure{400, "to: a range of at most " + std::to_string(MaxRangeDays) + " days", "to"};
        line.FlagValue("--from", *from, "from");
        line.FlagValue("--to", *to, "to");
    } else {
        line.Flag("--day", "date");
        if (date) line.FlagValue("--date", *date, "date");
    }
}

// The parameter a flag of the command line came from ("--day" -> "date"),
// or the flag's own name without its dashes.
std::string ParamOf(const std::string &flag, const CommandLine &line) {
    const auto it = line.paramOfFlag.find(flag);
    return it != line.paramOfFlag.end() ? it->second : flag.substr(2);
}

// The message of a command's usage error in the parameters' names ("--lat:
// must lie within ..." -> "lat: must lie within ...", "does not go with
// --year" -> "does not go with year"); the parameter at fault is the one
// the message begins with.
Failure UsageFailure(const std::string &message, const CommandLine &line) {
    std::string text, first;
    for (std::size_t i = 0; i < message.size();) {
        const bool flagStart = message.compare(i, 2, "--") == 0 && i + 2 < message.size() &&
                               message[i + 2] >= 'a' && message[i + 2] <= 'z' &&
                               (i == 0 || message[i - 1] == ' ' || message[i - 1] == '(');
        if (!flagStart) {
            text += message[i++];
            continue;
        }
        std::size_t end = i + 2;
        while (end < message.size() && ((message[end] >= 'a' && message[end] <= 'z') || message[end] == '-')) ++end;
        const std::string param = ParamOf(message.substr(i, end - i), line);
        if (i == 0) first = param;
        text += param;
        i = end;
    }
    return {400, text, first};
}

std::string HeaderSafe(std::string text) {
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

// Runs the CLI command of the line in this thread, its output captured.
Reply RunCommand(const Route &route, const CommandLine &line, const char *format, const char *cacheControl) {
    const cli::CommandEntry *command = nullptr;
    for (const cli::CommandEntry &c : cli::Commands())
        if (std::string(c.name) == route.command) command = &c;
    if (command == nullptr) return ErrorReply({500, "no command answers this route", ""});

    std::vector<std::string> args = {"vorlin", route.command};
    args.push_back(std::string("--format=") + format);
    args.insert(args.end(), line.args.begin(), line.args.end());
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    cli::CapturedOutput output;
    int status = 0;
    try {
        cli::Capture capture(output);
        status = command->run(static_cast<int>(args.size()), argv.data(), 2);
    } catch (const cli::UsageError &e) {
        return ErrorReply(UsageFailure(e.what(), line));
    } catch (const std::bad_alloc &) {
        return ErrorReply({503, "out of memory", ""});
    } catch (const std::exception &e) {
        return ErrorReply(UsageFailure(e.what(), line));
    }
    if (output.out.empty() || (status != 0 && status != 1)) {
        std::string message = output.err.rfind("vorlin: ", 0) == 0 ? output.err.substr(8) : output.err;
        while (!message.empty() && message.back() == '\n') message.pop_back();
        return ErrorReply({404, message.empty() ? "no answer" : message, ""});
    }
    Reply reply;
    reply.contentType = route.contentType;
    reply.body = std::move(output.out);
    reply.headers.emplace_back("Cache-Control", cacheControl);
    // The command's notes (which place or zone it took) as headers.
    std::size_t at = 0;
    while (at < output.err.size()) {
        std::size_t end = output.err.find('\n', at);
        if (end == std::string::npos) end = output.err.size();
        const std::string note = output.err.substr(at, end - at);
        if (note.rfind("vorlin: note: ", 0) == 0) reply.headers.emplace_back("X-Vorlin-Note", HeaderSafe(note.substr(14)));
        at = end + 1;
    }
    return reply;
}

bool Dated(const Params &params) {
    for (const char *name : {"date", "month", "year", "from", "to", "at", "hijri"})
        if (params.count(name)) return true;
    return false;
}

Reply Dispatch(const Route &route, const Params &params) {
    const std::string path = route.path;
    if (path == "/healthz") {
        Json health;
        health["status"] = "ok";
        health["version"] = VORLIN_VERSION;
        return JsonReply(200, health, "no-store");
    }
    if (path == "/v1/openapi.json") {
        Reply reply;
        reply.body = OpenApiDocument();
        reply.headers.emplace_back("Cache-Control", "public, max-age=3600");
        return reply;
    }

    // Every parameter is the route's own or, for routes with a place, one
    // of the CLI's common flags by its name.
    std::set<std::string> own;
    for (const RouteParam &p : route.params) own.insert(p.name);
    CommandLine line;
    for (const auto &[name, value] : params) {
        if (params.count(name) > 1) throw Failure{400, name + ": given more than once", name};
        if (value.size() > MaxValueBytes)
            throw Failure{400, name + ": longer than " + std::to_string(MaxValueBytes) + " bytes", name};
        for (const char c : value)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                throw Failure{400, name + ": control characters", name};
        if (own.count(name)) continue;
        const cli::FlagRow *flag = route.takesPlace && name != "encoding" && name != "date"
                                       ? cli::FindCommonFlag("--" + name)
                                       : nullptr;
        if (flag == nullptr) throw Failure{400, "unknown parameter '" + name + "'", name};
        line.FlagValue(flag->name, value, name);
    }
    for (const RouteParam &p : route.params)
        if (p.required && !params.count(p.name)) throw Failure{400, std::string(p.name) + ": needed", p.name};

    // An answer for today changes at the place's midnight, which the
    // service does not know ahead: it is revalidated by its ETag each time.
    const char *dated = Dated(params) ? "public, max-age=86400" : "no-cache";
    if (path == "/v1/times" || path == "/v1/times.ics" || path == "/v1/times.csv") {
        PeriodFlags(params, line);
        for (const char *name : {"events", "remind", "duration"})
            if (const std::string *v = Get(params, name)) line.FlagValue(std::string("--") + name, *v, name);
        const char *format = path == "/v1/times" ? "json" : path == "/v1/times.ics" ? "ics" : "csv";
        return RunCommand(route, line, format, dated);
    }
    if (path == "/v1/moon") {
        PeriodFlags(params, line);  // from and to are not its parameters: refused above
        return RunCommand(route, line, "json", dated);
    }
    if (path == "/v1/next") {
        if (const std::string *at = Get(params, "at")) line.FlagValue("--at", *at, "at");
        return RunCommand(route, line, "json", Get(params, "at") ? "public, max-age=86400" : "no-cache");
    }
    if (path == "/v1/hijri" || path == "/v1/qibla" || path == "/v1/crescent") {
        if (const std::string *date = Get(params, "date")) line.FlagValue("--date", *date, "date");
        return RunCommand(route, line, "json", dated);
    }
    if (path == "/v1/civil") {
        line.FlagValue("--to-civil", *Get(params, "hijri"), "hijri");
        return RunCommand(route, line, "json", dated);
    }
    if (path == "/v1/events") {
        if (const std::string *year = Get(params, "year")) line.FlagValue("--year", *year, "year");
        if (const std::string *next = Get(params, "next")) line.FlagValue("--next", *next, "next");
        return RunCommand(route, line, "json", Get(params, "year") ? "public, max-age=86400" : "no-cache");
    }
    if (path == "/v1/methods") return RunCommand(route, line, "json", "public, max-age=3600");
    if (path == "/v1/places") {
        const std::string &q = *Get(params, "q");
        if (q.empty()) throw Failure{400, "q: a name to look for", "q"};
        line.args.push_back("--");
        line.args.push_back(q);
        return RunCommand(route, line, "json", "public, max-age=86400");
    }
    return ErrorReply({404, "no such path", ""});
}

}  // namespace

const std::vector<Route> &Routes() {
    static const std::vector<Route> routes = {
        {"/v1/times", "times", "application/json",
         "Prayer times of a day, a month, a year or a range: the CLI's `times --format json` document",
         PeriodParams(), true},
        {"/v1/times.ics", "times", "text/calendar; charset=utf-8",
         "The same times as an iCalendar file (the CLI's `times --format ics`)", IcsParams(), true},
        {"/v1/times.csv", "times", "text/csv; charset=utf-8",
         "The same times as CSV (the CLI's `times --format csv`)", PeriodParams(), true},
        {"/v1/next", "next", "application/json", "The prayer whose time it is, the next one and the time left",
         {{"at", "string", "", "the moment, Y-M-DTHH:MM on the place's clock (default: now)", false}}, true},
        {"/v1/hijri", "hijri", "application/json", "The Hijri date of a civil date at the place", {DateParam}, true},
        {"/v1/civil", "hijri", "application/json", "The civil date of a Hijri date at the place",
         {{"hijri", "string", "", "the Hijri date, Y-M-D (AH)", true}}, true},
        {"/v1/qibla", "qibla", "application/json", "The qibla: direction, distance, magnetic declination",
         {DateParam}, true},
        {"/v1/moon", "moon", "application/json",
         "Moonrise, transit and set, new moons and the Hijri month's start",
         {DateParam, MonthParam, YearParam}, true},
        {"/v1/crescent", "crescent", "application/json",
         "The evening's young crescent and every criterion's verdict", {DateParam}, true},
        {"/v1/events", "events", "application/json",
         "The year's occasions: Ramadan, the Eids, Arafah, New Year, Ashura",
         {{"year", "integer", "", "a Hijri year (below 1900) or a civil year", false},
          {"next", "string", "", "only the next one: new-year, ashura, ramadan, eid-al-fitr, arafah, eid-al-adha",
           false}},
         true},
        {"/v1/methods", "methods", "application/json", "The named calculation methods and their settings", {},
         false},
        {"/v1/places", "places", "application/json",
         "Places of the gazetteer by name (GeoNames, CC BY 4.0), the most populous first",
         {{"q", "string", "", "a name, optionally with \", Region\" and/or \", Country\"", true}}, false},
        {"/v1/openapi.json", "", "application/json", "This description of the API", {}, false},
        {"/healthz", "", "application/json", "Whether the service answers", {}, false},
    };
    return routes;
}

Reply Answer(const std::string &path, const Params &params) {
    try {
        if (params.size() > MaxParams) return ErrorReply({400, "more than 64 parameters", ""});
        for (const Route &route : Routes())
            if (path == route.path) return Dispatch(route, params);
        return ErrorReply({404, "no such path: see /v1/openapi.json", ""});
    } catch (const Failure &failure) {
        return ErrorReply(failure);
    } catch (const std::bad_alloc &) {
        return ErrorReply({503, "out of memory", ""});
    } catch (const std::exception &e) {
        return ErrorReply({500, std::string("internal error: ") + e.what(), ""});
    }
}

std::string EntityTag(const std::string &body) {
    uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (const char c : body) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    char text[24];
    std::snprintf(text, sizeof text, "\"%016llx\"", static_cast<unsigned long long>(hash));
    return text;
}

namespace {

Json ParamSchema(const RouteParam &p) {
    Json schema;
    schema["type"] = p.type;
    if (p.format[0] != '\0') schema["format"] = p.format;
    return schema;
}

Json FlagSchema(const cli::FlagRow &f) {
    Json schema;
    switch (f.kind) {
    case cli::FlagRow::Number:
        schema["type"] = "number";
        schema["minimum"] = f.low;
        schema["maximum"] = f.high;
        break;
    case cli::FlagRow::Integer:
        schema["type"] = "integer";
        schema["minimum"] = f.low;
        schema["maximum"] = f.high;
        break;
    case cli::FlagRow::Word: {
        schema["type"] = "string";
        Json values = Json::array();
        std::string words = f.words;
        std::size_t at = 0;
        while (at <= words.size()) {
            const std::size_t bar = words.find('|', at);
            values.push_back(words.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
            if (bar == std::string::npos) break;
            at = bar + 1;
        }
        schema["enum"] = values;
        break;
    }
    default:
        schema["type"] = "string";
        break;
    }
    return schema;
}

}  // namespace

std::string OpenApiDocument() {
    Json doc;
    doc["openapi"] = "3.0.3";
    doc["info"] = {{"title", "Vorlin prayer times"},
                   {"version", VORLIN_VERSION},
                   {"description",
                    "Islamic prayer times, Hijri dates, the Moon, the crescent and the qibla for any place and "
                    "date. Every JSON, CSV and iCalendar answer is the vorlin CLI's own document for the same "
                    "request; the parameters are the CLI's flags without their dashes. Place data: GeoNames, "
                    "geonames.org (CC BY 4.0)."}};
    Json error;
    error["type"] = "object";
    error["required"] = Json::array({"error"});
    error["properties"]["error"] = {{"type", "string"}, {"description", "what is wrong, naming the parameter"}};
    error["properties"]["parameter"] = {{"type", "string"}, {"description", "the parameter at fault"}};
    doc["components"]["schemas"]["Error"] = error;
    Json paths = Json::object();
    for (const Route &route : Routes()) {
        Json get;
        get["summary"] = route.summary;
        get["operationId"] = std::string(route.path).substr(1);
        Json parameters = Json::array();
        for (const RouteParam &p : route.params) {
            Json param;
            param["name"] = p.name;
            param["in"] = "query";
            param["required"] = p.required;
            param["description"] = p.description;
            param["schema"] = ParamSchema(p);
            parameters.push_back(param);
        }
        if (route.takesPlace) {
            for (const cli::FlagRow &f : cli::CommonFlags()) {
                const std::string name = std::string(f.name).substr(2);
                if (name == "encoding" || name == "date") continue;
                Json param;
                param["name"] = name;
                param["in"] = "query";
                param["required"] = false;
                param["description"] = f.help;
                param["schema"] = FlagSchema(f);
                parameters.push_back(param);
            }
        }
        get["parameters"] = parameters;
        Json ok;
        ok["description"] = "the answer";
        ok["content"][route.contentType]["schema"] = route.contentType == std::string("application/json")
                                                         ? Json{{"type", "object"}}
                                                         : Json{{"type", "string"}};
        get["responses"]["200"] = ok;
        if (!route.params.empty() || route.takesPlace) {
            Json bad;
            bad["description"] = "a parameter is unknown, malformed or out of range";
            bad["content"]["application/json"]["schema"]["$ref"] = "#/components/schemas/Error";
            get["responses"]["400"] = bad;
        }
        paths[route.path]["get"] = get;
    }
    doc["paths"] = paths;
    return doc.dump(2) + "\n";
}

}  // namespace vorlin::service

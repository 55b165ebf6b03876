// The web service's answers, apart from HTTP: a request's path and query
// parameters in, a status, headers and body out.  The server (server.cpp)
// puts this behind cpp-httplib; the tests and the fuzzer call it directly.
//
// Every JSON, CSV and iCalendar answer is the CLI's own document for the
// same request: the parameters become the command's flags (the same names
// without the dashes) and the command runs in this process, its output
// captured (cli/output.h).  So no answer can drift from the CLI's.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vorlin::service {

// Query parameters as the HTTP library decoded them (a name may repeat).
using Params = std::multimap<std::string, std::string>;

struct Reply {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;  // beyond the content type
};

// A parameter of a route beside the CLI's common flags.
struct RouteParam {
    const char *name;         // "date"
    const char *type;         // OpenAPI: "string", "integer", "number"
    const char *format;       // "date", "" ...
    const char *description;
    bool required;
};

struct Route {
    const char *path;         // "/v1/times"
    const char *command;      // the CLI command answering it ("" for the service's own)
    const char *contentType;  // of a 200 answer
    const char *summary;
    std::vector<RouteParam> params;
    bool takesPlace;          // the place, date and settings parameters (the CLI's common flags)
};

// The routes of the JSON API (the page's files and "/" beside them).
const std::vector<Route> &Routes();

// The longest range of days one request may ask for.
inline constexpr int MaxRangeDays = 366;

// The answer to GET path?params; `now` is not taken from the request, the
// commands read the clock themselves.  Never throws.
Reply Answer(const std::string &path, const Params &params);

// The OpenAPI 3 description of Routes() (with every common flag as a query
// parameter).
std::string OpenApiDocument();

// A strong validator of a body: a quoted 64-bit hash in hexadecimal.
std::string EntityTag(const std::string &body);

// The page's files embedded in the program: "/" (index.html), "/app.js",
// "/style.css"; null when there is none by that path.
struct PageFile {
    const char *path;
    const char *contentType;
    const unsigned char *data;
    std::size_t size;
};
const PageFile *FindPageFile(const std::string &path);

}  // namespace vorlin::service

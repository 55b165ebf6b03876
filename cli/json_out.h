// JSON of the CLI's answers beside the timetable: the place, and the
// printing of a document (nlohmann::json, insertion order kept).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "options.h"

namespace vorlin::cli {

using Json = nlohmann::ordered_json;

// {"name", "latitude", "longitude", "height", "zone"} of the request.
Json PlaceJson(const Request &request);

// Prints the document (two-space indents, UTF-8) and a line end.
void PrintJson(const Json &document);

// "text" or "json" from a command's --format flag (any case); throws
// UsageError for anything else.
bool WantsJson(const std::vector<std::pair<std::string, std::string>> &own);

}  // namespace vorlin::cli

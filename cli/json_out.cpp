#include "output.h"
#include "json_out.h"

#include <cctype>
#include <cstdio>

#include "export_formats.h"

namespace vorlin::cli {

Json PlaceJson(const Request &r) {
    Json place;
    place["name"] = PlaceText(r.location.name);
    place["latitude"] = r.location.latitude;
    place["longitude"] = r.location.longitude;
    place["height"] = r.location.height;
    place["zone"] = r.clock.Name();
    return place;
}

void PrintJson(const Json &document) {
    const std::string text = document.dump(2, ' ', false, Json::error_handler_t::replace);
    OutText(text);
    OutText("\n");
}

bool WantsJson(const std::vector<std::pair<std::string, std::string>> &own) {
    bool json = false;
    for (const auto &[flag, value] : own) {
        if (flag != "--format") continue;
        const std::string v = Lowered(value);
        if (v == "json")
            json = true;
        else if (v == "text")
            json = false;
        else
            throw UsageError("--format: expects one of text,json, not '" + value + "'");
    }
    return json;
}

}  // namespace vorlin::cli

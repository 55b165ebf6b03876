#include "visibility_map.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "astro/constants.h"
#include "calendar/julian_day.h"
#include "land_outlines.h"

namespace vorlin::cli {

const char *ZoneMeaning(CrescentCriterion criterion, char zone) {
    switch (criterion) {
        case CrescentCriterion::Yallop:
            switch (zone) {
                case 'A': return "easily visible";
                case 'B': return "visible in perfect conditions";
                case 'C': return "may need optical aid to find the crescent";
                case 'D': return "needs optical aid";
                case 'E': return "not visible with a telescope";
                case 'F': return "not visible";
                default: return "";
            }
        case CrescentCriterion::ArcvWidth:
            switch (zone) {
                case 'A': return "visible by naked eye";
                case 'B': return "visible by optical aid, possibly by naked eye";
                case 'C': return "visible by optical aid only";
                case 'D': return "not visible";
                default: return "";
            }
        case CrescentCriterion::Danjon:
            switch (zone) {
                case 'V': return "elongation at least 7 degrees";
                case 'N': return "elongation below 7 degrees";
                default: return "";
            }
        case CrescentCriterion::Default:
        default:
            switch (zone) {
                case 'V': return "passes the library's test at sunset";
                case 'N': return "does not pass it";
                default: return "";
            }
    }
}

const char *ZoneLetters(CrescentCriterion criterion) {
    switch (criterion) {
        case CrescentCriterion::Yallop: return "ABCDEF";
        case CrescentCriterion::ArcvWidth: return "ABCD";
        default: return "VN";
    }
}

VisibilityMap ComputeVisibilityMap(const VorDate &date, const VorConfig &config, CrescentCriterion criterion,
                                   unsigned threads) {
    VisibilityMap map;
    map.date = date;
    map.criterion = criterion;
    map.thresholdDegrees = config.crescentThreshold;
    // The conjunction is searched once, for the evening at 0 N 0 E: every
    // cell's evening of the date lies within a day of it.
    VorLocation origin{};
    EveningCrescent atOrigin{};
    ComputeEveningCrescent(date, origin, config, atOrigin);
    map.conjunctionGeoUt = atOrigin.conjunctionGeoUt;
    map.zones.assign(static_cast<std::size_t>(VisibilityMap::Rows * VisibilityMap::Columns), NoEvening);

    // Rows are handed out one at a time: the polar ones, mostly without an
    // evening, cost less than the others.
    std::atomic<int> nextRow{0};
    const double conjunction = map.conjunctionGeoUt;
    const double threshold = map.thresholdDegrees;
    char *zones = map.zones.data();
    auto work = [&nextRow, &date, &config, criterion, conjunction, threshold, zones]() {
        for (int row = nextRow++; row < VisibilityMap::Rows; row = nextRow++) {
            VorLocation loc{};
            loc.latitude = VisibilityMap::Latitude(row) * DegToRad;
            for (int column = 0; column < VisibilityMap::Columns; ++column) {
                const double longitude = VisibilityMap::Longitude(column);
                loc.longitude = longitude * DegToRad;
                loc.timeZone = static_cast<float>(std::round(longitude / 15.0));
                EveningCrescent evening{};
                ComputeEveningCrescentAfter(date, loc, config, conjunction, evening);
                zones[row * VisibilityMap::Columns + column] =
                    evening.status == 1 ? JudgeCrescent(evening, criterion, threshold).zone : NoEvening;
            }
        }
    };
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, 64u);
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break;  // no more threads: the ones there share the rows
        }
    }
    work();
    for (std::thread &helper : helpers) helper.join();
    return map;
}

bool MapFormatOfPath(const std::string &path, MapFormat *format) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string extension = path.substr(dot + 1);
    for (char &c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (extension == "svg") {
        *format = MapFormat::Svg;
        return true;
    }
    if (extension == "png") {
        *format = MapFormat::Png;
        return true;
    }
    return false;
}

namespace {

// ---------------------------------------------------------------------------
// The scene: what both the SVG and the PNG draw, in pixels from the top left.

struct Colour {
    unsigned char r, g, b;
};

struct Point {
    double x, y;
};

struct Rect {
    double x, y, w, h;
    bool filled;
    Colour fill;
    double strokeWidth;  // 0: no stroke
    Colour stroke;
    std::string attributes;  // SVG only: data-* attributes, with a leading blank
};

struct Text {
    double x, y;
    enum Anchor { Start, Middle, End } anchor;
    std::string text;
    std::string attributes;  // SVG only
};

// Drawn in order; within a layer, rectangles, then lines, then texts.
struct Layer {
    std::string id;
    std::vector<Rect> rects;
    bool crisp = false;  // rectangles edge to edge: no antialiasing
    std::vector<std::vector<Point>> lines;
    Colour lineColour{0, 0, 0};
    double lineWidth = 1.0;
    bool dashed = false;
    std::vector<Text> texts;
    double fontSize = 12.0;
    bool bold = false;
    Colour textColour{0, 0, 0};
};

struct Scene {
    int width = 0, height = 0;
    std::string title;
    std::vector<Layer> layers;
};

constexpr double PixelsPerDegree = 3.0;
constexpr double MapLeft = 44.0;
constexpr double MapTop = 66.0;
constexpr double MapWidth = 360.0 * PixelsPerDegree;
constexpr double MapHeight = 180.0 * PixelsPerDegree;

double X(double longitude) { return MapLeft + (longitude + 180.0) * PixelsPerDegree; }
double Y(double latitude) { return MapTop + (90.0 - latitude) * PixelsPerDegree; }

constexpr Colour Ink{0x22, 0x22, 0x22};
constexpr Colour NoEveningColour{0xb4, 0xb8, 0xbf};
constexpr Colour NotVisibleColour{0xee, 0xf1, 0xf5};

Colour ZoneColour(CrescentCriterion criterion, char zone) {
    static constexpr Colour Best{0x1a, 0x96, 0x41}, Good{0xa6, 0xd9, 0x6a}, Middle{0xfe, 0xe0, 0x8b},
        Poor{0xfd, 0xae, 0x61}, Worst{0xf1, 0x8f, 0x93};
    if (zone == NoEvening) return NoEveningColour;
    switch (criterion) {
        case CrescentCriterion::Yallop:
            switch (zone) {
                case 'A': return Best;
                case 'B': return Good;
                case 'C': return Middle;
                case 'D': return Poor;
                case 'E': return Worst;
                default: return NotVisibleColour;
            }
        case CrescentCriterion::ArcvWidth:
            switch (zone) {
                case 'A': return Best;
                case 'B': return Good;
                case 'C': return Middle;
                default: return NotVisibleColour;
            }
        default: return zone == 'V' ? Best : NotVisibleColour;
    }
}

const char *CriterionSummary(CrescentCriterion criterion) {
    switch (criterion) {
        case CrescentCriterion::Yallop: return "Yallop's q at the best time (sunset + 4/9 of the lag)";
        case CrescentCriterion::ArcvWidth: return "ARCV against the crescent's width at the best time";
        case CrescentCriterion::Danjon: return "Danjon's limit of elongation at the best time";
        case CrescentCriterion::Default:
        default: return "the Moon's altitude above the Sun plus the elongation at sunset";
    }
}

std::string Format(const char *format, double a) {
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

// The instant as "Y-M-D HH:MM UTC", to the nearest minute.
std::string UtcMinute(double jdUt) {
    const double minutes = std::round((jdUt + 0.5) * 1440.0);
    const double dayNumber = std::floor(minutes / 1440.0);
    const int minuteOfDay = static_cast<int>(minutes - dayNumber * 1440.0);
    VorDate noon{};
    JulianDayToDate(dayNumber, noon);  // the civil day whose noon is that JD
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d UTC", static_cast<int>(noon.year), noon.month,
                  static_cast<int>(std::floor(noon.day)), minuteOfDay / 60, minuteOfDay % 60);
    return text;
}

std::string DateOf(const VorDate &date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(date.year), date.month,
                  static_cast<int>(date.day));
    return text;
}

Scene BuildScene(const VisibilityMap &map) {
    Scene scene;
    scene.width = static_cast<int>(MapLeft + MapWidth + 20.0);
    const std::string date = DateOf(map.date);
    const std::string name = CrescentCriterionName(map.criterion);
    const std::string conjunction = UtcMinute(map.conjunctionGeoUt);
    scene.title = "Crescent visibility on the evening of " + date + ", criterion " + name +
                  ", geocentric conjunction " + conjunction;

    // The cells: runs of one zone along a row.
    Layer cells;
    cells.id = "cells";
    cells.crisp = true;
    for (int row = 0; row < VisibilityMap::Rows; ++row) {
        int column = 0;
        while (column < VisibilityMap::Columns) {
            const char zone = map.Zone(row, column);
            int end = column + 1;
            while (end < VisibilityMap::Columns && map.Zone(row, end) == zone) ++end;
            const double lat = VisibilityMap::Latitude(row);
            const double lon = VisibilityMap::Longitude(column);
            cells.rects.push_back({X(lon - 0.5), Y(lat + 0.5), (end - column) * PixelsPerDegree, PixelsPerDegree,
                                   true, ZoneColour(map.criterion, zone), 0.0, Ink,
                                   " data-zone=\"" + std::string(1, zone) + "\" data-cells=\"" +
                                       std::to_string(end - column) + "\" data-lat=\"" + Format("%.1f", lat) +
                                       "\" data-lon=\"" + Format("%.1f", lon) + "\""});
            column = end;
        }
    }
    scene.layers.push_back(std::move(cells));

    // Every 30 degrees.
    Layer graticule;
    graticule.id = "graticule";
    graticule.lineColour = {0x80, 0x80, 0x80};
    graticule.lineWidth = 0.5;
    graticule.dashed = true;
    for (int lon = -150; lon <= 150; lon += 30) graticule.lines.push_back({{X(lon), Y(90)}, {X(lon), Y(-90)}});
    for (int lat = -60; lat <= 60; lat += 30) graticule.lines.push_back({{X(-180), Y(lat)}, {X(180), Y(lat)}});
    scene.layers.push_back(std::move(graticule));

    Layer land;
    land.id = "land";
    land.lineColour = Ink;
    land.lineWidth = 0.8;
    for (int i = 0; i < land::OutlineCount; ++i) {
        std::vector<Point> line;
        for (std::uint32_t p = land::Starts[i]; p < land::Starts[i + 1]; ++p)
            line.push_back({X(land::Points[p][0] / 100.0), Y(land::Points[p][1] / 100.0)});
        land.lines.push_back(std::move(line));
    }
    scene.layers.push_back(std::move(land));

    Layer frame;
    frame.id = "frame";
    frame.rects.push_back({MapLeft, MapTop, MapWidth, MapHeight, false, Ink, 1.0, Ink, " id=\"map-frame\""});
    frame.fontSize = 11.0;
    frame.textColour = {0x44, 0x44, 0x44};
    for (int lat = -60; lat <= 60; lat += 30) {
        const std::string label = lat == 0 ? "0" : std::to_string(std::abs(lat)) + (lat > 0 ? "N" : "S");
        frame.texts.push_back({MapLeft - 5.0, Y(lat) + 4.0, Text::End, label, ""});
    }
    for (int lon = -180; lon <= 180; lon += 60) {
        const std::string label = lon == 0 || std::abs(lon) == 180
                                      ? std::to_string(std::abs(lon))
                                      : std::to_string(std::abs(lon)) + (lon > 0 ? "E" : "W");
        frame.texts.push_back({X(lon), MapTop + MapHeight + 15.0, Text::Middle, label, ""});
    }
    scene.layers.push_back(std::move(frame));

    Layer title;
    title.id = "title";
    title.fontSize = 18.0;
    title.bold = true;
    title.texts.push_back({MapLeft, 28.0, Text::Start, "Crescent visibility on the evening of " + date, " id=\"title\""});
    scene.layers.push_back(std::move(title));
    Layer subtitle;
    subtitle.id = "subtitle";
    subtitle.fontSize = 13.0;
    std::string criterionText = "Criterion " + name + ": " + CriterionSummary(map.criterion);
    if (map.criterion == CrescentCriterion::Default)
        criterionText += Format(", at least %.1f degrees", map.thresholdDegrees);
    subtitle.texts.push_back({MapLeft, 49.0, Text::Start,
                              criterionText + ".  Geocentric conjunction " + conjunction + ".", " id=\"subtitle\""});
    scene.layers.push_back(std::move(subtitle));

    // The legend: three columns under the map.
    Layer swatches;
    swatches.id = "legend";
    swatches.fontSize = 12.0;
    std::string letters = ZoneLetters(map.criterion);
    letters += NoEvening;
    const double legendTop = MapTop + MapHeight + 30.0;
    const double columnWidth = MapWidth / 3.0;
    const int perColumn = static_cast<int>((letters.size() + 2) / 3);
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const char zone = letters[i];
        const double x = MapLeft + static_cast<double>(static_cast<int>(i) / perColumn) * columnWidth;
        const double y = legendTop + static_cast<double>(static_cast<int>(i) % perColumn) * 20.0;
        const std::string data = " data-zone=\"" + std::string(1, zone) + "\"";
        swatches.rects.push_back({x, y, 14.0, 14.0, true, ZoneColour(map.criterion, zone), 0.6, Ink, data});
        const std::string text = zone == NoEvening ? std::string("no evening: no sunset or no moonset that day")
                                                   : std::string(1, zone) + "  " + ZoneMeaning(map.criterion, zone);
        swatches.texts.push_back({x + 20.0, y + 11.5, Text::Start, text, data});
    }
    const double legendBottom = legendTop + perColumn * 20.0;
    scene.layers.push_back(std::move(swatches));

    Layer note;
    note.id = "note";
    note.fontSize = 11.0;
    note.textColour = {0x44, 0x44, 0x44};
    note.texts.push_back({MapLeft, legendBottom + 12.0, Text::Start,
                          "Each cell of 1 degree is judged at its own sunset on its local date (clock UTC + "
                          "round(longitude / 15) h).  Land: Natural Earth.",
                          ""});
    scene.layers.push_back(std::move(note));
    scene.height = static_cast<int>(legendBottom + 24.0);
    return scene;
}

// ---------------------------------------------------------------------------
// SVG

std::string Number(double v) {
    std::string text = Format("%.2f", v);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (text == "-0") text = "0";
    return text;
}

std::string Hex(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::string Escaped(const std::string &text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Svg(const Scene &scene) {
    std::string out;
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(scene.width) + "\" height=\"" +
           std::to_string(scene.height) + "\" viewBox=\"0 0 " + std::to_string(scene.width) + " " +
           std::to_string(scene.height) + "\">\n";
    out += "<title>" + Escaped(scene.title) + "</title>\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    for (const Layer &layer : scene.layers) {
        out += "<g id=\"" + layer.id + "\"";
        if (layer.crisp) out += " shape-rendering=\"crispEdges\"";
        if (!layer.lines.empty()) {
            out += " fill=\"none\" stroke=\"" + Hex(layer.lineColour) + "\" stroke-width=\"" +
                   Number(layer.lineWidth) + "\" stroke-linejoin=\"round\"";
            if (layer.dashed) out += " stroke-dasharray=\"2 3\"";
        }
        if (!layer.texts.empty()) {
            out += " font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" + Number(layer.fontSize) + "\"";
            if (layer.bold) out += " font-weight=\"bold\"";
        }
        out += ">\n";
        for (const Rect &r : layer.rects) {
            out += "<rect x=\"" + Number(r.x) + "\" y=\"" + Number(r.y) + "\" width=\"" + Number(r.w) +
                   "\" height=\"" + Number(r.h) + "\" fill=\"" + (r.filled ? Hex(r.fill) : std::string("none")) + "\"";
            if (r.strokeWidth > 0.0)
                out += " stroke=\"" + Hex(r.stroke) + "\" stroke-width=\"" + Number(r.strokeWidth) + "\"";
            out += r.attributes + "/>\n";
        }
        for (const std::vector<Point> &line : layer.lines) {
            out += "<path d=\"";
            for (std::size_t i = 0; i < line.size(); ++i)
                out += (i == 0 ? "M" : i == 1 ? " L" : " ") + Number(line[i].x) + " " + Number(line[i].y);
            out += "\"/>\n";
        }
        for (const Text &t : layer.texts) {
            out += "<text x=\"" + Number(t.x) + "\" y=\"" + Number(t.y) + "\" fill=\"" + Hex(layer.textColour) + "\"";
            if (t.anchor == Text::Middle) out += " text-anchor=\"middle\"";
            if (t.anchor == Text::End) out += " text-anchor=\"end\"";
            out += t.attributes + ">" + Escaped(t.text) + "</text>\n";
        }
        out += "</g>\n";
    }
    out += "</svg>\n";
    return out;
}

// ---------------------------------------------------------------------------
// PNG, drawn by cairo

void SetColour(cairo_t *cr, Colour c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

cairo_status_t AppendBytes(void *closure, const unsigned char *data, unsigned int length) {
    static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string Png(const Scene &scene, std::string *problem) {
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, scene.width, scene.height);
    cairo_t *cr = cairo_create(surface);
    SetColour(cr, {0xff, 0xff, 0xff});
    cairo_paint(cr);
    for (const Layer &layer : scene.layers) {
        cairo_set_antialias(cr, layer.crisp ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
        for (const Rect &r : layer.rects) {
            cairo_rectangle(cr, r.x, r.y, r.w, r.h);
            if (r.filled) {
                SetColour(cr, r.fill);
                cairo_fill_preserve(cr);
            }
            if (r.strokeWidth > 0.0) {
                SetColour(cr, r.stroke);
                cairo_set_line_width(cr, r.strokeWidth);
                cairo_stroke_preserve(cr);
            }
            cairo_new_path(cr);
        }
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
        if (!layer.lines.empty()) {
            SetColour(cr, layer.lineColour);
            cairo_set_line_width(cr, layer.lineWidth);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            const double dashes[] = {2.0, 3.0};
            cairo_set_dash(cr, dashes, layer.dashed ? 2 : 0, 0.0);
            for (const std::vector<Point> &line : layer.lines) {
                for (std::size_t i = 0; i < line.size(); ++i) {
                    if (i == 0)
                        cairo_move_to(cr, line[i].x, line[i].y);
                    else
                        cairo_line_to(cr, line[i].x, line[i].y);
                }
                cairo_stroke(cr);
            }
            cairo_set_dash(cr, dashes, 0, 0.0);
        }
        if (!layer.texts.empty()) {
            SetColour(cr, layer.textColour);
            cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                                   layer.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
            cairo_set_font_size(cr, layer.fontSize);
            for (const Text &t : layer.texts) {
                cairo_text_extents_t extents;
                cairo_text_extents(cr, t.text.c_str(), &extents);
                double x = t.x;
                if (t.anchor == Text::Middle) x -= extents.x_advance / 2.0;
                if (t.anchor == Text::End) x -= extents.x_advance;
                cairo_move_to(cr, x, t.y);
                cairo_show_text(cr, t.text.c_str());
            }
        }
    }
    std::string bytes;
    cairo_status_t status = cairo_status(cr);
    if (status == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        status = cairo_surface_write_to_png_stream(surface, AppendBytes, &bytes);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *problem = std::string("cannot draw the map: ") + cairo_status_to_string(status);
        return "";
    }
    return bytes;
}

}  // namespace

std::string DrawVisibilityMap(const VisibilityMap &map, MapFormat format, std::string *problem) {
    problem->clear();
    const Scene scene = BuildScene(map);
    return format == MapFormat::Svg ? Svg(scene) : Png(scene, problem);
}

}  // namespace vorlin::cli

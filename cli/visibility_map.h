// Crescent visibility maps (`vorlin crescent --map FILE`): the whole Earth
// in cells of one degree, each judged by a criterion at its own sunset on
// the evening of the same civil date, drawn over the land's outlines as
// SVG or PNG.
#pragma once

#include <string>
#include <vector>

#include "moon/crescent.h"
#include "vorlin.h"

namespace vorlin::cli {

// What a zone of a criterion means ("easily visible"), for the legend and
// the text answer; "" for a letter the criterion does not have.
const char *ZoneMeaning(CrescentCriterion criterion, char zone);

// The zone letters of a criterion, best first: "ABCDEF" for yallop, "ABCD"
// for arcv-width, "VN" for default and danjon.
const char *ZoneLetters(CrescentCriterion criterion);

// The zone of a cell without an evening (no sunset or no moonset).
inline constexpr char NoEvening = '-';

struct VisibilityMap {
    static constexpr int Rows = 180;     // latitude: row 0 is 89.5 N, row 179 is 89.5 S
    static constexpr int Columns = 360;  // longitude: column 0 is 179.5 W, column 359 is 179.5 E
    VorDate date{};                      // the civil date of every cell's evening
    CrescentCriterion criterion = CrescentCriterion::Yallop;
    double thresholdDegrees = 0.0;       // the default criterion's threshold
    double conjunctionGeoUt = 0.0;       // the geocentric conjunction nearest the evenings (JD UT)
    std::vector<char> zones;             // Rows x Columns, row by row: a zone letter or NoEvening

    char Zone(int row, int column) const { return zones[static_cast<std::size_t>(row * Columns + column)]; }
    static double Latitude(int row) { return 89.5 - row; }
    static double Longitude(int column) { return -179.5 + column; }
};

// The map of the evening of date by criterion with config's settings
// (refraction, the default criterion's threshold).  A cell's evening is
// that of its centre at height 0, on the local mean clock of its longitude
// (UTC + round(longitude / 15) hours), so that every cell sees the evening
// of the same civil date.  The rows are shared among `threads` threads (0:
// the machine's cores).
VisibilityMap ComputeVisibilityMap(const VorDate &date, const VorConfig &config, CrescentCriterion criterion,
                                   unsigned threads = 0);

enum class MapFormat { Svg, Png };
// The format of a file by its name's extension (.svg or .png, in any case);
// false for another.
bool MapFormatOfPath(const std::string &path, MapFormat *format);

// The map drawn (equirectangular, 3 pixels a degree, with the land's
// outlines, a graticule, a title and a legend): the bytes of an SVG or a
// PNG file.  "" with *problem set when cairo cannot draw it.
//
// The SVG's cells: <g id="cells"> holds one <rect> per run of consecutive
// cells of a row with the same zone, with data-zone (the letter, or "-"
// for no evening), data-cells (how many cells), data-lat (the row's centre)
// and data-lon (the first cell's centre); the runs' data-cells add up to
// Rows x Columns.  <rect id="map-frame"> is the map's outline: longitude
// -180..180 across its width, latitude 90..-90 down its height.  The land
// is <g id="land"> of <path> outlines; the legend <g id="legend"> has one
// <rect> and one <text> with data-zone per zone (and "-").
std::string DrawVisibilityMap(const VisibilityMap &map, MapFormat format, std::string *problem);

}  // namespace vorlin::cli

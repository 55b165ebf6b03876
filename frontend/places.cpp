#include "places.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#ifndef VORLIN_PLACES_RUNTIME_IMAGE
#include "places_image_path.h"

// The image written by tools/gen_places.py, linked in as read-only data.
__asm__(".section .rodata\n"
        ".balign 16\n"
        ".globl vorlin_places_image\n"
        "vorlin_places_image:\n"
        ".incbin \"" VORLIN_PLACES_IMAGE "\"\n"
        ".globl vorlin_places_image_end\n"
        "vorlin_places_image_end:\n"
        ".previous\n");
extern "C" const unsigned char vorlin_places_image[];
extern "C" const unsigned char vorlin_places_image_end[];
#endif

namespace vorlin::frontend {

namespace {

static_assert(std::endian::native == std::endian::little, "the place image is little-endian");

constexpr std::size_t PlaceSize = 28;
constexpr std::size_t MaxPrefixScan = 50000;  // keys looked at for a prefix
constexpr double EarthRadiusKm = 6371.0088;
constexpr double Pi = 3.14159265358979323846;

// A little-endian value of the image (any alignment).
template <typename T>
T Read(const unsigned char *p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
uint32_t U32(const unsigned char *p) { return Read<uint32_t>(p); }
int32_t I32(const unsigned char *p) { return Read<int32_t>(p); }
uint16_t U16(const unsigned char *p) { return Read<uint16_t>(p); }
int16_t I16(const unsigned char *p) { return Read<int16_t>(p); }

// The image's tables (see tools/gen_places.py).
struct Image {
    const unsigned char *base = nullptr;
    uint32_t places = 0, keys = 0, zones = 0, countries = 0, admin1 = 0, fold = 0;
    uint32_t placesAt = 0, keysAt = 0, zonesAt = 0, countriesAt = 0, admin1At = 0, foldAt = 0,
             stringsAt = 0;

    const char *String(uint32_t offset) const {
        return reinterpret_cast<const char *>(base + stringsAt + offset);
    }
    const unsigned char *PlaceRecord(uint32_t i) const { return base + placesAt + PlaceSize * i; }
    std::string_view Key(uint32_t i) const { return String(U32(base + keysAt + 8 * i)); }
    uint32_t KeyOffset(uint32_t i) const { return U32(base + keysAt + 8 * i); }
    uint32_t KeyPlace(uint32_t i) const { return U32(base + keysAt + 8 * i + 4); }
    uint32_t Population(uint32_t place) const { return U32(PlaceRecord(place) + 8); }
    uint16_t Country(uint32_t place) const { return U16(PlaceRecord(place) + 18); }
    uint16_t Admin1(uint32_t place) const { return U16(PlaceRecord(place) + 20); }
    const char *CountryCode(uint16_t c) const { return String(U32(base + countriesAt + 8 * c)); }
    const char *CountryName(uint16_t c) const { return String(U32(base + countriesAt + 8 * c + 4)); }
    const char *Admin1Name(uint16_t a) const { return String(U32(base + admin1At + 4 * a)); }
};

// The image's tables over the bytes at p, or an empty image (base null)
// when they are not a whole, consistent image: every table inside the
// bytes, every index in range, every string offset inside the strings,
// which end with a NUL.  A look at each record once, at load.
Image ReadImage(const unsigned char *p, std::size_t size) {
    Image image;
    constexpr std::size_t HeaderSize = 8 + 4 * 13;
    if (p == nullptr || size < HeaderSize || size > 0xFFFFFFFFu || std::memcmp(p, "VPLC", 4) != 0 ||
        U32(p + 4) != 1 || p[size - 1] != 0)
        return image;
    uint32_t v[13];
    for (int i = 0; i < 13; ++i) v[i] = U32(p + 8 + 4 * i);
    // The tables follow one another from the header to the strings.
    const uint64_t recordSize[6] = {PlaceSize, 8, 4, 8, 4, 8};
    uint64_t at = HeaderSize;
    for (int t = 0; t < 6; ++t) {
        if (v[6 + t] != at) return image;
        at += recordSize[t] * v[t];
    }
    if (v[12] != at || at >= size) return image;
    const uint64_t strings = size - at;
    const auto stringOk = [&](uint32_t offset) { return offset < strings; };
    const unsigned char *places = p + v[6];
    for (uint32_t i = 0; i < v[0]; ++i) {
        const unsigned char *r = places + PlaceSize * i;
        if (!stringOk(U32(r + 12)) || U16(r + 16) >= v[2] || U16(r + 18) >= v[3] || U16(r + 20) >= v[4])
            return image;
    }
    for (uint32_t i = 0; i < v[1]; ++i)
        if (!stringOk(U32(p + v[7] + 8 * i)) || U32(p + v[7] + 8 * i + 4) >= v[0]) return image;
    for (uint32_t i = 0; i < v[2]; ++i)
        if (!stringOk(U32(p + v[8] + 4 * i))) return image;
    for (uint32_t i = 0; i < v[3]; ++i)
        if (!stringOk(U32(p + v[9] + 8 * i)) || !stringOk(U32(p + v[9] + 8 * i + 4))) return image;
    for (uint32_t i = 0; i < v[4]; ++i)
        if (!stringOk(U32(p + v[10] + 4 * i))) return image;
    for (uint32_t i = 0; i < v[5]; ++i)
        if (!stringOk(U32(p + v[11] + 8 * i + 4))) return image;
    image.base = p;
    image.places = v[0];
    image.keys = v[1];
    image.zones = v[2];
    image.countries = v[3];
    image.admin1 = v[4];
    image.fold = v[5];
    image.placesAt = v[6];
    image.keysAt = v[7];
    image.zonesAt = v[8];
    image.countriesAt = v[9];
    image.admin1At = v[10];
    image.foldAt = v[11];
    image.stringsAt = v[12];
    return image;
}

#ifdef VORLIN_PLACES_RUNTIME_IMAGE
Image theImage;  // set by UsePlacesImage; empty until then

const Image &TheImage() { return theImage; }
#else
const Image &TheImage() {
    static const Image image = ReadImage(  // initialised once, thread-safe
        vorlin_places_image, static_cast<std::size_t>(vorlin_places_image_end - vorlin_places_image));
    return image;
}
#endif

Place MakePlace(const Image &image, uint32_t i) {
    const unsigned char *r = image.PlaceRecord(i);
    Place p;
    p.latitude = I32(r) / 1e5;
    p.longitude = I32(r + 4) / 1e5;
    p.population = U32(r + 8);
    p.name = image.String(U32(r + 12));
    p.zone = image.String(U32(image.base + image.zonesAt + 4 * U16(r + 16)));
    p.countryCode = image.CountryCode(U16(r + 18));
    p.countryName = image.CountryName(U16(r + 18));
    p.admin1 = image.Admin1Name(U16(r + 20));
    const int16_t elevation = I16(r + 22);
    p.elevationKnown = elevation != -32768;
    p.elevation = p.elevationKnown ? elevation : 0;
    p.geonameid = U32(r + 24);
    return p;
}

// One code point from UTF-8 at text[i] (advancing i); invalid bytes give 0.
uint32_t NextCodePoint(std::string_view text, std::size_t &i) {
    const unsigned char c = static_cast<unsigned char>(text[i++]);
    if (c < 0x80) return c;
    const int length = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length - 1 > text.size()) return 0;
    uint32_t cp = c & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i]);
        if ((next >> 6) != 2) return 0;
        cp = (cp << 6) | (next & 0x3F);
        ++i;
    }
    return cp;
}

void AppendUtf8(std::string &out, uint32_t cp) {
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

// "Name, Region, Country" as the folded name and qualifiers.
struct Query {
    std::string name;
    std::vector<std::string> qualifiers;
};

Query ParseQuery(std::string_view text) {
    Query q;
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        const std::string part = FoldName(text.substr(start, comma - start));
        if (first) {
            q.name = part;
            first = false;
        } else if (!part.empty()) {
            q.qualifiers.push_back(part);
        }
        start = comma + 1;
    }
    return q;
}

// Common short names of countries whose ISO name is long or formal.
constexpr const char *CountryAliases[][2] = {
    {"uk", "GB"},         {"britain", "GB"},      {"greatbritain", "GB"}, {"usa", "US"},
    {"america", "US"},    {"unitedstatesofamerica", "US"}, {"uae", "AE"}, {"emirates", "AE"},
    {"southkorea", "KR"}, {"northkorea", "KP"},   {"russia", "RU"},      {"syria", "SY"},
    {"vietnam", "VN"},    {"laos", "LA"},         {"brunei", "BN"},      {"turkey", "TR"},
    {"czechrepublic", "CZ"}, {"macedonia", "MK"}, {"ivorycoast", "CI"},  {"vatican", "VA"},
    {"palestine", "PS"},  {"holland", "NL"},      {"burma", "MM"},       {"swaziland", "SZ"},
};

bool CountryMatches(const Image &image, uint16_t c, const std::string &q) {
    const std::string code = FoldName(image.CountryCode(c));
    if (q == code) return true;
    const std::string_view country = image.CountryName(c);
    if (q == FoldName(country)) return true;
    const std::size_t comma = country.find(',');
    if (comma != std::string_view::npos && q == FoldName(country.substr(0, comma))) return true;
    for (const auto &alias : CountryAliases)
        if (q == alias[0] && code == FoldName(alias[1])) return true;
    return false;
}

bool QualifierMatches(const Image &image, uint32_t place, const std::string &q) {
    if (CountryMatches(image, image.Country(place), q)) return true;
    const char *region = image.Admin1Name(image.Admin1(place));
    return *region != '\0' && q == FoldName(region);
}

bool AllQualifiersMatch(const Image &image, uint32_t place, const Query &q) {
    for (const std::string &qualifier : q.qualifiers)
        if (!QualifierMatches(image, place, qualifier)) return false;
    return true;
}

uint32_t LowerBound(const Image &image, std::string_view key) {
    uint32_t low = 0, high = image.keys;
    while (low < high) {  // bounded: log2(keys) steps
        const uint32_t mid = low + (high - low) / 2;
        if (image.Key(mid) < key)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Distinct places of the keys [first, last) that pass the qualifiers,
// most populous first.
std::vector<uint32_t> PlacesOfKeys(const Image &image, uint32_t first, uint32_t last, const Query &q) {
    std::vector<uint32_t> found;
    for (uint32_t k = first; k < last; ++k) {
        const uint32_t place = image.KeyPlace(k);
        if (AllQualifiersMatch(image, place, q)) found.push_back(place);
    }
    std::sort(found.begin(), found.end(), [&image](uint32_t a, uint32_t b) {
        const uint32_t pa = image.Population(a), pb = image.Population(b);
        return pa != pb ? pa > pb : a < b;
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<uint32_t> ExactPlaces(const Image &image, const Query &q) {
    if (q.name.empty() || image.base == nullptr) return {};
    const uint32_t first = LowerBound(image, q.name);
    uint32_t last = first;
    while (last < image.keys && image.Key(last) == q.name) ++last;
    return PlacesOfKeys(image, first, last, q);
}

std::vector<Place> Places(const Image &image, const std::vector<uint32_t> &indexes, std::size_t limit) {
    std::vector<Place> out;
    for (std::size_t i = 0; i < indexes.size() && i < limit; ++i) out.push_back(MakePlace(image, indexes[i]));
    return out;
}

// Levenshtein distance of a and b when at most limit, else limit + 1.
std::size_t BoundedDistance(std::string_view a, std::string_view b, std::size_t limit) {
    if (a.size() > b.size() + limit || b.size() > a.size() + limit) return limit + 1;
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        std::size_t best = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
            best = std::min(best, row[j]);
        }
        if (best > limit) return limit + 1;
    }
    return row[b.size()];
}

}  // namespace

std::string Place::Label() const {
    std::string label = name;
    if (!admin1.empty() && admin1 != name) label += ", " + admin1;
    return label + ", " + countryCode;
}

std::size_t PlaceCount() { return TheImage().places; }

#ifdef VORLIN_PLACES_RUNTIME_IMAGE
std::size_t UsePlacesImage(const void *bytes, std::size_t size) {
    const Image image = ReadImage(static_cast<const unsigned char *>(bytes), size);
    if (image.base == nullptr) return 0;
    theImage = image;
    return image.places;
}
#endif

std::string FoldName(std::string_view text) {
    const Image &image = TheImage();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {  // advances at least one byte a step
        const uint32_t cp = NextCodePoint(text, i);
        if (cp == 0) continue;
        if (cp < 0x80) {
            const char c = static_cast<char>(cp);
            if (c >= 'A' && c <= 'Z') out += static_cast<char>(c - 'A' + 'a');
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) out += c;
            continue;
        }
        uint32_t low = 0, high = image.fold;
        while (low < high) {
            const uint32_t mid = low + (high - low) / 2;
            if (U32(image.base + image.foldAt + 8 * mid) < cp)
                low = mid + 1;
            else
                high = mid;
        }
        if (low < image.fold && U32(image.base + image.foldAt + 8 * low) == cp)
            out += image.String(U32(image.base + image.foldAt + 8 * low + 4));
        else
            AppendUtf8(out, cp);
    }
    return out;
}

std::vector<Place> FindPlaces(std::string_view query, std::size_t limit) {
    const Image &image = TheImage();
    return Places(image, ExactPlaces(image, ParseQuery(query)), limit);
}

std::size_t CountPlaces(std::string_view query) {
    const Image &image = TheImage();
    return ExactPlaces(image, ParseQuery(query)).size();
}

std::vector<Place> PlacesStartingWith(std::string_view query, std::size_t limit) {
    const Image &image = TheImage();
    const Query q = ParseQuery(query);
    if (q.name.empty() || image.base == nullptr) return {};
    const uint32_t first = LowerBound(image, q.name);
    uint32_t last = first;
    while (last < image.keys && last - first < MaxPrefixScan && image.Key(last).starts_with(q.name))
        ++last;
    return Places(image, PlacesOfKeys(image, first, last, q), limit);
}

std::vector<Place> LargestPlacesOf(std::string_view country, std::size_t limit) {
    const Image &image = TheImage();
    const std::string q = FoldName(country);
    if (q.empty() || image.base == nullptr) return {};
    std::vector<bool> named(image.countries);
    bool any = false;
    for (uint16_t c = 0; c < image.countries; ++c) {
        named[c] = CountryMatches(image, c, q);
        any = any || named[c];
    }
    if (!any) return {};
    std::vector<uint32_t> places;
    for (uint32_t i = 0; i < image.places; ++i)  // by country, then population
        if (image.Country(i) < named.size() && named[image.Country(i)]) places.push_back(i);
    std::stable_sort(places.begin(), places.end(), [&image](uint32_t a, uint32_t b) {
        return image.Population(a) > image.Population(b);
    });
    return Places(image, places, limit);
}

std::vector<Place> NearPlaces(std::string_view query, std::size_t limit) {
    const Image &image = TheImage();
    const Query q = ParseQuery(query);
    if (q.name.empty() || image.base == nullptr) return {};
    const std::size_t most = q.name.size() <= 4 ? 1 : 2;
    struct Candidate {
        std::size_t distance;
        uint32_t population;
        uint32_t place;
    };
    std::vector<Candidate> candidates;
    uint32_t previous = UINT32_MAX;
    for (uint32_t k = 0; k < image.keys; ++k) {  // bounded by the key count
        const uint32_t offset = image.KeyOffset(k);
        if (offset == previous) continue;  // the same key as the one before
        previous = offset;
        const std::string_view key = image.Key(k);
        const std::size_t d = BoundedDistance(q.name, key, most);
        if (d > most || d == 0) continue;
        for (uint32_t j = k; j < image.keys && image.KeyOffset(j) == offset; ++j) {
            const uint32_t place = image.KeyPlace(j);
            if (AllQualifiersMatch(image, place, q)) candidates.push_back({d, image.Population(place), place});
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        if (a.distance != b.distance) return a.distance < b.distance;
        if (a.population != b.population) return a.population > b.population;
        return a.place < b.place;
    });
    std::vector<uint32_t> places;
    for (const Candidate &c : candidates)
        if (std::find(places.begin(), places.end(), c.place) == places.end()) places.push_back(c.place);
    return Places(image, places, limit);
}

NearestPlace FindNearestPlace(double latitude, double longitude) {
    const Image &image = TheImage();
    NearestPlace nearest;
    if (image.base == nullptr || image.places == 0 || !std::isfinite(latitude) || !std::isfinite(longitude))
        return nearest;
    const double phi = latitude * Pi / 180.0, lambda = longitude * Pi / 180.0;
    double best = 1e300;
    uint32_t bestPlace = 0;
    for (uint32_t i = 0; i < image.places; ++i) {  // bounded by the place count
        const unsigned char *r = image.PlaceRecord(i);
        const double p2 = I32(r) * 1e-5 * Pi / 180.0, l2 = I32(r + 4) * 1e-5 * Pi / 180.0;
        // Haversine: the central angle's sine-squared measure, monotonic in distance.
        const double s1 = std::sin((p2 - phi) / 2), s2 = std::sin((l2 - lambda) / 2);
        const double h = s1 * s1 + std::cos(phi) * std::cos(p2) * s2 * s2;
        if (h < best) {
            best = h;
            bestPlace = i;
        }
    }
    nearest.place = MakePlace(image, bestPlace);
    nearest.distanceKm = 2.0 * EarthRadiusKm * std::asin(std::sqrt(std::min(1.0, best)));
    return nearest;
}

}  // namespace vorlin::frontend

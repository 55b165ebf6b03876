#include "places_c.h"

#include <cstddef>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "places.h"

static_assert(sizeof(VorPlace) == 320, "VorPlace is 320 bytes");
static_assert(offsetof(VorPlace, latitude) == 280, "VorPlace.latitude at 280");
static_assert(offsetof(VorPlace, population) == 304, "VorPlace.population at 304");

namespace {

// Copies text into field (capacity bytes with its NUL), cut before a UTF-8
// continuation byte so that no character is split.
void CopyText(char *field, std::size_t capacity, const std::string &text) {
    std::size_t length = text.size();
    if (length > capacity - 1) {
        length = capacity - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, capacity - length);
}

void Fill(VorPlace &out, const vorlin::frontend::Place &place) {
    out.size = static_cast<int32_t>(sizeof(VorPlace));
    CopyText(out.name, sizeof out.name, place.name);
    CopyText(out.admin1, sizeof out.admin1, place.admin1);
    CopyText(out.countryCode, sizeof out.countryCode, place.countryCode);
    CopyText(out.countryName, sizeof out.countryName, place.countryName);
    CopyText(out.zone, sizeof out.zone, place.zone);
    out.latitude = place.latitude;
    out.longitude = place.longitude;
    out.elevation = place.elevationKnown ? place.elevation : 0;
    out.elevationKnown = place.elevationKnown ? 1 : 0;
    out.population = place.population;
    out.geonameid = place.geonameid;
}

template <typename Finder>
int32_t Answer(const char *query, VorPlace *out, int32_t capacity, Finder find) {
    if (query == nullptr || capacity < 0 || (capacity > 0 && out == nullptr)) return -1;
    if (capacity == 0) return 0;
    if (out[0].size != static_cast<int32_t>(sizeof(VorPlace))) return -1;
    try {
        const std::vector<vorlin::frontend::Place> found = find(query, static_cast<std::size_t>(capacity));
        const std::size_t count = found.size() < static_cast<std::size_t>(capacity)
                                      ? found.size()
                                      : static_cast<std::size_t>(capacity);
        for (std::size_t i = 0; i < count; ++i) Fill(out[i], found[i]);
        return static_cast<int32_t>(count);
    } catch (const std::exception &) {
        return -1;
    }
}

}  // namespace

extern "C" int32_t VorFindPlaces(const char *query, VorPlace *out, int32_t capacity) {
    return Answer(query, out, capacity, [](const char *q, std::size_t limit) {
        return vorlin::frontend::FindPlaces(q, limit);
    });
}

extern "C" int32_t VorNearPlaces(const char *query, VorPlace *out, int32_t capacity) {
    return Answer(query, out, capacity, [](const char *q, std::size_t limit) {
        return vorlin::frontend::NearPlaces(q, limit);
    });
}

extern "C" int32_t VorPlaceDataCredit(char *text, int32_t capacity) {
    if (capacity < 0 || (capacity > 0 && text == nullptr)) return -1;
    const std::string credit = vorlin::frontend::PlaceDataCredit;
    if (capacity > 0) CopyText(text, static_cast<std::size_t>(capacity), credit);
    return static_cast<int32_t>(credit.size());
}

#ifdef VORLIN_PLACES_RUNTIME_IMAGE
extern "C" int32_t VorUsePlacesImage(const void *image, int32_t size) {
    if (image == nullptr || size < 0) return -1;
    return static_cast<int32_t>(vorlin::frontend::UsePlacesImage(image, static_cast<std::size_t>(size)));
}
#endif

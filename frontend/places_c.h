/*
 * The gazetteer of the front ends (places.h) through a C interface, for the
 * bindings: a shared library, vorlin_places, with C linkage and records of
 * a fixed layout (little-endian, 32-bit int, IEEE double).
 */
#ifndef VORLIN_PLACES_C_H
#define VORLIN_PLACES_C_H

#include <stdint.h>

#if defined(_WIN32)
#define VORLIN_PLACES_API __declspec(dllexport)
#else
#define VORLIN_PLACES_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * VorPlace (320 bytes): one place.  Text is UTF-8, NUL-terminated, cut at a
 * character boundary when too long.
 *   size            sizeof(VorPlace), set by the host in out[0]
 *   name            GeoNames' name
 *   admin1          first-level division ("" unknown)
 *   countryCode     ISO 3166-1 alpha-2
 *   countryName
 *   zone            IANA time zone name
 *   latitude, longitude   degrees, north and east positive
 *   elevation       metres above sea level (0 when not known)
 *   elevationKnown  1 known, 0 not
 *   population
 *   geonameid
 */
typedef struct VorPlace {
    int32_t size;          /* offset 0 */
    char name[96];         /* offset 4 */
    char admin1[64];       /* offset 100 */
    char countryCode[4];   /* offset 164 */
    char countryName[64];  /* offset 168 */
    char zone[48];         /* offset 232 */
    double latitude;       /* offset 280 */
    double longitude;      /* offset 288 */
    int32_t elevation;     /* offset 296 */
    int32_t elevationKnown;/* offset 300 */
    int64_t population;    /* offset 304 */
    int64_t geonameid;     /* offset 312 */
} VorPlace;                /* 320 bytes */

/*
 * The places a query names ("Name", "Name, Region", "Name, Country",
 * "Name, Region, Country"), most populous first: at most capacity of them
 * written to out (out[0].size must be sizeof(VorPlace)).  Returns how many
 * were written, or -1 for a NULL query, a NULL out with capacity above 0, a
 * negative capacity or a wrong size.
 */
VORLIN_PLACES_API int32_t VorFindPlaces(const char *query, VorPlace *out, int32_t capacity);

/* As VorFindPlaces, for places with a name close to the query's (one or two
   letters off), the closest first: for "did you mean". */
VORLIN_PLACES_API int32_t VorNearPlaces(const char *query, VorPlace *out, int32_t capacity);

/*
 * The attribution the place data ask for, to be shown with them: copied to
 * text (NUL-terminated, cut to capacity - 1 bytes).  Returns the length of
 * the whole text in bytes (without the NUL), or -1 for a NULL text with
 * capacity above 0 or a negative capacity.
 */
VORLIN_PLACES_API int32_t VorPlaceDataCredit(char *text, int32_t capacity);

#ifdef VORLIN_PLACES_RUNTIME_IMAGE
/*
 * Only in a build that takes the gazetteer at run time (the WebAssembly
 * one): the bytes of places.bin, kept by the host in place for as long as
 * places are looked up.  Returns the number of places, or 0 for bytes that
 * are not a whole, consistent image (the image before is kept), or -1 for a
 * NULL image or a negative size.  Until an image is given, the lookups find
 * nothing.
 */
VORLIN_PLACES_API int32_t VorUsePlacesImage(const void *image, int32_t size);
#endif

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif

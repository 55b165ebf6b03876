// VorQiblaInfo over any location and date: the direction lies in [0, 360)
// or is the no-value marker.
#include <cmath>
#include <cstdlib>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(data, size);
    double direction = 0.0, distance = 0.0, declination = 0.0;
    VorQiblaInfo(&r.location, &r.date, &direction, &distance, &declination);
    const bool marker = direction == -2147483648.0;
    if (!marker && !(direction >= 0.0 && direction < 360.0)) std::abort();
    return 0;
}

// VorIslamicToAd over any records: result 0 or 1, and 0 leaves the date
// record untouched.
#include <cstdlib>
#include <cstring>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(data, size);
    const VorDate before = r.date;
    const int result = VorIslamicToAd(&r.date, &r.location, &r.config);
    if (result != 0 && result != 1) std::abort();
    if (result == 0 && std::memcmp(&before, &r.date, sizeof before) != 0) std::abort();
    return 0;
}

// VorAdToIslamic over any records: result 0 or 1, and 0 leaves hijriValid 0.
#include <cstdlib>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(data, size);
    const int result = VorAdToIslamic(&r.date, &r.location, &r.config);
    if (result != 0 && result != 1) std::abort();
    if (result == 0 && r.date.hijriValid != 0) std::abort();
    return 0;
}

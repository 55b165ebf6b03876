// VorisValidDate over any date record and either calendar; the record must
// come back unchanged.
#include <cstdlib>
#include <cstring>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(data, size);
    const VorDate before = r.date;
    const int result = VorisValidDate(&r.date, r.extra[0]);
    if (result != 0 && result != 1) std::abort();
    if (std::memcmp(&before, &r.date, sizeof before) != 0) std::abort();
    return 0;
}

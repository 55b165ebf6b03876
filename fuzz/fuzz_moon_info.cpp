// The moon information report over any records and a capacity chosen by the
// input (see FuzzReport): the capacity form never writes past its capacity,
// and the legacy form writes exactly the same text into length + 1 bytes.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    return vorlin_fuzz::FuzzReport(data, size, VorMoonInfoN, VorMoonInfo);
}

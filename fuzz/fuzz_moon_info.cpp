// The moon information report over any records and a capacity chosen by the input:
// VorMoonInfoN never writes past the capacity, terminates the text, and
// returns the length of the whole report; the text is the prefix of the
// report that VorMoonInfo writes into a 64 KiB buffer.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    vorlin_fuzz::FuzzRecords r = vorlin_fuzz::ReadRecords(data, size);
    vorlin_fuzz::LimitSpan(r.config, r.extra[2]);
    int32_t capacity = 0;
    std::memcpy(&capacity, r.extra + 4, 2);  // 0 .. 65535
    if (r.extra[3] & 1) capacity = -capacity;
    const int32_t room = capacity > 0 ? capacity : 0;
    // Exactly room bytes on the heap, so that AddressSanitizer sees any
    // write past the capacity.
    std::vector<char> text(static_cast<std::size_t>(room));
    const VorLocation location = r.location;
    VorDate date = r.date;
    VorLocation place = location;
    VorConfig config = r.config;
    const int32_t length = VorMoonInfoN(&date, &place, &config, room ? text.data() : nullptr, capacity);
    if (length < 0) std::abort();
    if (room > 0 && std::memchr(text.data(), '\0', text.size()) == nullptr) std::abort();
    if (r.extra[3] & 2) {
        // The legacy export, into the 64 KiB the header promises is enough
        // for any report.  Not length + 1: without a capacity the moon
        // report writes a moon-data block past the final end before it
        // takes the block back.
        const std::size_t promised = 65536;
        const std::size_t needed = static_cast<std::size_t>(length) + 1 + 2048;
        std::vector<char> full(needed > promised ? needed : promised);
        VorDate date2 = r.date;
        VorLocation place2 = location;
        VorConfig config2 = r.config;
        vorlin_fuzz::LimitSpan(config2, r.extra[2]);
        VorMoonInfo(&date2, &place2, &config2, full.data());
        if (std::strlen(full.data()) != static_cast<std::size_t>(length)) std::abort();
        const std::size_t kept = room > 0 ? std::strlen(text.data()) : 0;
        if (kept > 0 && std::memcmp(full.data(), text.data(), kept) != 0) std::abort();
    }
    return 0;
}

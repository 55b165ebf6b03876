// The bytes of a fuzz input laid onto the three boundary records.
//
// Bytes 0..39 fill VorDate, 40..119 VorLocation, 120..187 VorConfig,
// directly (any bit pattern: NaN, infinities, huge integers, names without
// a NUL); the rest are extra choices (a capacity, a selector).  A short
// input is padded with zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vorlin.h"

namespace vorlin_fuzz {

struct FuzzRecords {
    VorDate date;
    VorLocation location;
    VorConfig config;
    unsigned char extra[8];
};

inline constexpr std::size_t RecordBytes = sizeof(VorDate) + sizeof(VorLocation) + sizeof(VorConfig);

inline FuzzRecords ReadRecords(const uint8_t *data, std::size_t size) {
    unsigned char bytes[RecordBytes + 8] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    FuzzRecords r;
    std::memcpy(&r.date, bytes, sizeof r.date);
    std::memcpy(&r.location, bytes + sizeof(VorDate), sizeof r.location);
    std::memcpy(&r.config, bytes + sizeof(VorDate) + sizeof(VorLocation), sizeof r.config);
    std::memcpy(r.extra, bytes + RecordBytes, sizeof r.extra);
    return r;
}

// A year report takes up to a few hundred milliseconds; the span is kept
// to a day or a month unless the selector byte asks for a year (1 in 256).
inline void LimitSpan(VorConfig &config, unsigned char selector) {
    if ((config.scheduleFlags & VOR_SPAN_MASK) >= VOR_SPAN_YEAR && selector != 0xA5) {
        config.scheduleFlags &= ~VOR_SPAN_YEAR;
    }
}

using CapacityReport = int32_t(VORLIN_CALL *)(VorDate *, VorLocation *, VorConfig *, char *, int32_t);
using LegacyReport = void(VORLIN_CALL *)(VorDate *, VorLocation *, VorConfig *, char *);

// One report over any records and a capacity chosen by the input: the
// capacity form never writes past the capacity, terminates the text and
// returns the length of the whole report; the legacy form, given exactly
// that length + 1 bytes, writes the same text and nothing beyond it.  The
// buffers are heap blocks of exactly those sizes, so AddressSanitizer sees
// any write past them.
inline int FuzzReport(const uint8_t *data, std::size_t size, CapacityReport withCapacity,
                      LegacyReport legacy) {
    FuzzRecords r = ReadRecords(data, size);
    LimitSpan(r.config, r.extra[2]);
    int32_t capacity = 0;
    std::memcpy(&capacity, r.extra + 4, 2);  // 0 .. 65535
    if (r.extra[3] & 1) capacity = -capacity;
    const int32_t room = capacity > 0 ? capacity : 0;
    std::vector<char> text(static_cast<std::size_t>(room));
    VorDate date = r.date;
    VorLocation place = r.location;
    VorConfig config = r.config;
    const int32_t length = withCapacity(&date, &place, &config, room ? text.data() : nullptr, capacity);
    if (length < 0) std::abort();
    if (room > 0 && std::memchr(text.data(), '\0', text.size()) == nullptr) std::abort();
    if (r.extra[3] & 2) {
        std::vector<char> full(static_cast<std::size_t>(length) + 1);
        VorDate date2 = r.date;
        VorLocation place2 = r.location;
        VorConfig config2 = r.config;
        LimitSpan(config2, r.extra[2]);
        legacy(&date2, &place2, &config2, full.data());
        if (std::strlen(full.data()) != static_cast<std::size_t>(length)) std::abort();
        const std::size_t kept = room > 0 ? std::strlen(text.data()) : 0;
        if (kept > 0 && std::memcmp(full.data(), text.data(), kept) != 0) std::abort();
    }
    return 0;
}

}  // namespace vorlin_fuzz

// The bytes of a fuzz input laid onto the three boundary records.
//
// Bytes 0..39 fill VorDate, 40..119 VorLocation, 120..187 VorConfig,
// directly (any bit pattern: NaN, infinities, huge integers, names without
// a NUL); the rest are extra choices (a capacity, a selector).  A short
// input is padded with zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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

}  // namespace vorlin_fuzz

// VorTimesOfDay and VorTimesOfRange over any date, location and settings
// bytes, with a settings and a result record of any declared size: the
// library reads and writes no byte beyond the sizes (the result buffers are
// heap blocks of exactly that size, so AddressSanitizer sees any write past
// them), a refusal leaves every event NOT_VALID, and every time it gives is
// finite.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"

namespace {

// Bytes 0..39 VorDate, 40..119 VorLocation, 120..303 VorTimesSettings, then
// a settings size, a result size and a day count.
constexpr std::size_t SettingsAt = sizeof(VorDate) + sizeof(VorLocation);
constexpr std::size_t ChoicesAt = SettingsAt + sizeof(VorTimesSettings);

void CheckDay(const unsigned char *bytes, int32_t size, int32_t result) {
    // Only the events that fit in the declared size are the library's.
    const int events = size <= 8 ? 0 : (size - 8) / static_cast<int>(sizeof(VorEventTime));
    for (int e = 0; e < events && e < VOR_EVENT_COUNT; ++e) {
        VorEventTime t;
        std::memcpy(&t, bytes + 8 + e * sizeof(VorEventTime), sizeof t);
        if (t.status < 0 || t.status > VOR_STATUS_FILLED) std::abort();
        if (result == 0 && t.status != VOR_STATUS_NOT_VALID) std::abort();
        const bool shown = t.status == VOR_STATUS_VALID || t.status == VOR_STATUS_FILLED;
        if (shown && !(std::isfinite(t.localHours) && std::isfinite(t.utcJd))) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    unsigned char bytes[ChoicesAt + 3] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    VorDate date;
    VorLocation location;
    std::memcpy(&date, bytes, sizeof date);
    std::memcpy(&location, bytes + sizeof date, sizeof location);
    // The settings record in a block of its declared size (8 .. 184 bytes).
    const int32_t settingsSize = 8 + bytes[ChoicesAt] % (sizeof(VorTimesSettings) - 7);
    std::vector<unsigned char> settings(bytes + SettingsAt, bytes + SettingsAt + settingsSize);
    std::memcpy(settings.data(), &settingsSize, 4);
    // The result record(s): 8 .. 360 bytes each.
    const int32_t resultSize = 8 + bytes[ChoicesAt + 1] % (sizeof(VorDayTimes) - 7);
    const int days = 1 + bytes[ChoicesAt + 2] % 3;

    std::vector<unsigned char> one(static_cast<std::size_t>(resultSize));
    std::memcpy(one.data(), &resultSize, 4);
    const int32_t r = VorTimesOfDay(&date, &location,
                                    reinterpret_cast<VorTimesSettings *>(settings.data()),
                                    reinterpret_cast<VorDayTimes *>(one.data()));
    if (r != 0 && r != 1) std::abort();
    CheckDay(one.data(), resultSize, r);

    std::vector<unsigned char> many(static_cast<std::size_t>(resultSize) * days);
    std::memcpy(many.data(), &resultSize, 4);
    const int32_t n = VorTimesOfRange(&date, days, &location,
                                      reinterpret_cast<VorTimesSettings *>(settings.data()),
                                      reinterpret_cast<VorDayTimes *>(many.data()));
    if (n != 0 && n != days) std::abort();
    if (n == days) {
        for (int i = 0; i < days; ++i) CheckDay(many.data() + i * resultSize, resultSize, 1);
    }
    return 0;
}

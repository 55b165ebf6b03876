#include "moon/shared_month_starts.h"

namespace vorlin {
namespace {

std::atomic<bool> sharedEnabled{true};

}  // namespace

PlaceKey PlaceKeyOf(const VorLocation &loc) {
    return PlaceKey{loc.latitude, loc.longitude, loc.height, loc.timeZone, loc.summerStart,
                    loc.summerEnd};
}

MonthStartKey MonthStartKeyOf(double lunation, const VorLocation &loc, const VorConfig &cfg) {
    MonthStartKey key{};
    key.lunation = lunation;
    key.place = PlaceKeyOf(loc);
    key.config = cfg;
    key.config.reserved = 0;
    key.padding = 0;
    return key;
}

void SetSharedMonthStartsEnabled(bool enabled) {
    sharedEnabled.store(enabled, std::memory_order_relaxed);
}

bool SharedMonthStartsEnabled() { return sharedEnabled.load(std::memory_order_relaxed); }

void ClearSharedMonthStarts() {
    SharedLibraryMonthStarts().Clear();
    SharedRuleMonthStarts().Clear();
}

// Static storage made on first use (thread-safe): not every platform's
// mutex can be constant-initialised, and no call may find a table not yet
// constructed.
LibraryMonthStartTable &SharedLibraryMonthStarts() {
    static LibraryMonthStartTable table;
    return table;
}

RuleMonthStartTable &SharedRuleMonthStarts() {
    static RuleMonthStartTable table;
    return table;
}

}  // namespace vorlin

// Month starts shared by every call of the process: a fixed table of the
// month starts the conversions have computed, so that a server converting
// today's date again and again (or a host converting day after day) works
// out each lunation once.
//
// What is kept: the first day of a month (local JD of 0 h) as the month-start
// computation in conversion mode gives it, or that none could be computed,
// under a key that holds everything the result depends on, compared bit for
// bit: the lunation (the mean-phase estimate NewMoonEstimate returns), every
// numeric field of the place (latitude, longitude, height, time zone and the
// summer-time rules; not the name, which no computation reads) and every
// field of the configuration but `reserved` (never read); the calendar
// rule's table (calendar/calendar_modes.cpp) adds the rule's fields and its
// region's places.  A result is therefore only ever reused for exactly the
// inputs that made it, and a conversion gives the same answer, bit for bit,
// whether the table holds its month starts or not.
//
// Bounds: a fixed number of entries in static storage (no heap); once the
// table is full, each new month start replaces the oldest (first in, first
// out), so an evicted lunation is simply computed again.
//
// Threads: every lookup and store takes the table's mutex and copies the
// entry in or out under it; the computation itself runs outside the lock,
// so two threads that miss the same lunation at once both compute it (the
// same value) and the second store is dropped.  Reentrant and safe from any
// number of threads.
#pragma once

#include <atomic>
#include <cstring>
#include <mutex>
#include <type_traits>

#include "vorlin.h"

namespace vorlin {

// The part of a place that a month start depends on: VorLocation without
// its name.
struct PlaceKey {
    double latitude;   // radians, as the computation sees it
    double longitude;  // radians
    int32_t height;
    float timeZone;
    int32_t summerStart;
    int32_t summerEnd;
};
static_assert(sizeof(PlaceKey) == 32, "PlaceKey has no padding");

PlaceKey PlaceKeyOf(const VorLocation &loc);

// The key of a month start of the library's calendar: the lunation, the
// place and the configuration (its `reserved` field set to 0).
struct MonthStartKey {
    double lunation;
    PlaceKey place;
    VorConfig config;
    int32_t padding;  // 0: the key has no indeterminate bytes
};
static_assert(sizeof(MonthStartKey) == 112, "MonthStartKey has no padding");

MonthStartKey MonthStartKeyOf(double lunation, const VorLocation &loc, const VorConfig &cfg);

// A fixed table of month starts under keys of type Key (a record without
// padding, every byte of it part of the key), at most Capacity entries.
template <typename Key, int Capacity>
class SharedMonthStartTable {
    // Keys are compared byte for byte: their records have no padding (the
    // size checks above), and doubles are compared by their bits.
    static_assert(std::is_trivially_copyable_v<Key>, "a key is a plain record");

public:
    // True with *start and *found (1: a month start; 0: none could be
    // computed) when the table holds key.
    bool Recall(const Key &key, double *start, int *found) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int i = 0; i < count_; ++i) {  // bounded: at most Capacity entries
            const Entry &e = entries_[i];
            if (std::memcmp(&e.key, &key, sizeof key) == 0) {
                *start = e.start;
                *found = e.found;
                return true;
            }
        }
        return false;
    }

    // Keeps a month start (found 1) or its absence (found 0) under key; a
    // key already held is left as it is (both computations gave the same).
    void Store(const Key &key, double start, int found) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int i = 0; i < count_; ++i) {  // bounded: at most Capacity entries
            if (std::memcmp(&entries_[i].key, &key, sizeof key) == 0) return;
        }
        int slot = count_;
        if (count_ < Capacity) {
            ++count_;
        } else {
            slot = next_;
            next_ = (next_ + 1) % Capacity;
        }
        entries_[slot].key = key;
        entries_[slot].start = start;
        entries_[slot].found = found;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        count_ = 0;
        next_ = 0;
    }

    int Size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }

    static constexpr int capacity = Capacity;

private:
    struct Entry {
        Key key;
        double start;
        int found;
    };
    std::mutex mutex_;
    Entry entries_[Capacity]{};
    int count_ = 0;  // entries in use
    int next_ = 0;   // the entry the next store replaces once all are in use
};

// Whether the conversions use the shared tables (both of them: this one and
// the calendar rules').  On by default; tests and benchmarks turn it off to
// compare with, or time, the computation alone.
void SetSharedMonthStartsEnabled(bool enabled);
bool SharedMonthStartsEnabled();

// Empties both shared tables.
void ClearSharedMonthStarts();

// The library calendar's table: at most SharedMonthStartCapacity entries
// (about 30 KB; twenty years of months at one place, or a year at twenty
// places).
inline constexpr int SharedMonthStartCapacity = 256;
using LibraryMonthStartTable = SharedMonthStartTable<MonthStartKey, SharedMonthStartCapacity>;
LibraryMonthStartTable &SharedLibraryMonthStarts();

// The key of a month start of a calendar rule (calendar/calendar_modes.h)
// other than the library's own: the library key (lunation, place,
// configuration), the rule's fields, and the places of its region (only
// the first placeCount; the others 0).
inline constexpr int RuleKeyPlaces = 32;  // = MaxRegionPlaces
struct RuleMonthStartKey {
    MonthStartKey base;
    int32_t mode;
    int32_t criterion;
    int32_t level;
    int32_t withDanjon;
    int32_t region;
    int32_t placeCount;
    PlaceKey places[RuleKeyPlaces];
};
static_assert(sizeof(RuleMonthStartKey) == 112 + 24 + 32 * RuleKeyPlaces,
              "RuleMonthStartKey has no padding");

// The calendar rules' table: at most SharedRuleMonthStartCapacity entries
// (about 75 KB; the places of a region make the keys long).
inline constexpr int SharedRuleMonthStartCapacity = 64;
using RuleMonthStartTable = SharedMonthStartTable<RuleMonthStartKey, SharedRuleMonthStartCapacity>;
RuleMonthStartTable &SharedRuleMonthStarts();

}  // namespace vorlin

// The process-wide tables of month starts (moon/shared_month_starts.h):
// every conversion gives the same record, byte for byte, with the tables on
// (cold and warm) as with them off; settings and places that change a month
// start are never served another's; the tables stay within their capacity
// and stay correct after evicting; and threads converting at once (run
// under ThreadSanitizer by the tsan preset: the Reentrancy tests) get the
// results of a single thread.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "moon/shared_month_starts.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace {

using namespace vorlin;
using testing_support::Civil;
using testing_support::Hijri;
using testing_support::PlaceInDegrees;

// Turns the tables on or off for one test and empties them, and puts them
// back on (empty) at its end.
class TablesSetTo {
public:
    explicit TablesSetTo(bool enabled) {
        ClearSharedMonthStarts();
        SetSharedMonthStartsEnabled(enabled);
    }
    ~TablesSetTo() {
        SetSharedMonthStartsEnabled(true);
        ClearSharedMonthStarts();
    }
    TablesSetTo(const TablesSetTo &) = delete;
    TablesSetTo &operator=(const TablesSetTo &) = delete;
};

VorConfig Settings(float crescent = 20.0f) {
    VorConfig c = testing_support::ReportSettings(0);
    c.crescentThreshold = crescent;
    return c;
}

VorCalendar Calendar(int mode, int criterion = VOR_CRITERION_DEFAULT) {
    VorCalendar c{};
    c.size = sizeof c;
    c.mode = mode;
    c.criterion = criterion;
    return c;
}

// Every byte a conversion leaves in its record, with its return value, as
// one string: two runs agree when these are equal.
std::string Bytes(int result, const VorDate &date) {
    std::string s(reinterpret_cast<const char *>(&date), sizeof date);
    s += static_cast<char>(result);
    return s;
}

struct Request {
    VorLocation place;
    VorConfig config;
    const VorCalendar *calendar;  // null: VorAdToIslamic / VorIslamicToAd
};

// Civil to Hijri of date (and back from the Hijri date it gets) for one
// request, through the exports.
std::string Convert(const Request &r, const VorDate &civil) {
    VorLocation loc = r.place;
    VorConfig cfg = r.config;
    VorDate date = civil;
    const int toHijri = r.calendar == nullptr ? VorAdToIslamic(&date, &loc, &cfg)
                                              : VorCivilToHijri(r.calendar, &date, &loc, &cfg);
    std::string out = Bytes(toHijri, date);
    VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay);
    const int toCivil = r.calendar == nullptr ? VorIslamicToAd(&back, &loc, &cfg)
                                              : VorHijriToCivil(r.calendar, &back, &loc, &cfg);
    return out + Bytes(toCivil, back);
}

std::vector<std::string> ConvertAll(const std::vector<Request> &requests,
                                    const std::vector<VorDate> &dates) {
    std::vector<std::string> out;
    for (const Request &r : requests) {
        for (const VorDate &d : dates) out.push_back(Convert(r, d));
    }
    return out;
}

// Days spread over the years 2023 to 2025 (every step days from the first).
std::vector<VorDate> Days(int count, int step) {
    std::vector<VorDate> dates;
    for (int i = 0; i < count; ++i) dates.push_back(Civil(2023, 1, 1.0 + i * step));
    return dates;
}

TEST(SharedMonthStarts, ConversionsAreTheSameWithTheTablesOffColdAndWarm) {
    static const VorCalendar yallop = Calendar(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP);
    static const VorCalendar ummAlQura = Calendar(VOR_CALENDAR_UMM_AL_QURA);
    static const VorCalendar conjunction = Calendar(VOR_CALENDAR_CONJUNCTION_NOON_UTC);
    // Places from the equator to the polar circle (Tromso's months walk
    // toward the equator), both hemispheres, several zones; settings that
    // move month starts.
    VorConfig adjusted = Settings();
    adjusted.hijriAdjustDays = -1;
    VorConfig coarse = Settings(12.0f);
    coarse.toleranceSeconds = 60;
    coarse.temperature = 30;
    coarse.pressure = 950;
    const std::vector<Request> requests = {
        {PlaceInDegrees(21.4225, 39.8262, 300, 3.0f), Settings(), nullptr},
        {PlaceInDegrees(51.5, -0.1, 0, 0.0f), coarse, nullptr},
        {PlaceInDegrees(-6.2, 106.8, 8, 7.0f), adjusted, nullptr},
        {PlaceInDegrees(69.65, 18.96, 10, 1.0f), Settings(), nullptr},
        {PlaceInDegrees(-33.9, 18.4, 10, 2.0f), Settings(), &yallop},
        {PlaceInDegrees(43.65, -79.38, 76, -5.0f), Settings(), &ummAlQura},
        {PlaceInDegrees(40.7, -74.0, 10, -5.0f), Settings(), &conjunction},
    };
    const std::vector<VorDate> dates = Days(24, 46);

    std::vector<std::string> alone;
    {
        TablesSetTo off(false);
        alone = ConvertAll(requests, dates);
    }
    TablesSetTo on(true);
    const std::vector<std::string> cold = ConvertAll(requests, dates);
    EXPECT_GT(SharedLibraryMonthStarts().Size(), 0);
    EXPECT_GT(SharedRuleMonthStarts().Size(), 0);
    const std::vector<std::string> warm = ConvertAll(requests, dates);
    ASSERT_EQ(cold.size(), alone.size());
    int converted = 0;
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(cold[i], alone[i]) << "cold, request " << i / dates.size() << " date "
                                     << i % dates.size();
        EXPECT_EQ(warm[i], alone[i]) << "warm, request " << i / dates.size() << " date "
                                     << i % dates.size();
        converted += alone[i][sizeof(VorDate)] == 1 ? 1 : 0;
    }
    EXPECT_EQ(converted, static_cast<int>(alone.size()));  // every date has a Hijri date
}

TEST(SharedMonthStarts, AMonthStartIsNeverServedToOtherSettingsOrPlaces) {
    // Pairs that differ in one field the month start depends on, converted
    // one after the other with the tables on: the second must get what it
    // gets alone, and over the dates each pair must differ somewhere (else
    // the check could not fail).
    static const VorCalendar yallop = Calendar(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP);
    static const VorCalendar danjon = Calendar(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_DANJON);
    const VorLocation makkah = PlaceInDegrees(21.4225, 39.8262, 300, 3.0f);
    VorLocation west = makkah;
    west.longitude = -60.0;  // same zone, another evening sky
    VorLocation north = makkah;
    north.latitude = 58.0;
    const VorConfig strict = Settings(20.0f);
    const VorConfig lenient = Settings(5.0f);
    struct Pair {
        Request first, second;
        const char *what;
    };
    const std::vector<Pair> pairs = {
        {{makkah, strict, nullptr}, {makkah, lenient, nullptr}, "crescent threshold"},
        {{makkah, strict, nullptr}, {west, strict, nullptr}, "longitude"},
        {{makkah, strict, &yallop}, {makkah, strict, &danjon}, "criterion"},
        {{makkah, strict, &yallop}, {north, strict, &yallop}, "latitude, in a rule"},
        {{makkah, strict, nullptr}, {north, strict, nullptr}, "latitude"},
    };
    const std::vector<VorDate> dates = Days(36, 29);
    for (const Pair &p : pairs) {
        std::vector<std::string> alone;
        {
            TablesSetTo off(false);
            alone = ConvertAll({p.second}, dates);
        }
        TablesSetTo on(true);
        const std::vector<std::string> first = ConvertAll({p.first}, dates);
        const std::vector<std::string> second = ConvertAll({p.second}, dates);
        EXPECT_EQ(second, alone) << p.what;
        EXPECT_NE(first, second) << p.what << ": the pair converts alike, the check has no power";
    }
}

TEST(SharedMonthStarts, TableEvictsTheOldestFirst) {
    static SharedMonthStartTable<MonthStartKey, 4> table;  // static: the array and mutex
    const VorLocation loc = PlaceInDegrees(0.1, 0.2, 0, 0.0f);
    const VorConfig cfg = Settings();
    for (int i = 0; i < 6; ++i) {
        table.Store(MonthStartKeyOf(2460000.0 + i, loc, cfg), 100.0 + i, i % 2);
        EXPECT_EQ(table.Size(), i < 4 ? i + 1 : 4);
    }
    table.Store(MonthStartKeyOf(2460005.0, loc, cfg), 999.0, 1);  // held: not stored again
    for (int i = 0; i < 6; ++i) {
        double start = 0.0;
        int found = -1;
        const bool held = table.Recall(MonthStartKeyOf(2460000.0 + i, loc, cfg), &start, &found);
        EXPECT_EQ(held, i >= 2) << "lunation " << i;
        if (held) {
            EXPECT_EQ(start, 100.0 + i);
            EXPECT_EQ(found, i % 2);
        }
    }
    // The reserved field is no part of the key; the name is not either.
    VorConfig other = cfg;
    other.reserved = 7;
    VorLocation renamed = loc;
    std::strcpy(renamed.name, "Elsewhere");
    double start = 0.0;
    int found = 0;
    EXPECT_TRUE(table.Recall(MonthStartKeyOf(2460005.0, renamed, other), &start, &found));
    // Any other field is.
    other.toleranceSeconds = 2;
    EXPECT_FALSE(table.Recall(MonthStartKeyOf(2460005.0, loc, other), &start, &found));
    table.Clear();
    EXPECT_EQ(table.Size(), 0);
}

TEST(SharedMonthStarts, TheLibraryTableStaysWithinItsCapacityAndCorrectAfterEvicting) {
    // One date a month for 26 years at Makkah: more lunations than the
    // table holds.  The first dates, converted again once evicted, and a
    // sample of all, must convert as they do without the table.
    const Request makkah{PlaceInDegrees(21.4225, 39.8262, 300, 3.0f), Settings(), nullptr};
    std::vector<VorDate> months;
    for (int i = 0; i < 26 * 12; ++i) months.push_back(Civil(2000 + i / 12, 1 + i % 12, 15.0));
    std::vector<VorDate> sample;
    for (std::size_t i = 0; i < months.size(); i += 13) sample.push_back(months[i]);
    std::vector<std::string> alone;
    {
        TablesSetTo off(false);
        alone = ConvertAll({makkah}, sample);
    }
    TablesSetTo on(true);
    for (const VorDate &d : months) {
        VorLocation loc = makkah.place;
        VorConfig cfg = makkah.config;
        VorDate date = d;
        ASSERT_EQ(VorAdToIslamic(&date, &loc, &cfg), 1);
        ASSERT_LE(SharedLibraryMonthStarts().Size(), SharedMonthStartCapacity);
    }
    EXPECT_EQ(SharedLibraryMonthStarts().Size(), SharedMonthStartCapacity);
    EXPECT_EQ(ConvertAll({makkah}, sample), alone);
    EXPECT_EQ(SharedLibraryMonthStarts().Size(), SharedMonthStartCapacity);
}

TEST(Reentrancy, SharedMonthStartsFilledByManyThreadsAtOnce) {
    // Threads start on an empty table and convert the same days in
    // different orders (so they miss, compute and store the same lunations
    // at the same time), in the library's calendar and a rule's.
    static const VorCalendar yallop = Calendar(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP);
    const std::vector<Request> requests = {
        {PlaceInDegrees(21.4225, 39.8262, 300, 3.0f), Settings(), nullptr},
        {PlaceInDegrees(51.5, -0.1, 0, 0.0f), Settings(), &yallop},
    };
    const std::vector<VorDate> dates = Days(8, 20);
    std::vector<std::string> alone;
    {
        TablesSetTo off(false);
        alone = ConvertAll(requests, dates);
    }
    TablesSetTo on(true);
    constexpr int Threads = 4;
    std::vector<std::vector<std::string>> results(Threads);
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::string> mine(alone.size());
            for (std::size_t k = 0; k < alone.size(); ++k) {
                // Odd threads walk backwards.
                const std::size_t i = t % 2 == 0 ? k : alone.size() - 1 - k;
                mine[i] = Convert(requests[i / dates.size()], dates[i % dates.size()]);
            }
            results[t] = mine;
        });
    }
    for (std::thread &t : threads) t.join();
    for (int t = 0; t < Threads; ++t) EXPECT_EQ(results[t], alone) << "thread " << t;
    EXPECT_GT(SharedLibraryMonthStarts().Size(), 0);
    EXPECT_GT(SharedRuleMonthStarts().Size(), 0);
}

}  // namespace

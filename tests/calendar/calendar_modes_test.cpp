// The Hijri calendars of calendar_modes.h: umm-al-qura against the published
// calendar and against the rule carried month by month from a published
// first day; conjunction-before-noon-utc on published new moons; round
// trips and month lengths in every mode; the crescent rules' levels.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "calendar/calendar_modes.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "moon/crescent.h"

namespace vorlin {
namespace {

VorConfig Settings() {
    VorConfig c{};
    c.temperature = 10;
    c.pressure = 1010;
    c.toleranceSeconds = 1;
    c.crescentThreshold = 20.0f;
    return c;
}

VorLocation Place(double latDeg, double lonDeg, float zone, int height = 0) {
    VorLocation l{};
    l.latitude = latDeg * DegToRad;
    l.longitude = lonDeg * DegToRad;
    l.timeZone = zone;
    l.height = height;
    return l;
}

VorDate Civil(int y, int m, int d) {
    VorDate date{};
    date.year = y;
    date.month = static_cast<uint8_t>(m);
    date.day = d;
    return date;
}

std::string Text(const VorDate &d) {
    char s[16];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d", d.year, d.month, static_cast<int>(d.day));
    return s;
}

double DayJd(const VorDate &d) {
    VorDate whole = d;
    whole.day = std::floor(d.day);
    return DateToJulianDay(whole);
}

// The civil date of 1 (year, month) in a calendar, "" when refused.
std::string FirstDay(const CalendarRule &rule, int year, int month, VorLocation loc,
                     CalendarCache *cache = nullptr) {
    VorDate d{};
    d.hijriYear = year;
    d.hijriMonth = static_cast<uint8_t>(month);
    d.hijriDay = 1.0;
    if (HijriToCivilOfRule(rule, d, loc, Settings(), cache) != 1) return "";
    return Text(d);
}

CalendarRule Mode(CalendarMode mode) {
    CalendarRule rule{};
    rule.mode = mode;
    return rule;
}

// ---------------------------------------------------------------- umm-al-qura

struct PublishedFirst {
    int year, month;
    const char *civil;
};

// First days of the calendar as published for Saudi Arabia (the months of
// Ramadan, Shawwal, Dhu al-Hijja and Muharram, 1443-1447 AH).
constexpr PublishedFirst UmmAlQuraPublished[] = {
    {1443, 9, "2022-04-02"},  {1443, 10, "2022-05-02"}, {1444, 1, "2022-07-30"},
    {1444, 9, "2023-03-23"},  {1444, 10, "2023-04-21"}, {1444, 12, "2023-06-19"},
    {1445, 1, "2023-07-19"},  {1445, 9, "2024-03-11"},  {1445, 10, "2024-04-10"},
    {1445, 12, "2024-06-07"}, {1446, 1, "2024-07-07"},  {1446, 9, "2025-03-01"},
    {1446, 10, "2025-03-30"}, {1447, 1, "2025-06-26"},  {1447, 9, "2026-02-18"},
};

class UmmAlQuraPublishedTest : public ::testing::TestWithParam<PublishedFirst> {};

TEST_P(UmmAlQuraPublishedTest, FirstDayIsThePublishedOne) {
    const PublishedFirst &p = GetParam();
    // The calendar is Makkah's: any place gets the same civil dates.
    EXPECT_EQ(FirstDay(Mode(CalendarMode::UmmAlQura), p.year, p.month, Place(51.5, -0.12, 0.0f)), p.civil);
    EXPECT_EQ(FirstDay(Mode(CalendarMode::UmmAlQura), p.year, p.month, Place(-6.2, 106.8, 7.0f)), p.civil);
}

INSTANTIATE_TEST_SUITE_P(Published, UmmAlQuraPublishedTest, ::testing::ValuesIn(UmmAlQuraPublished),
                         [](const ::testing::TestParamInfo<PublishedFirst> &info) {
                             return std::to_string(info.param.year) + "_" + std::to_string(info.param.month);
                         });

// The rule carried month by month from 1 Muharram 1440 (11 September 2018,
// published): on each month's 29th day at Makkah, the conjunction before
// sunset and the Moon setting after the Sun begin the next month the day
// after; otherwise the month has 30 days.  The evening's data come from
// the crescent computation (its conjunction and its lag), not from the
// calendar's own month starts.
TEST(UmmAlQura, MonthStartsOf1440To1450FollowTheRuleMonthByMonth) {
    const VorLocation makkah = UmmAlQuraPlace();
    const VorConfig cfg = Settings();
    CalendarCache cache;
    double first = DayJd(Civil(2018, 9, 11));
    int lengths29 = 0, lengths30 = 0;
    for (int year = 1440; year <= 1450; ++year) {
        for (int month = 1; month <= 12; ++month) {
            VorDate firstDate{};
            JulianDayToDate(first, firstDate);
            ASSERT_EQ(FirstDay(Mode(CalendarMode::UmmAlQura), year, month, makkah, &cache), Text(firstDate))
                << year << "-" << month;
            VorDate day29{};
            JulianDayToDate(first + 28.0, day29);
            EveningCrescent e{};
            ComputeEveningCrescent(day29, makkah, cfg, e);
            ASSERT_EQ(e.status, 1);
            const bool passes = e.conjunctionGeoUt < e.atSunset.ut && e.lagMinutes > 0.0;
            (passes ? lengths29 : lengths30) += 1;
            first += passes ? 29.0 : 30.0;
        }
    }
    // Both lengths occur, about equally often.
    EXPECT_GT(lengths29, 50);
    EXPECT_GT(lengths30, 50);
}

// ---------------------------------------------------------------- conjunction

struct ConjunctionCase {
    const char *name;
    int year, month, day;  // the civil day of the published new moon (UTC)
    double hourUt;         // its time
    int hijriYear, hijriMonth;
};

// New moons as published (UTC, to the minute).  Before 12:00: the month
// begins the next day; after: the day after that.
constexpr ConjunctionCase Conjunctions[] = {
    {"Ramadan1444", 2023, 3, 21, 17.38, 1444, 9},  {"Ramadan1445", 2024, 3, 10, 9.00, 1445, 9},
    {"Shawwal1445", 2024, 4, 8, 18.35, 1445, 10},  {"DhuAlHijja1445", 2024, 6, 6, 12.63, 1445, 12},
    {"Muharram1446", 2024, 7, 5, 22.95, 1446, 1},  {"Ramadan1446", 2025, 2, 28, 0.75, 1446, 9},
    {"Shawwal1446", 2025, 3, 29, 10.97, 1446, 10},
};

class ConjunctionTest : public ::testing::TestWithParam<ConjunctionCase> {};

TEST_P(ConjunctionTest, MonthBeginsByTheNoonRule) {
    const ConjunctionCase &c = GetParam();
    VorDate expected{};
    JulianDayToDate(DayJd(Civil(c.year, c.month, c.day)) + (c.hourUt < 12.0 ? 1.0 : 2.0), expected);
    for (const VorLocation &place : {Place(41.85, -87.65, -6.0f), Place(21.42, 39.83, 3.0f)}) {
        EXPECT_EQ(FirstDay(Mode(CalendarMode::ConjunctionBeforeNoonUtc), c.hijriYear, c.hijriMonth, place),
                  Text(expected));
        // And the day before is the last of the month before.
        VorDate before{};
        JulianDayToDate(DayJd(expected) - 1.0, before);
        VorLocation loc = place;
        ASSERT_EQ(CivilToHijriOfRule(Mode(CalendarMode::ConjunctionBeforeNoonUtc), before, loc, Settings()), 1);
        EXPECT_GE(before.hijriDay, 29.0);
        EXPECT_NE(before.hijriMonth, c.hijriMonth);
    }
}

INSTANTIATE_TEST_SUITE_P(Published, ConjunctionTest, ::testing::ValuesIn(Conjunctions),
                         [](const ::testing::TestParamInfo<ConjunctionCase> &info) { return info.param.name; });

// ---------------------------------------------------------------- every mode

struct ModeCase {
    const char *name;
    CalendarRule rule;
    int days;  // days converted from 1 January 2024
};

CalendarRule Observational(CrescentCriterion criterion, SightingLevel level, bool danjon = false) {
    CalendarRule r{};
    r.crescent = {criterion, level, danjon};
    return r;
}

CalendarRule Regional(RegionKind kind, CrescentCriterion criterion) {
    CalendarRule r{};
    r.mode = CalendarMode::Regional;
    r.region = kind;
    r.crescent.criterion = criterion;
    if (kind == RegionKind::Places) {
        r.places[0] = Place(21.42, 39.83, 3.0f);   // Makkah
        r.places[1] = Place(30.04, 31.24, 2.0f);   // Cairo
        r.places[2] = Place(-33.92, 18.42, 1.0f);  // Cape Town
        r.placeCount = 3;
    }
    return r;
}

std::vector<ModeCase> ModeCases() {
    return {
        {"LibraryCalendar", CalendarRule{}, 366},
        {"ObservationalYallopNakedEye", Observational(CrescentCriterion::Yallop, SightingLevel::NakedEye), 366},
        {"ObservationalArcvWidthOpticalAid", Observational(CrescentCriterion::ArcvWidth, SightingLevel::OpticalAid), 366},
        {"ObservationalDefaultWithDanjon", Observational(CrescentCriterion::Default, SightingLevel::NakedEye, true), 366},
        {"RegionalWorld", Regional(RegionKind::World, CrescentCriterion::Yallop), 200},
        {"RegionalAmericas", Regional(RegionKind::Americas, CrescentCriterion::ArcvWidth), 120},
        {"RegionalPlaces", Regional(RegionKind::Places, CrescentCriterion::Default), 200},
        {"ConjunctionBeforeNoonUtc", Mode(CalendarMode::ConjunctionBeforeNoonUtc), 366},
        {"UmmAlQura", Mode(CalendarMode::UmmAlQura), 366},
        {"Tabular", Mode(CalendarMode::Tabular), 366},
    };
}

class EveryModeTest : public ::testing::TestWithParam<ModeCase> {};

// Every day converts to a Hijri date and back to itself; the Hijri dates
// follow one another (the next day, or day 1 of the next month after a
// day 29 or 30); a month's day 30 converts back when the month has it and
// is refused when it has 29 days.
TEST_P(EveryModeTest, ConversionsAreExactInversesAndMonthsHave29Or30Days) {
    const ModeCase &c = GetParam();
    const VorConfig cfg = Settings();
    CalendarCache cache;
    for (const VorLocation &place : {Place(51.5, -0.12, 0.0f), Place(-6.2, 106.8, 7.0f)}) {
        VorDate previous{};
        int months = 0;
        for (int i = 0; i < c.days; ++i) {
            VorDate d{};
            JulianDayToDate(DayJd(Civil(2024, 1, 1)) + i, d);
            VorLocation loc = place;
            ASSERT_EQ(CivilToHijriOfRule(c.rule, d, loc, cfg, &cache), 1) << Text(d);
            ASSERT_EQ(loc.latitude, place.latitude);
            VorDate back = d;
            back.year = 0;
            ASSERT_EQ(HijriToCivilOfRule(c.rule, back, loc, cfg, &cache), 1) << Text(d);
            ASSERT_EQ(Text(back), Text(d));
            if (i > 0) {
                if (d.hijriDay == 1.0) {
                    ++months;
                    EXPECT_TRUE(previous.hijriDay == 29.0 || previous.hijriDay == 30.0)
                        << Text(d) << " follows day " << previous.hijriDay;
                    EXPECT_EQ(d.hijriMonth, previous.hijriMonth % 12 + 1) << Text(d);
                    // Day 30 of the month that ended: converts iff it was seen.
                    VorDate thirty = previous;
                    thirty.hijriDay = 30.0;
                    VorLocation l2 = place;
                    EXPECT_EQ(HijriToCivilOfRule(c.rule, thirty, l2, cfg, &cache),
                              previous.hijriDay == 30.0 ? 1 : 0)
                        << Text(d);
                } else {
                    EXPECT_EQ(d.hijriDay, previous.hijriDay + 1.0) << Text(d);
                    EXPECT_EQ(d.hijriMonth, previous.hijriMonth) << Text(d);
                }
            }
            previous = d;
        }
        EXPECT_GE(months, c.days / 30 - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, EveryModeTest, ::testing::ValuesIn(ModeCases()),
                         [](const ::testing::TestParamInfo<ModeCase> &info) { return info.param.name; });

TEST(CalendarModes, LibraryCalendarGivesTheConversionsOfTheLibrary) {
    const VorConfig cfg = Settings();
    CalendarCache cache;
    for (int i = 0; i < 400; i += 7) {
        VorDate a{};
        JulianDayToDate(DayJd(Civil(2023, 6, 1)) + i, a);
        VorDate b = a;
        VorLocation la = Place(59.9, 10.75, 1.0f), lb = la;
        ASSERT_EQ(GregorianToHijri(a, la, cfg), CivilToHijriOfRule(CalendarRule{}, b, lb, cfg, &cache));
        EXPECT_EQ(a.hijriYear, b.hijriYear);
        EXPECT_EQ(a.hijriMonth, b.hijriMonth);
        EXPECT_EQ(a.hijriDay, b.hijriDay);
    }
}

// A stricter rule never begins a month earlier: with the Danjon limit
// added, or at the naked eye instead of with optical aid.
TEST(CalendarModes, StricterRulesBeginMonthsNoEarlier) {
    const VorLocation london = Place(51.5, -0.12, 0.0f);
    int later = 0;
    for (int month = 1; month <= 12; ++month) {
        const std::string optical =
            FirstDay(Observational(CrescentCriterion::Yallop, SightingLevel::OpticalAid), 1446, month, london);
        const std::string naked =
            FirstDay(Observational(CrescentCriterion::Yallop, SightingLevel::NakedEye), 1446, month, london);
        const std::string plain = FirstDay(CalendarRule{}, 1446, month, london);
        const std::string danjon =
            FirstDay(Observational(CrescentCriterion::Default, SightingLevel::NakedEye, true), 1446, month, london);
        ASSERT_FALSE(optical.empty());
        EXPECT_LE(optical, naked) << month;
        EXPECT_LE(plain, danjon) << month;
        later += naked != optical;
    }
    // And the levels do differ in some months of a year.
    EXPECT_GT(later, 0);
}

// The regional calendar over the whole Earth begins no month later than at
// any one place of it, by the same rule (the places are judged on the
// same evenings).
TEST(CalendarModes, WorldRegionBeginsNoLaterThanAPlaceInIt) {
    CalendarRule world = Regional(RegionKind::World, CrescentCriterion::Yallop);
    CalendarRule mecca = Regional(RegionKind::Places, CrescentCriterion::Yallop);
    mecca.placeCount = 1;
    const VorLocation here = Place(21.42, 39.83, 3.0f);
    for (int month = 1; month <= 12; ++month) {
        const std::string w = FirstDay(world, 1446, month, here);
        const std::string m = FirstDay(mecca, 1446, month, here);
        ASSERT_FALSE(w.empty());
        EXPECT_LE(w, m) << month;
    }
}

TEST(CalendarModes, NamesRoundTrip) {
    for (int i = 0; i < CalendarModeCount; ++i) {
        CalendarMode m{};
        ASSERT_TRUE(CalendarModeOfName(CalendarModeName(static_cast<CalendarMode>(i)), &m));
        EXPECT_EQ(static_cast<int>(m), i);
    }
    CalendarMode m{};
    EXPECT_FALSE(CalendarModeOfName("lunar", &m));
    for (int i = 0; i < CrescentCriterionCount; ++i) {
        CrescentCriterion c{};
        ASSERT_TRUE(CrescentCriterionOfName(CrescentCriterionName(static_cast<CrescentCriterion>(i)), &c));
        EXPECT_EQ(static_cast<int>(c), i);
    }
}

// ---------------------------------------------------------------- levels

struct LevelCase {
    CrescentCriterion criterion;
    char zone;
    bool nakedEye, opticalAid;
};

TEST(CrescentLevels, ZonesThatReachEachLevel) {
    const LevelCase cases[] = {
        {CrescentCriterion::Yallop, 'A', true, true},     {CrescentCriterion::Yallop, 'B', true, true},
        {CrescentCriterion::Yallop, 'C', false, true},    {CrescentCriterion::Yallop, 'D', false, true},
        {CrescentCriterion::Yallop, 'E', false, false},   {CrescentCriterion::Yallop, 'F', false, false},
        {CrescentCriterion::ArcvWidth, 'A', true, true},  {CrescentCriterion::ArcvWidth, 'B', false, true},
        {CrescentCriterion::ArcvWidth, 'C', false, true}, {CrescentCriterion::ArcvWidth, 'D', false, false},
        {CrescentCriterion::Default, 'V', true, true},    {CrescentCriterion::Default, 'N', false, false},
        {CrescentCriterion::Danjon, 'V', true, true},     {CrescentCriterion::Danjon, 'N', false, false},
    };
    for (const LevelCase &c : cases) {
        EXPECT_EQ(ZoneReaches(c.criterion, c.zone, SightingLevel::NakedEye), c.nakedEye)
            << CrescentCriterionName(c.criterion) << " " << c.zone;
        EXPECT_EQ(ZoneReaches(c.criterion, c.zone, SightingLevel::OpticalAid), c.opticalAid)
            << CrescentCriterionName(c.criterion) << " " << c.zone;
    }
}

// The verdicts agree with the formulas on a computed evening, and the
// Danjon limit only ever removes sightings.
TEST(CrescentLevels, JudgedEveningsAgreeWithTheFormulas) {
    const VorConfig cfg = Settings();
    for (int day = 9; day <= 12; ++day) {
        EveningCrescent e{};
        ComputeEveningCrescent(Civil(2024, 3, day), Place(30.04, 31.24, 2.0f), cfg, e);
        ASSERT_EQ(e.status, 1);
        const CrescentVerdict y = JudgeCrescent(e, CrescentCriterion::Yallop, 20.0);
        EXPECT_DOUBLE_EQ(y.value, YallopQ(e.atBest.arcvGeo * RadToDeg, e.atBest.widthArcmin));
        EXPECT_EQ(y.zone, YallopZone(y.value));
        const CrescentVerdict v = JudgeCrescent(e, CrescentCriterion::ArcvWidth, 20.0);
        EXPECT_EQ(v.zone, OdehZone(OdehV(e.atBest.arcvTopo * RadToDeg, e.atBest.widthArcmin)));
        for (CrescentCriterion c : {CrescentCriterion::Default, CrescentCriterion::Yallop, CrescentCriterion::ArcvWidth}) {
            const CrescentRule with{c, SightingLevel::OpticalAid, true};
            const CrescentRule without{c, SightingLevel::OpticalAid, false};
            EXPECT_TRUE(!CrescentSeen(e, with, 20.0) || CrescentSeen(e, without, 20.0));
        }
    }
    EveningCrescent none{};
    EXPECT_FALSE(CrescentSeen(none, CrescentRule{}, 20.0));
    EXPECT_TRUE(std::isnan(JudgeCrescent(none, CrescentCriterion::Yallop, 20.0).value));
}

}  // namespace
}  // namespace vorlin

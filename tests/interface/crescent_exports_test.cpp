// The exports of the calendar modes and of the crescent: VorCivilToHijri
// and VorHijriToCivil against the calendar functions called directly and
// against VorAdToIslamic/VorIslamicToAd (the library's calendar, bit for
// bit), published month starts, round trips and month lengths in every
// mode; VorCrescentEvening against ComputeEveningCrescent and
// JudgeCrescent (units converted here), a published new moon, the record's
// own relations, a day without an evening; the sizes of the records and
// every kind of unusable input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "astro/constants.h"
#include "calendar/calendar_modes.h"
#include "calendar/julian_day.h"
#include "moon/crescent.h"
#include "support/test_support.h"
#include "vorlin.h"

namespace vorlin {
namespace {

using namespace testing_support;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double UnixEpochJd = 2440587.5;

// ------------------------------------------------------------ helpers

VorCalendar CalendarOf(int32_t mode, int32_t criterion = VOR_CRITERION_DEFAULT,
                       int32_t level = VOR_LEVEL_NAKED_EYE, int32_t withDanjon = 0,
                       int32_t region = VOR_REGION_WORLD) {
    VorCalendar k{};
    k.size = sizeof k;
    k.mode = mode;
    k.criterion = criterion;
    k.level = level;
    k.withDanjon = withDanjon;
    k.region = region;
    return k;
}

// Two places of the regional calendar: Makkah and Rabat.
VorCalendar TwoPlaces(int32_t criterion = VOR_CRITERION_DEFAULT) {
    VorCalendar k = CalendarOf(VOR_CALENDAR_REGIONAL, criterion, VOR_LEVEL_NAKED_EYE, 0,
                               VOR_REGION_PLACES);
    k.placeCount = 2;
    k.places[0][0] = 21.4225;
    k.places[0][1] = 39.8262;
    k.places[1][0] = 34.0209;
    k.places[1][1] = -6.8416;
    return k;
}

// The rule the core takes for a record, written out here from the record's
// documented meaning (not through the export's reader).
CalendarRule RuleOf(const VorCalendar &k) {
    CalendarRule rule{};
    rule.mode = static_cast<CalendarMode>(k.mode);
    rule.crescent.criterion = static_cast<CrescentCriterion>(k.criterion);
    rule.crescent.level = static_cast<SightingLevel>(k.level);
    rule.crescent.withDanjon = k.withDanjon != 0;
    rule.region = static_cast<RegionKind>(k.region);
    if (k.region == VOR_REGION_PLACES) {
        rule.placeCount = k.placeCount;
        for (int i = 0; i < k.placeCount; ++i) {
            rule.places[i] = PlaceInRadians(k.places[i][0], k.places[i][1], 0,
                                            static_cast<float>(std::round(k.places[i][1] / 15.0)));
        }
    }
    return rule;
}

VorConfig Settings() { return ReportSettings(VOR_SPAN_DAY); }

VorDate CivilDay(double jd) {
    VorDate date{};
    JulianDayToDate(jd, date);
    return date;
}

// The local JD of 0 h of a civil date.
double JdOf(int year, int month, int day) { return DateToJulianDay(Civil(year, month, day)); }

double UnixOfJd(double jd) { return (jd - UnixEpochJd) * 86400.0; }

// 0 h UTC of a civil date in Unix seconds, counted here by days.
double UnixOfDate(int year, int month, int day) {
    return (JdOf(year, month, day) - UnixEpochJd) * 86400.0;
}

// The civil date of a Hijri date in a calendar (checked: found).
VorDate CivilOfHijri(const VorCalendar *k, int year, int month, int day, const VorLocation &loc) {
    VorDate d = Hijri(year, month, day);
    VorConfig cfg = Settings();
    EXPECT_EQ(VorHijriToCivil(k, &d, &loc, &cfg), 1) << year << "-" << month << "-" << day;
    return d;
}

void ExpectCivil(const VorDate &d, int year, int month, int day) {
    EXPECT_EQ(d.year, year);
    EXPECT_EQ(d.month, month);
    EXPECT_EQ(d.day, day);
}

VorCrescent Evening(VorDate date, VorLocation loc, VorConfig cfg, int32_t *result = nullptr) {
    VorCrescent r{};
    r.size = sizeof r;
    const int32_t got = VorCrescentEvening(&date, &loc, &cfg, &r);
    if (result != nullptr) *result = got;
    return r;
}

// The record of unusable input: status 0, every number NaN, every zone 0.
void ExpectNoValueRecord(const VorCrescent &r) {
    EXPECT_EQ(r.status, 0);
    const std::size_t first = offsetof(VorCrescent, sunsetUnix);
    const std::size_t count = (offsetof(VorCrescent, criterionZone) - first) / sizeof(double);
    EXPECT_EQ(count, 8u + 9u + 9u + 4u);
    for (std::size_t i = 0; i < count; ++i) {
        double v = 0.0;
        std::memcpy(&v, reinterpret_cast<const unsigned char *>(&r) + first + i * sizeof v, sizeof v);
        EXPECT_TRUE(std::isnan(v)) << "number " << i;
    }
    for (int i = 0; i < VOR_CRITERION_COUNT; ++i) EXPECT_EQ(r.criterionZone[i], 0) << i;
}

// ------------------------------------------------- the crescent export

void ExpectGeometryInDegrees(const VorCrescentGeometry &g, const CrescentGeometry &core) {
    EXPECT_DOUBLE_EQ(g.arclGeo, core.arclGeo * RadToDeg);
    EXPECT_DOUBLE_EQ(g.arclTopo, core.arclTopo * RadToDeg);
    EXPECT_DOUBLE_EQ(g.arcvGeo, core.arcvGeo * RadToDeg);
    EXPECT_DOUBLE_EQ(g.arcvTopo, core.arcvTopo * RadToDeg);
    EXPECT_DOUBLE_EQ(g.daz, core.daz * RadToDeg);
    EXPECT_DOUBLE_EQ(g.widthArcmin, core.widthArcmin);
    EXPECT_DOUBLE_EQ(g.illuminated, core.illuminated);
    EXPECT_DOUBLE_EQ(g.moonAltitude, core.moonAltitude * RadToDeg);
    EXPECT_DOUBLE_EQ(g.sunAltitude, core.sunAltitude * RadToDeg);
}

// The export against the core for one evening; returns the record.
VorCrescent ExpectEveningOfCore(const VorDate &date, const VorLocation &degrees) {
    const VorConfig cfg = Settings();
    int32_t result = -1;
    const VorCrescent r = Evening(date, degrees, cfg, &result);
    EveningCrescent e{};
    VorLocation radians = degrees;
    radians.latitude *= DegToRad;
    radians.longitude *= DegToRad;
    ComputeEveningCrescent(date, radians, cfg, e);
    EXPECT_EQ(result, e.status);
    EXPECT_EQ(r.status, e.status);
    EXPECT_EQ(r.size, static_cast<int32_t>(sizeof r));
    const double zone = static_cast<double>(degrees.timeZone);
    EXPECT_NEAR(r.conjunctionGeoUnix, UnixOfJd(e.conjunctionGeoUt), 1e-3);
    EXPECT_NEAR(r.conjunctionTopoUnix, UnixOfJd(e.conjunctionTopoUt), 1e-3);
    if (e.status == 1) {
        EXPECT_NEAR(r.sunsetUnix, UnixOfJd(e.dayJd + e.sunset / TwoPi - zone / 24.0), 1e-3);
        EXPECT_NEAR(r.sunsetUnix, UnixOfJd(e.atSunset.ut), 1e-3);
        EXPECT_NEAR(r.moonsetUnix, UnixOfJd(e.dayJd + e.moonset / TwoPi - zone / 24.0), 1e-3);
        EXPECT_NEAR(r.bestTimeUnix, UnixOfJd(e.atBest.ut), 1e-3);
        EXPECT_DOUBLE_EQ(r.lagMinutes, e.lagMinutes);
        EXPECT_DOUBLE_EQ(r.ageGeoHours, e.ageGeoHours);
        EXPECT_DOUBLE_EQ(r.ageTopoHours, e.ageTopoHours);
        ExpectGeometryInDegrees(r.atSunset, e.atSunset);
        ExpectGeometryInDegrees(r.atBest, e.atBest);
    } else {
        // No evening: the sunset when the day has one, nothing of the Moon.
        if (IsTimeMarker(e.sunset)) {
            EXPECT_TRUE(std::isnan(r.sunsetUnix));
        } else {
            EXPECT_NEAR(r.sunsetUnix, UnixOfJd(e.dayJd + e.sunset / TwoPi - zone / 24.0), 1e-3);
        }
        EXPECT_TRUE(std::isnan(r.moonsetUnix));
        EXPECT_TRUE(std::isnan(r.bestTimeUnix));
        EXPECT_TRUE(std::isnan(r.lagMinutes));
        EXPECT_TRUE(std::isnan(r.ageGeoHours));
        EXPECT_TRUE(std::isnan(r.ageTopoHours));
        EXPECT_TRUE(std::isnan(r.atSunset.moonAltitude));
        EXPECT_TRUE(std::isnan(r.atBest.arcvGeo));
    }
    for (int c = 0; c < CrescentCriterionCount; ++c) {
        const CrescentVerdict v = JudgeCrescent(e, static_cast<CrescentCriterion>(c),
                                                static_cast<double>(cfg.crescentThreshold));
        EXPECT_EQ(r.criterionZone[c], v.zone) << c;
        if (std::isnan(v.value)) {
            EXPECT_TRUE(std::isnan(r.criterionValue[c])) << c;
        } else {
            EXPECT_DOUBLE_EQ(r.criterionValue[c], v.value) << c;
        }
    }
    for (char b : r.reserved) EXPECT_EQ(b, 0);
    return r;
}

// The relations a computed evening's record must keep among its fields.
void ExpectEveningRelations(const VorCrescent &r) {
    ASSERT_EQ(r.status, 1);
    EXPECT_NEAR(r.moonsetUnix - r.sunsetUnix, r.lagMinutes * 60.0, 1e-3);
    const double best = r.lagMinutes > 0.0 ? r.sunsetUnix + 4.0 / 9.0 * r.lagMinutes * 60.0
                                           : r.sunsetUnix;
    EXPECT_NEAR(r.bestTimeUnix, best, 1e-3);
    EXPECT_NEAR(r.ageGeoHours * 3600.0, r.sunsetUnix - r.conjunctionGeoUnix, 1e-3);
    EXPECT_NEAR(r.ageTopoHours * 3600.0, r.sunsetUnix - r.conjunctionTopoUnix, 1e-3);
    for (const VorCrescentGeometry *g : {&r.atSunset, &r.atBest}) {
        EXPECT_GE(g->illuminated, 0.0);
        EXPECT_LE(g->illuminated, 1.0);
        EXPECT_GT(g->daz, -180.0);
        EXPECT_LE(g->daz, 180.0);
        EXPECT_GE(g->arclGeo, 0.0);
        EXPECT_LE(g->arclGeo, 180.0);
        EXPECT_GE(g->widthArcmin, 0.0);
    }
    // The default test's number: the Moon's altitude above the Sun plus the
    // topocentric elongation at sunset, in degrees.
    EXPECT_NEAR(r.criterionValue[VOR_CRITERION_DEFAULT],
                r.atSunset.moonAltitude - r.atSunset.sunAltitude + r.atSunset.arclTopo, 1e-9);
    // Danjon's number: the topocentric elongation at the best time.
    EXPECT_DOUBLE_EQ(r.criterionValue[VOR_CRITERION_DANJON], r.atBest.arclTopo);
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_DANJON], r.atBest.arclTopo >= 7.0 ? 'V' : 'N');
    // Yallop's q from the record's own geocentric ARCV and width at the best time.
    const double w = r.atBest.widthArcmin;
    const double q =
        (r.atBest.arcvGeo - (11.8371 - 6.3226 * w + 0.7319 * w * w - 0.1018 * w * w * w)) / 10.0;
    EXPECT_NEAR(r.criterionValue[VOR_CRITERION_YALLOP], q, 1e-12);
}

TEST(CrescentEveningExport, MakkahAndCairoOnTheEveningOf10March2024) {
    const VorDate day = Civil(2024, 3, 10.0);
    const VorLocation places[2] = {MakkahInDegrees(), PlaceInDegrees(30.0444, 31.2357, 23, 2.0f, "Cairo")};
    for (const VorLocation &place : places) {
        SCOPED_TRACE(place.name);
        const VorCrescent r = ExpectEveningOfCore(day, place);
        ExpectEveningRelations(r);
        // The new moon of 10 March 2024, 09:00 UT (published).
        const double published = UnixOfDate(2024, 3, 10) + 9.0 * 3600.0;
        EXPECT_NEAR(r.conjunctionGeoUnix, published, 120.0);
        EXPECT_GT(r.ageGeoHours, 0.0);
        EXPECT_GT(r.ageTopoHours, 0.0);
        EXPECT_GT(r.lagMinutes, 0.0);
        // Sunset on that civil day, in the evening local time.
        const double local = r.sunsetUnix + place.timeZone * 3600.0 - UnixOfDate(2024, 3, 10);
        EXPECT_GT(local, 17.0 * 3600.0);
        EXPECT_LT(local, 19.0 * 3600.0);
        // A crescent a few hours old: a thin sliver.
        EXPECT_LT(r.atSunset.illuminated, 0.02);
        EXPECT_LT(r.atSunset.arclGeo, 10.0);
    }
}

TEST(CrescentEveningExport, EveningsOfAMonthMatchTheCore) {
    const VorLocation london = PlaceInDegrees(51.5074, -0.1278, 11, 0.0f, "London");
    double previousConjunction = NaN;
    for (int d = 1; d <= 30; ++d) {
        SCOPED_TRACE(d);
        const VorCrescent r = ExpectEveningOfCore(Civil(2024, 9, d), london);
        EXPECT_EQ(r.status, 1);
        if (r.status == 1) ExpectEveningRelations(r);
        // The conjunction nearest each evening changes once a lunation.
        if (!std::isnan(previousConjunction) && r.conjunctionGeoUnix != previousConjunction) {
            EXPECT_NEAR(r.conjunctionGeoUnix - previousConjunction, 29.53 * 86400.0, 0.3 * 86400.0);
        }
        previousConjunction = r.conjunctionGeoUnix;
    }
}

TEST(CrescentEveningExport, ArcticDaysWithASunsetButNoMoonset) {
    // At Tromso in February the Sun sets every day, but for days on end the
    // Moon stays up or never rises: no evening, the sunset still given.
    const VorLocation tromso = PlaceInDegrees(69.6492, 18.9553, 0, 1.0f, "Tromso");
    int evenings = 0, sunsetOnly = 0;
    for (int d = 1; d <= 29; ++d) {
        SCOPED_TRACE(d);
        const VorCrescent r = ExpectEveningOfCore(Civil(2024, 2, d), tromso);
        EXPECT_TRUE(std::isfinite(r.sunsetUnix));
        if (r.status == 1) {
            ExpectEveningRelations(r);
            ++evenings;
        } else {
            ++sunsetOnly;
        }
    }
    EXPECT_GE(evenings, 1);
    EXPECT_GE(sunsetOnly, 1);
}

TEST(CrescentEveningExport, NoEveningInThePolarDay) {
    const VorLocation tromso = PlaceInDegrees(69.6492, 18.9553, 0, 1.0f, "Tromso");
    int32_t result = -1;
    const VorCrescent r = Evening(Civil(2024, 6, 21.0), tromso, Settings(), &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(std::isnan(r.sunsetUnix));
    EXPECT_TRUE(std::isnan(r.moonsetUnix));
    EXPECT_TRUE(std::isnan(r.bestTimeUnix));
    EXPECT_TRUE(std::isnan(r.lagMinutes));
    EXPECT_TRUE(std::isnan(r.ageGeoHours));
    EXPECT_TRUE(std::isnan(r.atSunset.arclGeo));
    EXPECT_TRUE(std::isnan(r.atBest.illuminated));
    // What it can say: the conjunctions nearest the day (6 June and 5 July 2024).
    EXPECT_TRUE(std::isfinite(r.conjunctionGeoUnix));
    EXPECT_TRUE(std::isfinite(r.conjunctionTopoUnix));
    EXPECT_LT(std::fabs(r.conjunctionGeoUnix - UnixOfDate(2024, 6, 21)), 16.0 * 86400.0);
    // The worst zones and no numbers.
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_DEFAULT], 'N');
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_YALLOP], 'F');
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_ARCV_WIDTH], 'D');
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_DANJON], 'N');
    for (double v : r.criterionValue) EXPECT_TRUE(std::isnan(v));
    ExpectEveningOfCore(Civil(2024, 6, 21.0), tromso);
}

TEST(CrescentEveningExport, ShorterRecordsGetOnlyTheirBytes) {
    const VorDate date = Civil(2024, 3, 10.0);
    const VorLocation place = MakkahInDegrees();
    const VorConfig cfg = Settings();
    const VorCrescent full = Evening(date, place, cfg);
    ASSERT_EQ(full.status, 1);
    for (int32_t size : {8, 12, 40, 72, 100, 250, 252, 255}) {
        SCOPED_TRACE(size);
        unsigned char bytes[sizeof(VorCrescent) + 16];
        std::memset(bytes, 0xA5, sizeof bytes);
        std::memcpy(bytes, &size, 4);
        EXPECT_EQ(VorCrescentEvening(&date, &place, &cfg, reinterpret_cast<VorCrescent *>(bytes)), 1);
        int32_t kept = 0;
        std::memcpy(&kept, bytes, 4);
        EXPECT_EQ(kept, size);
        EXPECT_EQ(std::memcmp(bytes + 4, reinterpret_cast<const unsigned char *>(&full) + 4,
                              static_cast<std::size_t>(size) - 4),
                  0);
        for (std::size_t i = static_cast<std::size_t>(size); i < sizeof bytes; ++i) {
            ASSERT_EQ(bytes[i], 0xA5) << i;
        }
    }
    // A host whose record is longer than the library's: the library's bytes only.
    unsigned char longer[sizeof(VorCrescent) + 64];
    std::memset(longer, 0xA5, sizeof longer);
    const int32_t size = sizeof longer;
    std::memcpy(longer, &size, 4);
    EXPECT_EQ(VorCrescentEvening(&date, &place, &cfg, reinterpret_cast<VorCrescent *>(longer)), 1);
    EXPECT_EQ(std::memcmp(longer + 4, reinterpret_cast<const unsigned char *>(&full) + 4,
                          sizeof full - 4),
              0);
    for (std::size_t i = sizeof full; i < sizeof longer; ++i) ASSERT_EQ(longer[i], 0xA5) << i;
    // Too small for any field, or no record: nothing written.
    for (int32_t tiny : {7, 4, 0, -1, -2147483647 - 1}) {
        unsigned char bytes[sizeof(VorCrescent)];
        std::memset(bytes, 0xA5, sizeof bytes);
        std::memcpy(bytes, &tiny, 4);
        EXPECT_EQ(VorCrescentEvening(&date, &place, &cfg, reinterpret_cast<VorCrescent *>(bytes)), 0);
        for (std::size_t i = 4; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], 0xA5) << tiny << " " << i;
    }
    EXPECT_EQ(VorCrescentEvening(&date, &place, &cfg, nullptr), 0);
}

TEST(CrescentEveningExport, UnusableInputGivesTheNoValueRecordAndChangesNoInput) {
    const VorDate good = Civil(2024, 3, 10.0);
    const VorLocation makkah = MakkahInDegrees();
    const VorConfig cfg = Settings();
    struct Case {
        const char *what;
        VorDate date;
        VorLocation place;
        VorConfig config;
    };
    std::vector<Case> cases;
    auto with = [&](const char *what) {
        cases.push_back({what, good, makkah, cfg});
        return &cases.back();
    };
    with("latitude NaN")->place.latitude = NaN;
    with("latitude 90.5")->place.latitude = 90.5;
    with("longitude infinite")->place.longitude = std::numeric_limits<double>::infinity();
    with("longitude 361")->place.longitude = 361.0;
    with("time zone NaN")->place.timeZone = std::numeric_limits<float>::quiet_NaN();
    with("time zone 25")->place.timeZone = 25.0f;
    with("height -2000")->place.height = -2000;
    with("height 200 km")->place.height = 200000;
    with("month 0")->date.month = 0;
    with("month 13")->date.month = 13;
    with("day NaN")->date.day = NaN;
    with("day 0.5")->date.day = 0.5;
    with("30 February")->date = Civil(2024, 2, 30.0);
    with("1582-10-10")->date = Civil(1582, 10, 10.0);
    with("year 0")->date = Civil(0, 3, 10.0);
    with("year 10000")->date = Civil(10000, 3, 10.0);
    with("threshold NaN")->config.crescentThreshold = std::numeric_limits<float>::quiet_NaN();
    with("threshold 91")->config.crescentThreshold = 91.0f;
    with("threshold -inf")->config.crescentThreshold = -std::numeric_limits<float>::infinity();
    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Case before = c;
        VorCrescent r{};
        r.size = sizeof r;
        std::memset(reinterpret_cast<unsigned char *>(&r) + 4, 0x5A, sizeof r - 4);
        EXPECT_EQ(VorCrescentEvening(&c.date, &c.place, &c.config, &r), 0);
        EXPECT_EQ(r.size, static_cast<int32_t>(sizeof r));
        ExpectNoValueRecord(r);
        for (char b : r.reserved) EXPECT_EQ(b, 0);
        EXPECT_EQ(std::memcmp(&c.date, &before.date, sizeof c.date), 0);
        EXPECT_EQ(std::memcmp(&c.place, &before.place, sizeof c.place), 0);
        EXPECT_EQ(std::memcmp(&c.config, &before.config, sizeof c.config), 0);
    }
    // NULL records.
    VorCrescent r{};
    r.size = sizeof r;
    EXPECT_EQ(VorCrescentEvening(nullptr, &makkah, &cfg, &r), 0);
    ExpectNoValueRecord(r);
    r = VorCrescent{};
    r.size = sizeof r;
    EXPECT_EQ(VorCrescentEvening(&good, nullptr, &cfg, &r), 0);
    ExpectNoValueRecord(r);
    r = VorCrescent{};
    r.size = sizeof r;
    EXPECT_EQ(VorCrescentEvening(&good, &makkah, nullptr, &r), 0);
    ExpectNoValueRecord(r);
    // A shorter record of unusable input: its bytes only.
    unsigned char bytes[sizeof(VorCrescent)];
    std::memset(bytes, 0xA5, sizeof bytes);
    const int32_t size = 12;
    std::memcpy(bytes, &size, 4);
    VorLocation bad = makkah;
    bad.latitude = NaN;
    EXPECT_EQ(VorCrescentEvening(&good, &bad, &cfg, reinterpret_cast<VorCrescent *>(bytes)), 0);
    int32_t status = -1;
    std::memcpy(&status, bytes + 4, 4);
    EXPECT_EQ(status, 0);
    for (std::size_t i = 12; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], 0xA5) << i;
}

TEST(CrescentEveningExport, SettingsThatOnlyCountAsOthers) {
    const VorDate date = Civil(2024, 3, 10.0);
    const VorLocation place = MakkahInDegrees();
    VorConfig cfg = Settings();
    const VorCrescent reference = Evening(date, place, cfg);
    // toleranceSeconds below 1 counts as 1.
    cfg.toleranceSeconds = 0;
    VorCrescent r = Evening(date, place, cfg);
    EXPECT_EQ(std::memcmp(&r, &reference, sizeof r), 0);
    cfg.toleranceSeconds = -100;
    r = Evening(date, place, cfg);
    EXPECT_EQ(std::memcmp(&r, &reference, sizeof r), 0);
    // The prayer angles do not matter to the crescent, even unusable.
    cfg = Settings();
    cfg.fajrAngle = std::numeric_limits<float>::quiet_NaN();
    cfg.ishaAngle = 1000.0f;
    r = Evening(date, place, cfg);
    EXPECT_EQ(std::memcmp(&r, &reference, sizeof r), 0);
    // The threshold moves the default verdict only.
    cfg = Settings();
    cfg.crescentThreshold = -90.0f;
    r = Evening(date, place, cfg);
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_DEFAULT], 'V');
    cfg.crescentThreshold = 90.0f;
    r = Evening(date, place, cfg);
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_DEFAULT], 'N');
    EXPECT_EQ(r.criterionValue[VOR_CRITERION_DEFAULT], reference.criterionValue[VOR_CRITERION_DEFAULT]);
    EXPECT_EQ(r.criterionZone[VOR_CRITERION_YALLOP], reference.criterionZone[VOR_CRITERION_YALLOP]);
    // A fraction of the day names the same civil day.
    r = Evening(Civil(2024, 3, 10.75), place, Settings());
    EXPECT_EQ(std::memcmp(&r, &reference, sizeof r), 0);
}

// ------------------------------------------- the library's calendar

// VorCivilToHijri with calendar k against VorAdToIslamic, bit for bit, over
// `days` days from jd at place, and VorHijriToCivil against VorIslamicToAd
// for the Hijri dates found (and the day after each month's 29th).
void ExpectLibraryCalendar(const VorCalendar *k, double jd, int days, const VorLocation &place,
                           const VorConfig &cfg) {
    for (int i = 0; i < days; ++i) {
        VorDate a = CivilDay(jd + i);
        a.day += 0.25;
        VorDate b = a;
        VorLocation la = place;
        VorConfig ca = cfg;
        const int ra = VorAdToIslamic(&a, &la, &ca);
        const VorConfig cb = cfg;
        const int32_t rb = VorCivilToHijri(k, &b, &place, &cb);
        ASSERT_EQ(rb, ra) << i;
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "day " << i;
        if (ra != 1) continue;
        for (double hijriDay : {std::floor(a.hijriDay), 30.0, std::floor(a.hijriDay) + 0.5}) {
            VorDate ha = Hijri(a.hijriYear, a.hijriMonth, hijriDay);
            VorDate hb = ha;
            la = place;
            ca = cfg;
            const int ha1 = VorIslamicToAd(&ha, &la, &ca);
            ASSERT_EQ(VorHijriToCivil(k, &hb, &place, &cb), ha1) << i << " " << hijriDay;
            ASSERT_EQ(std::memcmp(&ha, &hb, sizeof ha), 0) << i << " " << hijriDay;
        }
    }
}

TEST(CalendarExports, TheLibraryCalendarIsVorAdToIslamicBitForBit) {
    const VorConfig cfg = Settings();
    const VorCalendar zeroed = CalendarOf(VOR_CALENDAR_OBSERVATIONAL);
    ExpectLibraryCalendar(nullptr, JdOf(2024, 1, 1), 120, MakkahInDegrees(), cfg);
    ExpectLibraryCalendar(&zeroed, JdOf(2024, 1, 1), 120, MakkahInDegrees(), cfg);
    // Where the evening is missing for weeks and the search walks south.
    const VorLocation tromso = PlaceInDegrees(69.6492, 18.9553, 0, 1.0f, "Tromso");
    ExpectLibraryCalendar(&zeroed, JdOf(2024, 5, 20), 45, tromso, cfg);
    // The default test at either level is the library's calendar too.
    const VorCalendar opticalAid = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_DEFAULT,
                                              VOR_LEVEL_OPTICAL_AID);
    ExpectLibraryCalendar(&opticalAid, JdOf(2023, 12, 1), 40,
                          PlaceInDegrees(-33.9249, 18.4241, 10, 2.0f, "Cape Town"), cfg);
    // With settings the conversions guard (a NaN threshold, tolerance 0),
    // and a hijriAdjustDays.
    VorConfig odd = cfg;
    odd.crescentThreshold = std::numeric_limits<float>::quiet_NaN();
    odd.toleranceSeconds = 0;
    odd.hijriAdjustDays = 1;
    ExpectLibraryCalendar(nullptr, JdOf(2024, 2, 25), 40, MakkahInDegrees(), odd);
}

// ---------------------------------------------------- every mode

// The calendars the mode tests go through (the regional one over two
// places: over the world a conversion takes about 0.2 s).
std::vector<VorCalendar> EveryMode() {
    return {CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP, VOR_LEVEL_NAKED_EYE),
            CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_ARCV_WIDTH, VOR_LEVEL_OPTICAL_AID, 1),
            CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_DANJON),
            TwoPlaces(VOR_CRITERION_YALLOP),
            CalendarOf(VOR_CALENDAR_CONJUNCTION_NOON_UTC),
            CalendarOf(VOR_CALENDAR_UMM_AL_QURA),
            CalendarOf(VOR_CALENDAR_TABULAR)};
}

TEST(CalendarExports, EveryModeMatchesTheCoreAndRoundTripsOver60Days) {
    const VorLocation place = PlaceInDegrees(30.0444, 31.2357, 23, 2.0f, "Cairo");
    const VorConfig cfg = Settings();
    const double first = JdOf(2024, 2, 20);
    for (const VorCalendar &k : EveryMode()) {
        SCOPED_TRACE(testing::Message() << "mode " << k.mode << " criterion " << k.criterion
                                        << " level " << k.level << " danjon " << k.withDanjon
                                        << " region " << k.region);
        const CalendarRule rule = RuleOf(k);
        VorDate previous{};
        int monthLength = 0;
        bool sawStart = false;
        int starts = 0;
        for (int i = 0; i < 60; ++i) {
            VorDate date = CivilDay(first + i);
            VorDate core = date;
            VorLocation radians = place;
            radians.latitude *= DegToRad;
            radians.longitude *= DegToRad;
            const int coreResult = CivilToHijriOfRule(rule, core, radians, cfg);
            ASSERT_EQ(VorCivilToHijri(&k, &date, &place, &cfg), coreResult) << i;
            ASSERT_EQ(coreResult, 1) << i;
            ASSERT_EQ(std::memcmp(&date, &core, sizeof date), 0) << "day " << i;
            // The Hijri days run on by one; a month has 29 or 30 of them.
            if (i > 0) {
                if (date.hijriDay == 1.0) {
                    // A whole month seen (the first one began before the window).
                    if (sawStart) {
                        EXPECT_TRUE(monthLength == 29 || monthLength == 30) << monthLength;
                    }
                    sawStart = true;
                    EXPECT_EQ(previous.hijriDay == 29.0 || previous.hijriDay == 30.0, true);
                    EXPECT_EQ(date.hijriMonth, previous.hijriMonth % 12 + 1);
                    monthLength = 0;
                    ++starts;
                } else {
                    EXPECT_EQ(date.hijriDay, previous.hijriDay + 1.0) << i;
                    EXPECT_EQ(date.hijriMonth, previous.hijriMonth) << i;
                }
            }
            ++monthLength;
            previous = date;
            // Back to the civil day, through the export and the core alike.
            VorDate back = Hijri(date.hijriYear, date.hijriMonth, date.hijriDay + 0.5);
            VorDate coreBack = back;
            ASSERT_EQ(VorHijriToCivil(&k, &back, &place, &cfg), 1) << i;
            ASSERT_EQ(HijriToCivilOfRule(rule, coreBack, radians, cfg), 1) << i;
            EXPECT_EQ(std::memcmp(&back, &coreBack, sizeof back), 0) << i;
            const VorDate civil = CivilDay(first + i);
            EXPECT_EQ(back.year, civil.year);
            EXPECT_EQ(back.month, civil.month);
            EXPECT_EQ(back.day, civil.day + 0.5);
            EXPECT_EQ(back.hour, 12);
        }
        EXPECT_EQ(starts, 2);  // 60 days from 20 February: Ramadan and Shawwal begin
    }
}

TEST(CalendarExports, RegionalPlacesKeepTheCivilDateOfTheirZone) {
    // Far from Greenwich the zone decides which evening belongs to a civil
    // date: the month starts of a region of one place each, against the core
    // given the place on the zone of its longitude.
    const VorLocation place = MakkahInDegrees();
    const VorConfig cfg = Settings();
    const double far[3][2] = {{21.3069, -157.8583}, {-36.8485, 174.7633}, {61.2181, -149.9003}};
    for (const auto &p : far) {
        SCOPED_TRACE(testing::Message() << p[0] << ", " << p[1]);
        VorCalendar k = CalendarOf(VOR_CALENDAR_REGIONAL, VOR_CRITERION_DEFAULT, VOR_LEVEL_NAKED_EYE,
                                   0, VOR_REGION_PLACES);
        k.placeCount = 1;
        k.places[0][0] = p[0];
        k.places[0][1] = p[1];
        CalendarRule rule{};
        rule.mode = CalendarMode::Regional;
        rule.region = RegionKind::Places;
        rule.placeCount = 1;
        rule.places[0] = PlaceInRadians(p[0], p[1], 0, static_cast<float>(std::round(p[1] / 15.0)));
        VorLocation radians = place;
        radians.latitude *= DegToRad;
        radians.longitude *= DegToRad;
        for (int month = 1; month <= 12; ++month) {
            VorDate exported = Hijri(1445, month, 1.0);
            VorDate core = exported;
            ASSERT_EQ(VorHijriToCivil(&k, &exported, &place, &cfg), 1) << month;
            ASSERT_EQ(HijriToCivilOfRule(rule, core, radians, cfg), 1) << month;
            EXPECT_EQ(std::memcmp(&exported, &core, sizeof core), 0) << month;
        }
    }
}

TEST(CalendarExports, RegionalGridsMatchTheCore) {
    // The world and the Americas (each conversion judges hundreds of places:
    // two dates each).
    const VorLocation place = PlaceInDegrees(40.7128, -74.006, 10, -5.0f, "New York");
    const VorConfig cfg = Settings();
    VorLocation radians = place;
    radians.latitude *= DegToRad;
    radians.longitude *= DegToRad;
    for (int32_t region : {VOR_REGION_WORLD, VOR_REGION_AMERICAS}) {
        SCOPED_TRACE(region);
        const VorCalendar k = CalendarOf(VOR_CALENDAR_REGIONAL, VOR_CRITERION_ARCV_WIDTH,
                                         VOR_LEVEL_OPTICAL_AID, 0, region);
        const CalendarRule rule = RuleOf(k);
        VorDate exported = Civil(2024, 4, 10.0);
        VorDate core = exported;
        ASSERT_EQ(VorCivilToHijri(&k, &exported, &place, &cfg), 1);
        ASSERT_EQ(CivilToHijriOfRule(rule, core, radians, cfg), 1);
        EXPECT_EQ(std::memcmp(&exported, &core, sizeof core), 0);
        exported = Hijri(1445, 11, 1.0);
        core = exported;
        ASSERT_EQ(VorHijriToCivil(&k, &exported, &place, &cfg), 1);
        ASSERT_EQ(HijriToCivilOfRule(rule, core, radians, cfg), 1);
        EXPECT_EQ(std::memcmp(&exported, &core, sizeof core), 0);
    }
}

TEST(CalendarExports, PublishedMonthStarts) {
    const VorLocation anywhere = PlaceInDegrees(51.5074, -0.1278, 11, 0.0f, "London");
    // Umm al-Qura: 1 Ramadan 1445 = 11 March 2024, 1 Shawwal 1445 = 10 April
    // 2024, 1 Dhu al-Hijja 1445 = 7 June 2024, 1 Muharram 1446 = 7 July 2024.
    const VorCalendar ummAlQura = CalendarOf(VOR_CALENDAR_UMM_AL_QURA);
    ExpectCivil(CivilOfHijri(&ummAlQura, 1445, 9, 1, anywhere), 2024, 3, 11);
    ExpectCivil(CivilOfHijri(&ummAlQura, 1445, 10, 1, anywhere), 2024, 4, 10);
    ExpectCivil(CivilOfHijri(&ummAlQura, 1445, 12, 1, anywhere), 2024, 6, 7);
    ExpectCivil(CivilOfHijri(&ummAlQura, 1446, 1, 1, anywhere), 2024, 7, 7);
    // Conjunction before noon UTC: the conjunction of 10 March 2024 at 09:00
    // UT begins Ramadan on 11 March; the one of 8 April at 18:21 UT Shawwal
    // on 10 April.
    const VorCalendar noon = CalendarOf(VOR_CALENDAR_CONJUNCTION_NOON_UTC);
    ExpectCivil(CivilOfHijri(&noon, 1445, 9, 1, anywhere), 2024, 3, 11);
    ExpectCivil(CivilOfHijri(&noon, 1445, 10, 1, anywhere), 2024, 4, 10);
}

// The tabular calendar's Julian day of a Hijri date, by the usual
// arithmetic (leap years 2, 5, 7, 10, 13, 16, 18, 21, 24, 26, 29; epoch
// 16 July 622, Julian): the local JD of 0 h.
double TabularJd(int year, int month, int day) {
    return day + std::ceil(29.5 * (month - 1)) + (year - 1) * 354.0 +
           std::floor((3.0 + 11.0 * year) / 30.0) + 1948439.5 - 1.0;
}

TEST(CalendarExports, TabularIsTheArithmeticCalendar) {
    const VorCalendar tabular = CalendarOf(VOR_CALENDAR_TABULAR);
    const VorLocation place = MakkahInDegrees();
    const VorConfig cfg = Settings();
    // Dates spread over the whole era and a run of consecutive days.
    std::vector<double> days;
    for (int i = 0; i < 60; ++i) days.push_back(JdOf(2024, 12, 1) + i);
    for (int i = 0; i < 200; ++i) days.push_back(1948440.5 + i * 2503.37);
    for (double jd : days) {
        VorDate date = CivilDay(std::floor(jd - 0.5) + 0.5);
        ASSERT_EQ(VorCivilToHijri(&tabular, &date, &place, &cfg), 1) << jd;
        EXPECT_EQ(TabularJd(date.hijriYear, date.hijriMonth, static_cast<int>(date.hijriDay)),
                  std::floor(jd - 0.5) + 0.5)
            << date.hijriYear << "-" << int{date.hijriMonth} << "-" << date.hijriDay;
    }
    // The epoch: 1 Muharram 1 is 16 July 622 (Julian); the day before is refused.
    ExpectCivil(CivilOfHijri(&tabular, 1, 1, 1, place), 622, 7, 16);
    VorDate before = Civil(622, 7, 15.0);
    VorConfig c = cfg;
    EXPECT_EQ(VorCivilToHijri(&tabular, &before, &place, &c), 0);
    EXPECT_EQ(before.hijriValid, 0);
    // Day 30 of a 29-day month does not exist: 30 Muharram 1446 does, 30 Safar not.
    VorDate day30 = Hijri(1446, 2, 30.0);
    const VorDate kept = day30;
    EXPECT_EQ(VorHijriToCivil(&tabular, &day30, &place, &cfg), 0);
    EXPECT_EQ(std::memcmp(&day30, &kept, sizeof kept), 0);
    // hijriAdjustDays moves the civil date.
    c.hijriAdjustDays = 1;
    VorDate moved = Civil(2024, 12, 10.0);
    VorDate plain = moved;
    ASSERT_EQ(VorCivilToHijri(&tabular, &moved, &place, &c), 1);
    ASSERT_EQ(VorCivilToHijri(&tabular, &plain, &place, &cfg), 1);
    EXPECT_EQ(TabularJd(moved.hijriYear, moved.hijriMonth, static_cast<int>(moved.hijriDay)),
              TabularJd(plain.hijriYear, plain.hijriMonth, static_cast<int>(plain.hijriDay)) + 1.0);
    // The day numbers are ints: the last day with one below 2^31 - 1 converts
    // both ways (a fraction of the day kept), the next is refused.
    const double lastJd = 2147483645.5;
    VorDate last = CivilDay(lastJd);
    last.day += 0.75;
    ASSERT_EQ(VorCivilToHijri(&tabular, &last, &place, &cfg), 1);
    EXPECT_EQ(last.hijriDay - std::floor(last.hijriDay), 0.75);
    EXPECT_EQ(TabularJd(last.hijriYear, last.hijriMonth, static_cast<int>(last.hijriDay)), lastJd);
    VorDate back = Hijri(last.hijriYear, last.hijriMonth, std::floor(last.hijriDay));
    ASSERT_EQ(VorHijriToCivil(&tabular, &back, &place, &cfg), 1);
    EXPECT_EQ(DateToJulianDay(back), lastJd);
    VorDate beyond = CivilDay(lastJd + 1.0);
    beyond.hijriValid = 1;
    EXPECT_EQ(VorCivilToHijri(&tabular, &beyond, &place, &cfg), 0);
    EXPECT_EQ(beyond.hijriValid, 0);
}

TEST(CalendarExports, AStricterCriterionNeverBeginsAMonthEarlier) {
    // Optical aid sees at least what the naked eye sees: its month starts
    // are never later; the Danjon limit added never makes them earlier.
    const VorLocation place = PlaceInDegrees(33.8869, 9.5375, 0, 1.0f, "Tunisia");
    const VorCalendar naked = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP,
                                         VOR_LEVEL_NAKED_EYE);
    const VorCalendar aided = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP,
                                         VOR_LEVEL_OPTICAL_AID);
    const VorCalendar danjon = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP,
                                          VOR_LEVEL_OPTICAL_AID, 1);
    for (int month = 1; month <= 12; ++month) {
        const VorDate n = CivilOfHijri(&naked, 1445, month, 1, place);
        const VorDate a = CivilOfHijri(&aided, 1445, month, 1, place);
        const VorDate d = CivilOfHijri(&danjon, 1445, month, 1, place);
        EXPECT_LE(DateToJulianDay(a), DateToJulianDay(n)) << month;
        EXPECT_GE(DateToJulianDay(d), DateToJulianDay(a)) << month;
    }
}

// ------------------------------------------------- calendar records

TEST(CalendarExports, UnusableCalendarRecordsAreRefused) {
    const VorLocation place = MakkahInDegrees();
    const VorConfig cfg = Settings();
    std::vector<std::pair<const char *, VorCalendar>> bad;
    auto with = [&](const char *what, VorCalendar k) { bad.emplace_back(what, k); };
    VorCalendar k = CalendarOf(0);
    k.size = 7;
    with("size 7", k);
    k.size = 0;
    with("size 0", k);
    k.size = -544;
    with("size -544", k);
    with("mode 5", CalendarOf(5));
    with("mode -1", CalendarOf(-1));
    with("criterion 4", CalendarOf(0, 4));
    with("criterion -1", CalendarOf(1, -1));
    with("level 2", CalendarOf(0, 1, 2));
    with("withDanjon 2", CalendarOf(0, 1, 0, 2));
    with("withDanjon -1", CalendarOf(0, 1, 0, -1));
    with("region 3", CalendarOf(1, 0, 0, 0, 3));
    with("region -1", CalendarOf(0, 0, 0, 0, -1));
    with("no places", CalendarOf(1, 0, 0, 0, VOR_REGION_PLACES));
    k = TwoPlaces();
    k.placeCount = 33;
    with("33 places", k);
    k.placeCount = -1;
    with("-1 places", k);
    k = TwoPlaces();
    k.places[1][0] = NaN;
    with("latitude NaN", k);
    k = TwoPlaces();
    k.places[0][0] = 90.0001;
    with("latitude 90.0001", k);
    k = TwoPlaces();
    k.places[1][1] = 180.5;
    with("longitude 180.5", k);
    k = TwoPlaces();
    k.places[1][1] = -std::numeric_limits<double>::infinity();
    with("longitude -inf", k);
    k = TwoPlaces();
    k.size = 63;  // the second place ends at byte 64
    with("places beyond the size", k);
    // Checked whatever the mode: places of a tabular calendar too.
    k = TwoPlaces();
    k.mode = VOR_CALENDAR_TABULAR;
    k.places[0][0] = NaN;
    with("tabular with a NaN place", k);
    for (auto &[what, calendar] : bad) {
        SCOPED_TRACE(what);
        const VorCalendar before = calendar;
        VorDate date = Civil(2024, 3, 20.0);
        date.hijriValid = 1;
        date.hijriYear = 77;
        EXPECT_EQ(VorCivilToHijri(&calendar, &date, &place, &cfg), 0);
        EXPECT_EQ(date.hijriValid, 0);
        EXPECT_EQ(date.hijriYear, 77);
        VorDate hijri = Hijri(1445, 9, 10.0);
        const VorDate hijriBefore = hijri;
        EXPECT_EQ(VorHijriToCivil(&calendar, &hijri, &place, &cfg), 0);
        EXPECT_EQ(std::memcmp(&hijri, &hijriBefore, sizeof hijri), 0);
        EXPECT_EQ(std::memcmp(&calendar, &before, sizeof before), 0);
    }
    // The limits themselves are usable: 90 degrees, 180 degrees, 32 places.
    k = TwoPlaces();
    k.places[0][0] = -90.0;
    k.places[1][1] = 180.0;
    VorDate date = Civil(2024, 3, 20.0);
    EXPECT_EQ(VorCivilToHijri(&k, &date, &place, &cfg), 1);
    k.placeCount = 32;
    for (int i = 2; i < 32; ++i) {
        k.places[i][0] = -40.0 + 2.5 * i;
        k.places[i][1] = -170.0 + 10.0 * i;
    }
    date = Civil(2024, 3, 20.0);
    EXPECT_EQ(VorCivilToHijri(&k, &date, &place, &cfg), 1);
}

TEST(CalendarExports, UnusableDatesPlacesAndPointersAreRefused) {
    const VorCalendar k = CalendarOf(VOR_CALENDAR_UMM_AL_QURA);
    const VorLocation place = MakkahInDegrees();
    const VorConfig cfg = Settings();
    VorLocation nanLatitude = place;
    nanLatitude.latitude = NaN;
    VorLocation badZone = place;
    badZone.timeZone = 30.0f;
    VorLocation deep = place;
    deep.height = -5000;
    for (const VorCalendar *calendar : {static_cast<const VorCalendar *>(nullptr), &k}) {
        const VorLocation *unusable[4] = {&nanLatitude, &badZone, &deep, nullptr};
        for (const VorLocation *loc : unusable) {
            VorDate date = Civil(2024, 3, 20.0);
            date.hijriValid = 1;
            EXPECT_EQ(VorCivilToHijri(calendar, &date, loc, &cfg), 0);
            EXPECT_EQ(date.hijriValid, 0);
            VorDate hijri = Hijri(1445, 9, 10.0);
            const VorDate before = hijri;
            EXPECT_EQ(VorHijriToCivil(calendar, &hijri, loc, &cfg), 0);
            EXPECT_EQ(std::memcmp(&hijri, &before, sizeof hijri), 0);
        }
        VorDate date = Civil(2024, 3, 20.0);
        date.hijriValid = 1;
        EXPECT_EQ(VorCivilToHijri(calendar, &date, &place, nullptr), 0);
        EXPECT_EQ(date.hijriValid, 0);
        EXPECT_EQ(VorCivilToHijri(calendar, nullptr, &place, &cfg), 0);
        EXPECT_EQ(VorHijriToCivil(calendar, nullptr, &place, &cfg), 0);
        // Months outside 1..12 and days that are not numbers.
        date = Civil(2024, 13, 20.0);
        EXPECT_EQ(VorCivilToHijri(calendar, &date, &place, &cfg), 0);
        date = Civil(2024, 3, NaN);
        EXPECT_EQ(VorCivilToHijri(calendar, &date, &place, &cfg), 0);
        for (VorDate hijri : {Hijri(1445, 0, 10.0), Hijri(1445, 13, 10.0), Hijri(1445, 9, NaN),
                              Hijri(1445, 9, 0.5), Hijri(1445, 9, 31.0), Hijri(0, 9, 1.0)}) {
            const VorDate before = hijri;
            EXPECT_EQ(VorHijriToCivil(calendar, &hijri, &place, &cfg), 0);
            EXPECT_EQ(std::memcmp(&hijri, &before, sizeof hijri), 0);
        }
    }
    // The location is read, never converted in place.
    VorLocation watched = place;
    VorDate date = Civil(2024, 3, 20.0);
    ASSERT_EQ(VorCivilToHijri(&k, &date, &watched, &cfg), 1);
    EXPECT_EQ(std::memcmp(&watched, &place, sizeof place), 0);
}

TEST(CalendarExports, EveryModeButTheTabularEndsWithTheYear9999) {
    // As the day's times do: the last civil day converts both ways, the day
    // after and the Hijri dates beyond are refused (at once, not after a
    // search through lunations whose Delta T is extrapolated by days and
    // more).  The tabular calendar goes on.
    const VorLocation place = PlaceInDegrees(30.0444, 31.2357, 23, 2.0f, "Cairo");
    const VorConfig cfg = Settings();
    std::vector<VorCalendar> modes = EveryMode();
    VorCalendar library{};  // a zeroed record: the library's own calendar
    library.size = sizeof library;
    modes.push_back(library);
    constexpr int LastHijriYear = 9666;  // 9999-12-31 is in Rabi' I or II 9666
    for (const VorCalendar &k : modes) {
        SCOPED_TRACE(testing::Message() << "mode " << k.mode << " criterion " << k.criterion);
        const bool endless = k.mode == VOR_CALENDAR_TABULAR;
        VorDate last = Civil(9999, 12, 31.25);
        ASSERT_EQ(VorCivilToHijri(&k, &last, &place, &cfg), 1);
        EXPECT_EQ(last.hijriYear, LastHijriYear);
        VorDate back = Hijri(last.hijriYear, last.hijriMonth, std::floor(last.hijriDay));
        ASSERT_EQ(VorHijriToCivil(&k, &back, &place, &cfg), 1);
        ExpectCivil(back, 9999, 12, 31);

        VorDate after = Civil(10000, 1, 1.0);
        after.hijriValid = 1;
        EXPECT_EQ(VorCivilToHijri(&k, &after, &place, &cfg), endless ? 1 : 0);
        EXPECT_EQ(after.hijriValid, endless ? 1 : 0);
        // The month after the last day's: its first day is in the year 10000.
        VorDate next = Hijri(LastHijriYear, last.hijriMonth + 1, 1.0);
        const VorDate nextBefore = next;
        EXPECT_EQ(VorHijriToCivil(&k, &next, &place, &cfg), endless ? 1 : 0);
        if (endless) {
            EXPECT_EQ(next.year, 10000);
        } else {
            EXPECT_EQ(std::memcmp(&next, &nextBefore, sizeof next), 0);
        }
        for (const int year : {LastHijriYear + 1, 100000, 16777126}) {
            VorDate far = Hijri(year, 10, 1.0);
            const VorDate farBefore = far;
            const int32_t result = VorHijriToCivil(&k, &far, &place, &cfg);
            if (!endless) {
                EXPECT_EQ(result, 0) << year;
                EXPECT_EQ(std::memcmp(&far, &farBefore, sizeof far), 0) << year;
            }
        }
    }
    // The legacy pair ends there as well, and an adjustment moves the Hijri
    // dates, not the civil end: 9999-12-31 plus 400 days is in 9667.
    VorLocation own = place;
    VorConfig later = cfg;
    later.hijriAdjustDays = 400;
    VorDate last = Civil(9999, 12, 31.0);
    ASSERT_EQ(VorAdToIslamic(&last, &own, &later), 1);
    EXPECT_EQ(last.hijriYear, LastHijriYear + 1);
    VorDate back = Hijri(last.hijriYear, last.hijriMonth, last.hijriDay);
    ASSERT_EQ(VorIslamicToAd(&back, &own, &later), 1);
    ExpectCivil(back, 9999, 12, 31);
    VorDate after = Civil(10000, 1, 1.0);
    EXPECT_EQ(VorAdToIslamic(&after, &own, &later), 0);
}

TEST(CalendarExports, AnObservationalRuleWithoutAnyEveningIsRefused) {
    // A pressure no air has bends the Moon out of every horizon: no
    // latitude from the place to the equator has an evening, the rule's
    // calendar has no month there, and both conversions say so.
    const VorLocation place = PlaceInDegrees(36.8065, 10.1815, 10, 1.0f, "Tunis");
    VorConfig cfg = Settings();
    cfg.pressure = -587202560;
    const VorCalendar k = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP);
    VorDate date = Civil(2024, 6, 6.5);
    date.hijriValid = 1;
    EXPECT_EQ(VorCivilToHijri(&k, &date, &place, &cfg), 0);
    EXPECT_EQ(date.hijriValid, 0);
    VorDate hijri = Hijri(1445, 12, 30.0);
    const VorDate before = hijri;
    EXPECT_EQ(VorHijriToCivil(&k, &hijri, &place, &cfg), 0);
    EXPECT_EQ(std::memcmp(&hijri, &before, sizeof hijri), 0);
    // With air that exists the same place and day have their month.
    cfg.pressure = 1010;
    EXPECT_EQ(VorCivilToHijri(&k, &date, &place, &cfg), 1);
}

TEST(CalendarExports, AnOlderShorterRecordIsReadOnlyUpToItsSize) {
    const VorLocation place = PlaceInDegrees(36.8065, 10.1815, 10, 1.0f, "Tunis");
    const VorConfig cfg = Settings();
    // Size 8: only the mode is the host's; the rest, garbage here, is not read.
    unsigned char bytes[sizeof(VorCalendar)];
    std::memset(bytes, 0x7F, sizeof bytes);
    const int32_t size8 = 8;
    const int32_t tabular = VOR_CALENDAR_TABULAR;
    std::memcpy(bytes, &size8, 4);
    std::memcpy(bytes + 4, &tabular, 4);
    const VorCalendar full = CalendarOf(VOR_CALENDAR_TABULAR);
    const VorCalendar yallopFull = CalendarOf(VOR_CALENDAR_OBSERVATIONAL, VOR_CRITERION_YALLOP);
    for (int i = 0; i < 40; ++i) {
        VorDate a = CivilDay(JdOf(2024, 8, 1) + i);
        VorDate b = a;
        ASSERT_EQ(VorCivilToHijri(reinterpret_cast<const VorCalendar *>(bytes), &a, &place, &cfg), 1);
        ASSERT_EQ(VorCivilToHijri(&full, &b, &place, &cfg), 1);
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << i;
    }
    // Size 12: mode and criterion; level, withDanjon and the region zeros.
    const int32_t size12 = 12;
    const int32_t observational = VOR_CALENDAR_OBSERVATIONAL;
    const int32_t yallop = VOR_CRITERION_YALLOP;
    std::memcpy(bytes, &size12, 4);
    std::memcpy(bytes + 4, &observational, 4);
    std::memcpy(bytes + 8, &yallop, 4);
    for (int i = 0; i < 40; i += 3) {
        VorDate a = CivilDay(JdOf(2024, 8, 1) + i);
        VorDate b = a;
        ASSERT_EQ(VorCivilToHijri(reinterpret_cast<const VorCalendar *>(bytes), &a, &place, &cfg), 1);
        ASSERT_EQ(VorCivilToHijri(&yallopFull, &b, &place, &cfg), 1);
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << i;
    }
    // A record longer than the library's: its first 544 bytes.
    unsigned char longer[sizeof(VorCalendar) + 32];
    std::memset(longer, 0x7F, sizeof longer);
    std::memcpy(longer, &full, sizeof full);
    const int32_t longSize = sizeof longer;
    std::memcpy(longer, &longSize, 4);
    VorDate a = Civil(2024, 8, 20.0);
    VorDate b = a;
    ASSERT_EQ(VorCivilToHijri(reinterpret_cast<const VorCalendar *>(longer), &a, &place, &cfg), 1);
    ASSERT_EQ(VorCivilToHijri(&full, &b, &place, &cfg), 1);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    // The places a record holds, to the last byte of the last one.
    VorCalendar k = TwoPlaces();
    k.size = 64;
    a = Civil(2024, 8, 20.0);
    EXPECT_EQ(VorCivilToHijri(&k, &a, &place, &cfg), 1);
}

}  // namespace
}  // namespace vorlin

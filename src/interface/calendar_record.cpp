#include "interface/calendar_record.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "astro/constants.h"
#include "interface/input_guard.h"

namespace vorlin {
namespace {

// The places of a calendar: longitude within +-180 degrees, so that the
// zone of each (longitude / 15, rounded) is the one of its civil date.
constexpr double LargestPlaceLongitudeDegrees = 180.0;

static_assert(MaxRegionPlaces == VOR_CALENDAR_MAX_PLACES, "the calendar record's places");
static_assert(CalendarModeCount == 5 && CrescentCriterionCount == VOR_CRITERION_COUNT,
              "the calendar record's numbers");
static_assert(static_cast<int>(CalendarMode::Tabular) == VOR_CALENDAR_TABULAR &&
                  static_cast<int>(CalendarMode::UmmAlQura) == VOR_CALENDAR_UMM_AL_QURA &&
                  static_cast<int>(CalendarMode::ConjunctionBeforeNoonUtc) ==
                      VOR_CALENDAR_CONJUNCTION_NOON_UTC &&
                  static_cast<int>(CalendarMode::Regional) == VOR_CALENDAR_REGIONAL,
              "VOR_CALENDAR_* are the modes' numbers");
static_assert(static_cast<int>(CrescentCriterion::Yallop) == VOR_CRITERION_YALLOP &&
                  static_cast<int>(CrescentCriterion::ArcvWidth) == VOR_CRITERION_ARCV_WIDTH &&
                  static_cast<int>(CrescentCriterion::Danjon) == VOR_CRITERION_DANJON,
              "VOR_CRITERION_* are the criteria's numbers");
static_assert(static_cast<int>(SightingLevel::OpticalAid) == VOR_LEVEL_OPTICAL_AID,
              "VOR_LEVEL_* are the levels' numbers");
static_assert(static_cast<int>(RegionKind::Places) == VOR_REGION_PLACES &&
                  static_cast<int>(RegionKind::Americas) == VOR_REGION_AMERICAS,
              "VOR_REGION_* are the regions' numbers");

bool Within(int32_t value, int32_t first, int32_t last) { return value >= first && value <= last; }

}  // namespace

bool CalendarRecordToRule(const VorCalendar *host, CalendarRule &rule) {
    rule = CalendarRule{};
    if (host == nullptr) return true;
    if (host->size < 8) return false;
    const std::size_t size = static_cast<std::size_t>(host->size);
    VorCalendar c{};
    std::memcpy(&c, host, size < sizeof c ? size : sizeof c);
    if (!Within(c.mode, 0, CalendarModeCount - 1) ||
        !Within(c.criterion, 0, CrescentCriterionCount - 1) ||
        !Within(c.level, VOR_LEVEL_NAKED_EYE, VOR_LEVEL_OPTICAL_AID) || !Within(c.withDanjon, 0, 1) ||
        !Within(c.region, VOR_REGION_WORLD, VOR_REGION_PLACES) ||
        !Within(c.placeCount, 0, MaxRegionPlaces) ||
        (c.region == VOR_REGION_PLACES && c.placeCount == 0)) {
        return false;
    }
    // The places counted must be the host's, not the zeros beyond its size.
    const std::size_t counted =
        offsetof(VorCalendar, places) + sizeof c.places[0] * static_cast<std::size_t>(c.placeCount);
    if (c.placeCount > 0 && counted > size) return false;
    for (int32_t i = 0; i < c.placeCount; ++i) {
        if (!(std::fabs(c.places[i][0]) <= GuardLargestLatitudeDegrees) ||
            !(std::fabs(c.places[i][1]) <= LargestPlaceLongitudeDegrees)) {
            return false;
        }
    }
    rule.mode = static_cast<CalendarMode>(c.mode);
    rule.crescent.criterion = static_cast<CrescentCriterion>(c.criterion);
    rule.crescent.level = static_cast<SightingLevel>(c.level);
    rule.crescent.withDanjon = c.withDanjon == 1;
    rule.region = static_cast<RegionKind>(c.region);
    if (rule.region == RegionKind::Places) {
        rule.placeCount = c.placeCount;
        for (int32_t i = 0; i < c.placeCount; ++i) {
            VorLocation &p = rule.places[i];
            p = VorLocation{};
            p.latitude = c.places[i][0] * DegToRad;
            p.longitude = c.places[i][1] * DegToRad;
            p.timeZone = static_cast<float>(std::round(c.places[i][1] / 15.0));
        }
    }
    return true;
}


bool SettingsCalendarToRule(const VorCalendar &calendar, CalendarRule &rule) {
    if (calendar.size == 0) {
        rule = CalendarRule{};
        return true;
    }
    return CalendarRecordToRule(&calendar, rule);
}

VorCalendar CalendarRuleToRecord(const CalendarRule &rule) {
    VorCalendar c{};
    c.size = static_cast<int32_t>(sizeof c);
    c.mode = static_cast<int32_t>(rule.mode);
    c.criterion = static_cast<int32_t>(rule.crescent.criterion);
    c.level = static_cast<int32_t>(rule.crescent.level);
    c.withDanjon = rule.crescent.withDanjon ? 1 : 0;
    c.region = static_cast<int32_t>(rule.region);
    const int count = rule.region == RegionKind::Places ? rule.placeCount : 0;
    c.placeCount = count;
    for (int i = 0; i < count && i < MaxRegionPlaces; ++i) {
        c.places[i][0] = rule.places[i].latitude * RadToDeg;
        c.places[i][1] = rule.places[i].longitude * RadToDeg;
    }
    return c;
}

}  // namespace vorlin

// The exported functions.  Each is a thin frame around one worker: the
// host's records are checked once (input_guard.h), then the host's
// latitude and longitude are turned into radians in place for the
// duration of the call and back into degrees afterwards, also when the
// worker fails.

#include "vorlin.h"

#include <cstdint>

#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
#include "interface/input_guard.h"
#include "interface/reports.h"
#include "moon/moon_report.h"
#include "prayer/prayer_schedule.h"
#include "prayer/text_writer.h"
#include "qibla/magnetic_declination.h"
#include "qibla/qibla.h"

namespace vorlin {
namespace {

// Converts a location's latitude and longitude to radians on construction
// and back to degrees on destruction (the values passed in are not saved:
// the host may find them changed in the last bits).
class RadianFrame {
public:
    explicit RadianFrame(VorLocation *location) : location_(location) {
        location_->latitude *= DegToRad;
        location_->longitude *= DegToRad;
    }
    ~RadianFrame() {
        location_->latitude *= RadToDeg;
        location_->longitude *= RadToDeg;
    }
    RadianFrame(const RadianFrame &) = delete;
    RadianFrame &operator=(const RadianFrame &) = delete;

private:
    VorLocation *location_;
};

// The capacity a host passes as a byte count: negative counts as 0, and so
// does any capacity with a null buffer.
std::size_t HostCapacity(const char *text, int32_t capacity) {
    return text == nullptr || capacity <= 0 ? 0 : static_cast<std::size_t>(capacity);
}

// A report length as the 32-bit result of the N exports.  Reports are below
// 100 kB, so the cap at INT32_MAX is never reached in practice.
int32_t ReportLengthForHost(std::size_t length) {
    return length > static_cast<std::size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(length);
}

using ReportWorker = void (*)(const VorDate &, VorLocation &, const VorConfig &, TextWriter &);

// Valid records go to the worker as they are, the location in the host's
// own record under the radian frame; unusable ones as guarded copies (the
// host's records are then not touched at all).
std::size_t WriteGuardedReport(ReportWorker worker, VorDate *date, VorLocation *location,
                               VorConfig *config, char *text, std::size_t capacity) {
    TextWriter writer(text, capacity);
    if (IsUsableLocation(*location) == 1 && IsUsableConfig(*config) == 1) {
        RadianFrame frame(location);
        worker(*date, *location, *config, writer);
    } else {
        VorLocation guardedLocation = GuardedLocation(*location);
        const VorConfig guardedConfig = GuardedConfig(*config);
        RadianFrame frame(&guardedLocation);
        worker(*date, guardedLocation, guardedConfig, writer);
    }
    return writer.Length();
}

void PrayerScheduleWorker(const VorDate &date, VorLocation &location,
                          const VorConfig &config, TextWriter &writer) {
    WritePrayerSchedule(date, location, config, writer);
}

void MoonInformationWorker(const VorDate &date, VorLocation &location,
                           const VorConfig &config, TextWriter &writer) {
    WriteMoonInformation(date, location, config, writer);
}

}  // namespace

std::size_t WriteScheduleReport(VorDate *date, VorLocation *location, VorConfig *config,
                                char *text, std::size_t capacity) {
    return WriteGuardedReport(PrayerScheduleWorker, date, location, config, text, capacity);
}

std::size_t WriteMoonReport(VorDate *date, VorLocation *location, VorConfig *config, char *text,
                            std::size_t capacity) {
    return WriteGuardedReport(MoonInformationWorker, date, location, config, text, capacity);
}

}  // namespace vorlin

using vorlin::RadianFrame;

extern "C" {

VORLIN_API int VORLIN_CALL VorisValidDate(VorDate *date, int hijri) {
    return vorlin::IsValidDate(*date, hijri);
}

// A conversion needs a usable place, a finite day and a month 1..12 of the
// calendar it converts from; without them it is not possible (result 0).  A toleranceSeconds below 1 counts as 1.
VORLIN_API int VORLIN_CALL VorAdToIslamic(VorDate *date, VorLocation *location,
                                          VorConfig *config) {
    if (vorlin::IsUsableLocation(*location) == 0 || vorlin::IsConvertibleDate(*date, 0) == 0) {
        date->hijriValid = 0;
        return 0;
    }
    const VorConfig guarded = vorlin::GuardedConfig(*config);
    RadianFrame frame(location);
    return vorlin::GregorianToHijri(*date, *location, guarded);
}

VORLIN_API int VORLIN_CALL VorIslamicToAd(VorDate *date, VorLocation *location,
                                          VorConfig *config) {
    if (vorlin::IsUsableLocation(*location) == 0 || vorlin::IsConvertibleDate(*date, 1) == 0) return 0;
    const VorConfig guarded = vorlin::GuardedConfig(*config);
    RadianFrame frame(location);
    return vorlin::HijriToGregorian(*date, *location, guarded);
}

VORLIN_API void VORLIN_CALL VorCalculate(VorDate *date, VorLocation *location,
                                         VorConfig *config, char *text) {
    vorlin::WriteScheduleReport(date, location, config, text, vorlin::TextWriter::UnknownCapacity);
}

VORLIN_API void VORLIN_CALL VorMoonInfo(VorDate *date, VorLocation *location,
                                        VorConfig *config, char *text) {
    vorlin::WriteMoonReport(date, location, config, text, vorlin::TextWriter::UnknownCapacity);
}

VORLIN_API int32_t VORLIN_CALL VorCalculateN(VorDate *date, VorLocation *location,
                                             VorConfig *config, char *text, int32_t capacity) {
    return vorlin::ReportLengthForHost(vorlin::WriteScheduleReport(
        date, location, config, text, vorlin::HostCapacity(text, capacity)));
}

VORLIN_API int32_t VORLIN_CALL VorMoonInfoN(VorDate *date, VorLocation *location,
                                            VorConfig *config, char *text, int32_t capacity) {
    return vorlin::ReportLengthForHost(vorlin::WriteMoonReport(
        date, location, config, text, vorlin::HostCapacity(text, capacity)));
}

VORLIN_API void VORLIN_CALL VorQiblaInfo(VorLocation *location, VorDate *date,
                                         double *direction, double *distance,
                                         double *declination) {
    // No place, no qibla: the three outputs get the no-value marker.
    if (vorlin::HasUsableCoordinates(*location) == 0) {
        *direction = *distance = *declination = vorlin::TimeNotValid;
        return;
    }
    RadianFrame frame(location);
    vorlin::QiblaDirectionAndDistance(*location, direction, distance);
    *direction *= vorlin::RadToDeg;
    // The radian direction lies in [0, 2 pi); its last bit can round up to 360.
    if (*direction >= 360.0) *direction = 0.0;
    // The field model needs a date: a finite day in a month 1..12.
    if (vorlin::IsConvertibleDate(*date, 0) == 0) {
        *declination = vorlin::TimeNotValid;
        return;
    }
    *declination = vorlin::MagneticDeclination(location->latitude, location->longitude,
                                               location->height * 0.001, *date) *
                   vorlin::RadToDeg;
}

}  // extern "C"

// The six exported functions.  Each is a thin frame around one worker: the
// host's latitude and longitude are turned into radians in place for the
// duration of the call and back into degrees afterwards, also when the
// worker fails.

#include "vorlin.h"

#include "astro/constants.h"
#include "calendar/hijri.h"
#include "calendar/julian_day.h"
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

}  // namespace

std::size_t WriteScheduleReport(VorDate *date, VorLocation *location, VorConfig *config,
                                char *text, std::size_t capacity) {
    RadianFrame frame(location);
    TextWriter writer(text, capacity);
    WritePrayerSchedule(*date, *location, *config, writer);
    return writer.Length();
}

std::size_t WriteMoonReport(VorDate *date, VorLocation *location, VorConfig *config, char *text,
                            std::size_t capacity) {
    RadianFrame frame(location);
    TextWriter writer(text, capacity);
    WriteMoonInformation(*date, *location, *config, writer);
    return writer.Length();
}

}  // namespace vorlin

using vorlin::RadianFrame;

extern "C" {

VORLIN_API int VORLIN_CALL VorisValidDate(VorDate *date, int hijri) {
    return vorlin::IsValidDate(*date, hijri);
}

VORLIN_API int VORLIN_CALL VorAdToIslamic(VorDate *date, VorLocation *location,
                                          VorConfig *config) {
    RadianFrame frame(location);
    return vorlin::GregorianToHijri(*date, *location, *config);
}

VORLIN_API int VORLIN_CALL VorIslamicToAd(VorDate *date, VorLocation *location,
                                          VorConfig *config) {
    RadianFrame frame(location);
    return vorlin::HijriToGregorian(*date, *location, *config);
}

VORLIN_API void VORLIN_CALL VorCalculate(VorDate *date, VorLocation *location,
                                         VorConfig *config, char *text) {
    vorlin::WriteScheduleReport(date, location, config, text, vorlin::TextWriter::UnknownCapacity);
}

VORLIN_API void VORLIN_CALL VorMoonInfo(VorDate *date, VorLocation *location,
                                        VorConfig *config, char *text) {
    vorlin::WriteMoonReport(date, location, config, text, vorlin::TextWriter::UnknownCapacity);
}

VORLIN_API void VORLIN_CALL VorQiblaInfo(VorLocation *location, VorDate *date,
                                         double *direction, double *distance,
                                         double *declination) {
    RadianFrame frame(location);
    vorlin::QiblaDirectionAndDistance(*location, direction, distance);
    *direction *= vorlin::RadToDeg;
    // The radian direction lies in [0, 2 pi); its last bit can round up to 360.
    if (*direction >= 360.0) *direction = 0.0;
    *declination = vorlin::MagneticDeclination(location->latitude, location->longitude,
                                               location->height * 0.001, *date) *
                   vorlin::RadToDeg;
}

}  // extern "C"

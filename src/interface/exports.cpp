// The six exported functions.  Each is a thin frame around one worker: the
// host's latitude and longitude are turned into radians in place for the
// duration of the call and back into degrees afterwards, also when the
// worker fails.

#include "vorlin.h"

#include "astro/constants.h"
#include "calendar/julian_day.h"

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
}  // namespace vorlin

using vorlin::RadianFrame;

extern "C" {

VORLIN_API int VORLIN_CALL VorisValidDate(VorDate *date, int hijri) {
    return vorlin::IsValidDate(*date, hijri);
}

VORLIN_API int VORLIN_CALL VorAdToIslamic(VorDate * /*date*/, VorLocation *location,
                                          VorConfig * /*config*/) {
    RadianFrame frame(location);
    return 0;  // Hijri conversion not built yet: nothing done.
}

VORLIN_API int VORLIN_CALL VorIslamicToAd(VorDate * /*date*/, VorLocation *location,
                                          VorConfig * /*config*/) {
    RadianFrame frame(location);
    return 0;  // Hijri conversion not built yet: nothing done.
}

VORLIN_API void VORLIN_CALL VorCalculate(VorDate * /*date*/, VorLocation *location,
                                         VorConfig * /*config*/, char *text) {
    RadianFrame frame(location);
    text[0] = '\0';  // prayer schedule not built yet
}

VORLIN_API void VORLIN_CALL VorMoonInfo(VorDate * /*date*/, VorLocation *location,
                                        VorConfig * /*config*/, char *text) {
    RadianFrame frame(location);
    text[0] = '\0';  // moon report not built yet
}

VORLIN_API void VORLIN_CALL VorQiblaInfo(VorLocation *location, VorDate * /*date*/,
                                         double *direction, double *distance,
                                         double *declination) {
    RadianFrame frame(location);
    *direction = 0.0;  // qibla not built yet
    *distance = 0.0;
    *declination = 0.0;
}

}  // extern "C"

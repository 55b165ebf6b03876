// The two text reports written into a buffer of known capacity: the entry
// points of the command-line host and the tests.  They are not exported;
// the exports VorCalculate and VorMoonInfo run the same code with a
// capacity of TextWriter::UnknownCapacity.
#pragma once

#include <cstddef>

#include "vorlin.h"

namespace vorlin {

// Prayer schedule (VorCalculate) and moon information (VorMoonInfo).
//   given:    date, config   as for the exports (config.scheduleFlags
//                            selects the span)
//             location       latitude and longitude in DEGREES, as the host
//                            holds them: converted to radians in place for
//                            the call and back afterwards
//             text, capacity a buffer of capacity bytes (text may be null
//                            when capacity is 0)
//   returned: the length of the whole report (without its NUL), also when
//             it does not fit; text holds its first capacity - 1 bytes and
//             a NUL (nothing when capacity is 0).  A buffer of the returned
//             length + 1 holds the whole report.
std::size_t WriteScheduleReport(VorDate *date, VorLocation *location, VorConfig *config,
                                char *text, std::size_t capacity);
std::size_t WriteMoonReport(VorDate *date, VorLocation *location, VorConfig *config, char *text,
                            std::size_t capacity);

}  // namespace vorlin

// One station, epoch after epoch; see the header.
#include "GNSS/Tide.h"

namespace havorkastilo {

Tide::Tide(const TidePoint& point, Ephemeris ephemeris) : point_(point), bodies_(ephemeris) {}

}  // namespace havorkastilo

#include "GNSS/elipsoid.h"

#include <cmath>

#include "PROGINC/ProgramError.h"

namespace {

// One row of the ellipsoid table: semi-major axis in metres and flattening.
// The flattening is the double-precision quotient 1/(inverse flattening); the
// division is done in double on purpose, so that the stored extended value is
// exactly that double.
struct EllipsoidRow {
    double a;
    double f;
};

const EllipsoidRow kEllipsoids[] = {
    {6378137.0, 1.0 / 298.257222101},  // GRS80
    {6378137.0, 1.0 / 298.257223563},  // WGS84
    {6378136.0, 1.0 / 298.257839303},  // PZ-90
    {6377397.155, 1.0 / 299.1528128},  // Bessel 1841
    {6371000.0, 0.0},                  // sphere of radius 6371 km
};

}  // namespace

elipsoid::elipsoid() : a(kEllipsoids[elipsoidns::GRS80].a), f(kEllipsoids[elipsoidns::GRS80].f) {}

void elipsoid::Set(int elp) {
    if (elp < elipsoidns::GRS80 || elp > elipsoidns::SPHERE) {
        ProgramError("Havorkastilo", "Improper ELLIPSOID setting!");
    }
    a = kEllipsoids[elp].a;
    f = kEllipsoids[elp].f;
}

long double elipsoid::GetE() const {
    return std::sqrt(f * 2 - f * f);
}

long double elipsoid::GetESQR() const {
    return f * 2 - f * f;
}

long double elipsoid::GetB() const {
    return a * (1 - f);
}

long double elipsoid::GetE2() const {
    const long double e2 = GetESQR();
    return std::sqrt(e2 / (1 - e2));
}

long double elipsoid::GetF2() const {
    return f / (1 - f);
}

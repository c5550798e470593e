// TidePoint: the solid Earth tide at one point, for the bodies and time
// arguments of a TideEpoch.  The per-point half of the computing core.
//
// A point is set up once from its position, geodetic on the GRS80 ellipsoid
// or Earth-fixed Cartesian, and an optional geometry mode; then At or
// Displacement gives, for any TideEpoch:
//   - the displacement in the point's local geodetic frame, north, east and
//     up (along the ellipsoid normal), metres;
//   - the same displacement in Earth-fixed geocentric axes (x toward the
//     Greenwich meridian, z toward the pole), metres;
//   - (At only) the Sun and the Moon as handed to the model, and the
//     geodetic longitude and latitude of their directions taken at the
//     point's geocentric distance, as the program's Sun and Moon columns show
//     them.
// The model is that of the IERS Conventions (2010), conventional tide-free
// (SolidEarthTide.h).  The results are those of the program's rows for the
// same station, epoch, ephemeris and geometry mode, to the last bit.
//
// Geometry modes move the Sun and the Moon to chosen longitudes relative to
// the point's meridian, keeping their latitudes and distances; when several
// are set they run in the order coLinear, orthoSun, orthoMoon, orthoNone, so
// the last of them decides each body's longitude.
//
// Threads: At and Displacement are const and write nothing but their
// results, so any number of threads may call them at once, on one object or
// on their own, with one shared TideEpoch.  Setting a point up (the
// constructors, Set) writes the object.
//
// Cost: setting up a point costs about what one epoch's displacement costs
// (the station terms of every constituent are found once); nothing is
// allocated by either.
#ifndef GNSS_TIDEPOINT_H
#define GNSS_TIDEPOINT_H

#include "GNSS/SolidEarthTide.h"
#include "GNSS/TideEpoch.h"
#include "GNSS/elipsoid.h"
#include "GNSS/flh.h"
#include "GNSS/g_lg.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"

namespace havorkastilo {

// Text of the report for a point at the Earth's centre, which has no
// direction: "POLOZAJ TOCKE JE V SREDISCU ZEMLJE [ X = Y = Z = 0 ] - SMER
// TOCKE NI DOLOCENA" (the point is at the centre of the Earth, its direction
// is undefined), reported by "Havorkastilo" with status 1.
extern const char* const kGeocentreError;

// The geometry modes (the program's -gk, -goS, -goL, -goN).
struct GeometryModes {
    bool coLinear = false;   // Sun and Moon on the point's meridian
    bool orthoSun = false;   // Sun on the meridian, Moon 90 degrees east of it
    bool orthoMoon = false;  // Moon on the meridian, Sun 90 degrees east of it
    bool orthoNone = false;  // Sun 90 degrees east, Moon 90 degrees west
};

// The tide at one point and epoch.
struct TideResult {
    neu local;         // displacement, north, east, up, metres
    xyz ecef;          // the same displacement, Earth-fixed axes, metres
    xyz sunU, moonU;   // unit vectors toward the bodies, Earth-fixed, geometry modes applied
    long double sunR;  // geocentric distance of the Sun, metres
    long double moonR;
    // Geodetic longitude and latitude (radians, longitude in [-pi, pi]) of
    // the direction toward each body at the point's geocentric distance.
    long double sunLon, sunLat, moonLon, moonLat;
};

class TidePoint {
  public:
    // A point given in both forms, geodetic (posG: latitude, longitude in
    // radians, ellipsoidal height in metres) and Earth-fixed (posX, metres),
    // which describe the same point on elps: the program's settings hold
    // both.  A posX at the Earth's centre (x = y = z = 0) is reported through
    // the seam of PROGINC/ProgramExit.h (kGeocentreError).
    TidePoint(const flh& posG, const xyz& posX, const elipsoid& elps,
              const GeometryModes& modes = GeometryModes());

    // A point given geodetically on GRS80; its Earth-fixed position is
    // flh2xyz of it (as the program's -pd, -pc, -pr derive it).
    static TidePoint Geodetic(const flh& posG, const GeometryModes& modes = GeometryModes());
    // A point given in Earth-fixed metres; its geodetic position is xyz2flh
    // of it on GRS80 (as the program's -px derives it).
    static TidePoint EarthFixed(const xyz& posX, const GeometryModes& modes = GeometryModes());

    // Sets this object up for another point (as the constructor), keeping
    // the ellipsoid and the geometry modes: for visiting many points with
    // one object.
    void Set(const flh& posG, const xyz& posX);
    void SetGeodetic(const flh& posG);

    // A geodetic latitude or longitude (radians) with its sine and cosine
    // (numerics::SinCos of it).
    struct Angle {
        long double rad, sin, cos;
        explicit Angle(long double a);
    };
    // Sets this object up for the geodetic point (lat, lon, height h in
    // metres) on its ellipsoid, with the sines and cosines found beforehand:
    // for the nodes of a grid, which share them along rows and columns.  The
    // same set-up, to the last bit, as SetGeodetic(flh(lat, lon, h)).
    void SetGeodetic(const Angle& lat, const Angle& lon, long double h);

    // Everything of the point at epoch e.
    TideResult At(const TideEpoch& e) const;

    // The displacement alone (what At gives in local and ecef, the same
    // bits), without the bodies' longitudes and latitudes.
    void Displacement(const TideEpoch& e, neu& local, xyz& ecef) const;

    // The point: geodetic latitude and longitude (radians), ellipsoidal
    // height (metres), and Earth-fixed (metres).  The geodetic values are
    // kept as given, unchecked, as the program keeps them.
    long double Latitude() const { return lat_; }
    long double Longitude() const { return lon_; }
    long double Height() const { return height_; }
    const xyz& EarthFixed() const { return posX_; }

  private:
    // A longitude [rad] of the geometry modes with its cosine and sine.
    struct Meridian {
        long double la = 0, cosla = 1, sinla = 0;
        Meridian() = default;
        explicit Meridian(long double l);
    };

    // The longitudes of the geometry modes for a point at longitude l.
    void SetMeridians(long double l);
    // The bodies of e with the geometry modes applied.
    void Bodies(const TideEpoch& e, xyz& sunU, xyz& moonU) const;
    void PutAtLongitude(xyz& body, const Meridian& m) const;
    // Geodetic longitude and latitude of the direction u at the point's
    // geocentric distance.
    void Direction(const xyz& u, long double& lon, long double& lat) const;

    GeometryModes modes_;
    bool anyMode_;
    elipsoid elps_;
    long double lat_, lon_, height_;
    xyz posX_;
    long double posMag_;  // geocentric distance of the point, metres
    LocalFrame frame_;
    Meridian atL_, east_, west_;  // L, L + pi/2, L - pi/2 (set only with a mode)
    SolidEarthTide tide_;         // the model with the point's station terms
};

}  // namespace havorkastilo

#endif  // GNSS_TIDEPOINT_H

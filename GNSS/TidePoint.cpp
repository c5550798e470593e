// The per-point half of the tide; see the header.
#include "GNSS/TidePoint.h"

#include <cmath>

#include "GNSS/xyz_flh.h"
#include "PROGINC/ProgramError.h"
#include "PROGINC/ProgramUtil.h"
#include "funkcije/Numerics.h"

namespace havorkastilo {

const char* const kGeocentreError =
    "POLOZAJ TOCKE JE V SREDISCU ZEMLJE [ X = Y = Z = 0 ] - SMER TOCKE NI DOLOCENA";

namespace {

// pi/2 in double precision (1.5707963267948966), the longitude offset of the
// geometry modes.
constexpr long double kQuarterTurn = numerics::kPi / 2;

elipsoid Grs80() {
    elipsoid e;
    e.Set(elipsoidns::GRS80);
    return e;
}

}  // namespace

TidePoint::Meridian::Meridian(long double l) : la(l), cosla(std::cos(l)), sinla(std::sin(l)) {}

TidePoint::TidePoint(const flh& posG, const xyz& posX, const elipsoid& elps,
                     const GeometryModes& modes)
    : modes_(modes),
      anyMode_(modes.coLinear || modes.orthoSun || modes.orthoMoon || modes.orthoNone),
      elps_(elps),
      lat_(0),
      lon_(0),
      height_(0),
      posMag_(0),
      frame_(0, 0) {
    Set(posG, posX);
}

TidePoint TidePoint::Geodetic(const flh& posG, const GeometryModes& modes) {
    const elipsoid grs80 = Grs80();
    return TidePoint(posG, flh2xyz(posG, grs80), grs80, modes);
}

TidePoint TidePoint::EarthFixed(const xyz& posX, const GeometryModes& modes) {
    const elipsoid grs80 = Grs80();
    return TidePoint(xyz2flh(posX, grs80), posX, grs80, modes);
}

TidePoint::Angle::Angle(long double a) : rad(a), sin(0), cos(0) {
    numerics::SinCos(a, sin, cos);
}

void TidePoint::SetGeodetic(const Angle& lat, const Angle& lon, long double h) {
    const xyz posX = flh2xyz(h, lat.sin, lat.cos, lon.sin, lon.cos, elps_);
    if (posX.GetX() == 0 && posX.GetY() == 0 && posX.GetZ() == 0)
        ProgramError(kProgramName, kGeocentreError);
    lat_ = lat.rad;
    lon_ = lon.rad;
    height_ = h;
    posX_ = posX;
    posMag_ = posX.GetLength();
    frame_.sf = lat.sin;
    frame_.cf = lat.cos;
    frame_.sl = lon.sin;
    frame_.cl = lon.cos;
    if (anyMode_) SetMeridians(lon.rad);
    tide_.SetStaPosition(posX.GetUnitVector(1), posMag_);
}

void TidePoint::SetGeodetic(const flh& posG) {
    Set(posG, flh2xyz(posG, elps_));
}

void TidePoint::Set(const flh& posG, const xyz& posX) {
    // The tide model needs the point's direction; the geocentre has none.
    if (posX.GetX() == 0 && posX.GetY() == 0 && posX.GetZ() == 0)
        ProgramError(kProgramName, kGeocentreError);
    lat_ = posG.GetF();
    lon_ = posG.GetL();
    height_ = posG.GetH();
    posX_ = posX;
    posMag_ = posX.GetLength();
    frame_ = LocalFrame(posG);
    if (anyMode_) SetMeridians(posG.GetL());
    tide_.SetStaPosition(posX.GetUnitVector(1), posMag_);
}

void TidePoint::SetMeridians(long double l) {
    atL_ = Meridian(l);
    east_ = Meridian(l + kQuarterTurn);
    west_ = Meridian(l - kQuarterTurn);
}

void TidePoint::PutAtLongitude(xyz& body, const Meridian& m) const {
    // The direction turned about the polar axis: latitude and height on the
    // ellipsoid kept, the longitude replaced.
    flh g = xyz2flh(body, elps_);
    g.SetL(m.la);
    body = flh2xyz(g, elps_, m.cosla, m.sinla);
}

void TidePoint::Bodies(const TideEpoch& e, xyz& sunU, xyz& moonU) const {
    sunU = e.SunDirection();
    moonU = e.MoonDirection();
    if (!anyMode_) return;
    if (modes_.coLinear) {
        PutAtLongitude(sunU, atL_);
        PutAtLongitude(moonU, atL_);
    }
    if (modes_.orthoSun) {
        PutAtLongitude(sunU, atL_);
        PutAtLongitude(moonU, east_);
    }
    if (modes_.orthoMoon) {
        PutAtLongitude(sunU, east_);
        PutAtLongitude(moonU, atL_);
    }
    if (modes_.orthoNone) {
        PutAtLongitude(sunU, east_);
        PutAtLongitude(moonU, west_);
    }
}

void TidePoint::Direction(const xyz& u, long double& lon, long double& lat) const {
    // Latitude and longitude of the direction at the point's distance,
    // without the height (xyz2fl: the same longitude as xyz2flh, and a
    // latitude within a few 1e-17 rad of it).
    xyz scaled = u;
    scaled *= posMag_;
    xyz2fl(scaled, elps_, lat, lon);
}

void TidePoint::Displacement(const TideEpoch& e, neu& local, xyz& ecef) const {
    xyz sunU, moonU;
    Bodies(e, sunU, moonU);
    tide_.Displacement(e.TideTerms(), e.TideFactors(), sunU, moonU, ecef);
    local = g2lg(ecef, frame_);
}

TideResult TidePoint::At(const TideEpoch& e) const {
    TideResult r;
    Bodies(e, r.sunU, r.moonU);
    r.sunR = e.SunDistance();
    r.moonR = e.MoonDistance();
    tide_.Displacement(e.TideTerms(), e.TideFactors(), r.sunU, r.moonU, r.ecef);
    r.local = g2lg(r.ecef, frame_);
    Direction(r.sunU, r.sunLon, r.sunLat);
    Direction(r.moonU, r.moonLon, r.moonLat);
    return r;
}

}  // namespace havorkastilo

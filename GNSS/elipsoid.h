// elipsoid: the reference ellipsoid on which geodetic coordinates are given.
//
// An ellipsoid of revolution is held as its semi-major axis a (metres) and its
// flattening f (not the inverse flattening), loaded by number from a small
// fixed table.  The program uses GRS80 (number 0) throughout.
#ifndef GNSS_ELIPSOID_H
#define GNSS_ELIPSOID_H

namespace elipsoidns {

// Numbers of the ellipsoids that elipsoid::Set accepts.
enum { GRS80 = 0, WGS84 = 1, PZ90 = 2, BESSEL = 3, SPHERE = 4 };

}  // namespace elipsoidns

class elipsoid {
  public:
    // GRS80 until Set chooses another; callers are expected to call Set.
    elipsoid();
    elipsoid(const elipsoid& e) = default;
    elipsoid& operator=(const elipsoid& e) = default;

    // Loads row elp of the table:
    //   0 GRS80          a = 6378137 m      1/f = 298.257222101
    //   1 WGS84          a = 6378137 m      1/f = 298.257223563
    //   2 PZ-90          a = 6378136 m      1/f = 298.257839303
    //   3 Bessel 1841    a = 6377397.155 m  1/f = 299.1528128
    //   4 sphere         a = 6371000 m      f = 0
    // The flattening is the quotient 1/(1/f) rounded to double precision and
    // then held as a long double, exactly as the published inverse flattening
    // gives it in double.  Any other number ends the program through
    // ProgramError ("Improper ELLIPSOID setting!", standard error, status 1)
    // and leaves the ellipsoid unchanged.
    void Set(int elp);

    // First eccentricity e = sqrt(2f - f^2), evaluated as sqrt(f*2 - f*f);
    // 0 for the sphere.
    long double GetE() const;

    long double GetA() const { return a; }  // semi-major axis, metres
    long double GetF() const { return f; }  // flattening
    long double GetESQR() const;            // e^2 = f*2 - f*f
    long double GetB() const;               // semi-minor (polar) axis a*(1 - f), metres
    long double GetE2() const;              // second eccentricity e' = sqrt(e^2/(1 - e^2))
    long double GetF2() const;              // second flattening f' = f/(1 - f) = (a - b)/b

  private:
    long double a;  // semi-major axis, metres
    long double f;  // flattening
};

#endif  // GNSS_ELIPSOID_H

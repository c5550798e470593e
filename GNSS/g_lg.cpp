#include "GNSS/g_lg.h"

#include <cmath>

#include "GNSS/xyz_flh.h"

namespace {

// Earth-fixed (x, y, z) into local (n, e, u) in the frame f.
void ToLocal(const LocalFrame& f, long double x, long double y, long double z, long double& n,
             long double& e, long double& u) {
    n = -f.sf * f.cl * x - f.sf * f.sl * y + f.cf * z;
    e = -f.sl * x + f.cl * y;
    u = f.cf * f.cl * x + f.cf * f.sl * y + f.sf * z;
}

// The same at latitude fi, longitude la.
void ToLocal(long double fi, long double la, long double x, long double y, long double z,
             long double& n, long double& e, long double& u) {
    ToLocal(LocalFrame(fi, la), x, y, z, n, e, u);
}

// Local (n, e, u) into Earth-fixed (x, y, z): the transpose of ToLocal.
void ToGlobal(long double fi, long double la, long double n, long double e, long double u,
              long double& x, long double& y, long double& z) {
    const long double sf = std::sin(fi);
    const long double cf = std::cos(fi);
    const long double sl = std::sin(la);
    const long double cl = std::cos(la);
    x = -sf * cl * n - sl * e + cf * cl * u;
    y = -sf * sl * n + cl * e + cf * sl * u;
    z = cf * n + sf * u;
}

// Syy = M S M^T for the rotation R of (fi, la), or its transpose.  S is read
// only through its diagonal and upper triangle.
void Propagate(matrix<long double>& S, long double fi, long double la, bool transpose,
               matrix<long double>& Syy) {
    const long double sf = std::sin(fi);
    const long double cf = std::cos(fi);
    const long double sl = std::sin(la);
    const long double cl = std::cos(la);
    const long double R[3][3] = {
        {-sf * cl, -sf * sl, cf},
        {-sl, cl, 0},
        {cf * cl, cf * sl, sf},
    };
    long double M[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) M[i][j] = transpose ? R[j][i] : R[i][j];
    }

    const long double s00 = S(0, 0);
    const long double s11 = S(1, 1);
    const long double s22 = S(2, 2);
    const long double s01 = S(0, 1);
    const long double s02 = S(0, 2);
    const long double s12 = S(1, 2);
    const long double Sf[3][3] = {
        {s00, s01, s02},
        {s01, s11, s12},
        {s02, s12, s22},
    };

    // The upper triangle is summed and mirrored, so that the result is
    // exactly symmetric whatever the rounding of the two orders of summation.
    long double out[3][3];
    for (int i = 0; i < 3; ++i) {
        for (int j = i; j < 3; ++j) {
            long double sum = 0;
            for (int a = 0; a < 3; ++a) {
                for (int b = 0; b < 3; ++b) sum += M[i][a] * M[j][b] * Sf[a][b];
            }
            out[i][j] = sum;
            out[j][i] = sum;
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) Syy(i, j) = out[i][j];
    }
}

}  // namespace

LocalFrame::LocalFrame(long double fi, long double la)
    : sf(std::sin(fi)), cf(std::cos(fi)), sl(std::sin(la)), cl(std::cos(la)) {}

LocalFrame::LocalFrame(const flh& tcg) : LocalFrame(tcg.GetF(), tcg.GetL()) {}

neu g2lg(const xyz& vec, const LocalFrame& frame) {
    long double n, e, u;
    ToLocal(frame, vec.GetX(), vec.GetY(), vec.GetZ(), n, e, u);
    neu r;
    r.Set(n, e, u);
    return r;
}

neu g2lg(const xyz& vec, const flh& tcg) {
    long double n, e, u;
    ToLocal(tcg.GetF(), tcg.GetL(), vec.GetX(), vec.GetY(), vec.GetZ(), n, e, u);
    neu r;
    r.Set(n, e, u);
    return r;
}

neu g2lg(const xyz& vec, const xyz& tc, const elipsoid& elps) {
    const flh tcg = xyz2flh(tc, elps);
    return g2lg(vec, tcg);
}

xyz lg2g(const neu& vec, const flh& tcg) {
    long double x, y, z;
    ToGlobal(tcg.GetF(), tcg.GetL(), vec.GetN(), vec.GetE(), vec.GetU(), x, y, z);
    return xyz(x, y, z);
}

xyz lg2g(const neu& vec, const xyz& tc, const elipsoid& elps) {
    const flh tcg = xyz2flh(tc, elps);
    return lg2g(vec, tcg);
}

neut gt2lgt(const xyzt& vec, const flht& tcg) {
    long double n, e, u;
    ToLocal(tcg.GetF(), tcg.GetL(), vec.GetX(), vec.GetY(), vec.GetZ(), n, e, u);
    neut r;
    r.Set(n, e, u, vec.GetT());
    return r;
}

neut gt2lgt(const xyzt& vec, const flh& tcg) {
    long double n, e, u;
    ToLocal(tcg.GetF(), tcg.GetL(), vec.GetX(), vec.GetY(), vec.GetZ(), n, e, u);
    neut r;
    r.Set(n, e, u, vec.GetT());
    return r;
}

neut gt2lgt(const xyzt& vec, const xyzt& tc, const elipsoid& elps) {
    const flht tcg = xyzt2flht(tc, elps);
    return gt2lgt(vec, tcg);
}

xyzt lgt2gt(const neut& vec, const flht& tcg) {
    long double x, y, z;
    ToGlobal(tcg.GetF(), tcg.GetL(), vec.GetN(), vec.GetE(), vec.GetU(), x, y, z);
    return xyzt(x, y, z, vec.GetT());
}

xyzt lgt2gt(const neut& vec, const xyzt& tc, const elipsoid& elps) {
    const flht tcg = xyzt2flht(tc, elps);
    return lgt2gt(vec, tcg);
}

void g2lg(matrix<long double>& S, const flh& tcg, matrix<long double>& Syy) {
    Propagate(S, tcg.GetF(), tcg.GetL(), false, Syy);
}

void g2lg(matrix<long double>& S, const flht& tcg, matrix<long double>& Syy) {
    Propagate(S, tcg.GetF(), tcg.GetL(), false, Syy);
}

void lg2g(matrix<long double>& S, const flh& tcg, matrix<long double>& Syy) {
    Propagate(S, tcg.GetF(), tcg.GetL(), true, Syy);
}

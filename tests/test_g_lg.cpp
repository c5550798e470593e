// Local north, east, up frame: vector rotations both ways, the four-valued
// forms and the covariance propagation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "GNSS/elipsoid.h"
#include "GNSS/g_lg.h"
#include "GNSS/xyz_flh.h"
#include "support/capture.h"

namespace {

const long double kPi = 3.141592653589793;

void ExpectNeu(const neu& v, long double n, long double e, long double u, long double tol) {
    EXPECT_NEAR(v.GetN(), n, tol);
    EXPECT_NEAR(v.GetE(), e, tol);
    EXPECT_NEAR(v.GetU(), u, tol);
}

void ExpectXyz(const xyz& v, const xyz& w, long double tol) {
    EXPECT_NEAR(v.GetX(), w.GetX(), tol);
    EXPECT_NEAR(v.GetY(), w.GetY(), tol);
    EXPECT_NEAR(v.GetZ(), w.GetZ(), tol);
}

elipsoid Grs80() {
    elipsoid e;
    e.Set(elipsoidns::GRS80);
    return e;
}

// Symmetric test covariance (m^2), positive definite.
const long double kS[3][3] = {
    {4.0e-4L, 1.5e-4L, -0.7e-4L},
    {1.5e-4L, 9.0e-4L, 2.2e-4L},
    {-0.7e-4L, 2.2e-4L, 2.5e-4L},
};

}  // namespace

TEST(LocalFrame, AxesAtSimplePoints) {
    const long double tol = 1e-18L;
    // On the equator at longitude 0: north is +Z, east +Y, up +X.
    const flh origin(0, 0, 0);
    ExpectNeu(g2lg(xyz(0, 0, 1), origin), 1, 0, 0, tol);
    ExpectNeu(g2lg(xyz(0, 1, 0), origin), 0, 1, 0, tol);
    ExpectNeu(g2lg(xyz(1, 0, 0), origin), 0, 0, 1, tol);
    // At longitude 90 degrees east points to -X.
    ExpectNeu(g2lg(xyz(-1, 0, 0), flh(0, kPi / 2, 0)), 0, 1, 0, 1e-16L);
    // At the north pole (longitude 0) up is +Z and north points to -X.
    ExpectNeu(g2lg(xyz(0, 0, 1), flh(kPi / 2, 0, 0)), 0, 0, 1, 1e-16L);
    ExpectNeu(g2lg(xyz(-1, 0, 0), flh(kPi / 2, 0, 0)), 1, 0, 0, 1e-16L);
    // The height of the point plays no part.
    ExpectNeu(g2lg(xyz(0, 0, 1), flh(0, 0, 1e7)), 1, 0, 0, tol);
}

TEST(LocalFrame, UpVectorAndLengthAtGeneralPoints) {
    for (long double fi : {-1.3L, -0.2L, 0.8L, 1.4L}) {
        for (long double la : {-3.0L, -0.5L, 0.25L, 2.9L}) {
            const flh p(fi, la, 300);
            const xyz up(std::cos(fi) * std::cos(la), std::cos(fi) * std::sin(la), std::sin(fi));
            ExpectNeu(g2lg(up, p), 0, 0, 1, 1e-18L);
            ExpectNeu(g2lg(up * -2.5L, p), 0, 0, -2.5L, 1e-17L);
            // The horizontal plane is perpendicular to up.
            const xyz v(0.3L, -1.7L, 2.2L);
            const neu l = g2lg(v, p);
            EXPECT_NEAR(l.GetU(), v * up, 1e-17L);
            EXPECT_NEAR(l.GetLength(), v.GetLength(), 1e-17L);
        }
    }
}

TEST(LocalFrame, RotationsAreInverseToEachOther) {
    const xyz v(0.0123L, -0.0456L, 0.1789L);
    const neu n(-0.31L, 0.07L, 0.52L);
    for (long double fi : {-1.5L, -0.6L, 0.0L, 0.8L, 1.5L}) {
        for (long double la : {-3.1L, -1.0L, 0.0L, 0.25L, 3.1L}) {
            const flh p(fi, la, 0);
            ExpectXyz(lg2g(g2lg(v, p), p), v, 1e-18L);
            const neu back = g2lg(lg2g(n, p), p);
            ExpectNeu(back, n.GetN(), n.GetE(), n.GetU(), 1e-18L);
        }
    }
}

TEST(LocalFrame, PointGivenAsCartesianPosition) {
    const elipsoid grs = Grs80();
    const flh station(0.8037L, 0.2531L, 300);
    const xyz tc = flh2xyz(station, grs);
    const xyz v(0.01L, -0.02L, 0.03L);
    const neu direct = g2lg(v, station);
    ExpectNeu(g2lg(v, tc, grs), direct.GetN(), direct.GetE(), direct.GetU(), 1e-16L);
    ExpectXyz(lg2g(direct, tc, grs), v, 1e-16L);
}

TEST(LocalFrame, TimeValuePassesThroughFourValuedForms) {
    const elipsoid grs = Grs80();
    const flht pt(0.8L, 0.25L, 300, 5);
    const flh p(0.8L, 0.25L, 300);
    const xyzt v(0.5L, -0.25L, 1.0L, 123.456L);
    const neu ref = g2lg(xyz(0.5L, -0.25L, 1.0L), p);

    const neut a = gt2lgt(v, pt);
    const neut b = gt2lgt(v, p);
    const neut c = gt2lgt(v, flht2xyzt(pt, grs), grs);
    for (const neut& r : {a, b, c}) {
        EXPECT_EQ(r.GetT(), 123.456L);
        EXPECT_NEAR(r.GetN(), ref.GetN(), 1e-15L);
        EXPECT_NEAR(r.GetE(), ref.GetE(), 1e-15L);
        EXPECT_NEAR(r.GetU(), ref.GetU(), 1e-15L);
    }

    const xyzt g1 = lgt2gt(a, pt);
    const xyzt g2 = lgt2gt(a, flht2xyzt(pt, grs), grs);
    for (const xyzt& r : {g1, g2}) {
        EXPECT_EQ(r.GetT(), 123.456L);
        EXPECT_NEAR(r.GetX(), 0.5L, 1e-15L);
        EXPECT_NEAR(r.GetY(), -0.25L, 1e-15L);
        EXPECT_NEAR(r.GetZ(), 1.0L, 1e-15L);
    }
}

TEST(Covariance, FullMatrixIsTheProductWithTheRotation) {
    // Fault: the off-diagonal elements were not (M S M^T)(i, j).
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (long double fi : {-0.9L, 0.3L, 0.8037L}) {
        for (long double la : {-2.0L, 0.2531L, 1.1L}) {
            const flh p(fi, la, 0);
            // The rows of R, from the vector rotation of the basis vectors.
            long double R[3][3];
            const xyz basis[3] = {xyz(1, 0, 0), xyz(0, 1, 0), xyz(0, 0, 1)};
            for (int j = 0; j < 3; ++j) {
                const neu col = g2lg(basis[j], p);
                R[0][j] = col.GetN();
                R[1][j] = col.GetE();
                R[2][j] = col.GetU();
            }
            // The lower triangle is never read.
            matrix<long double> S(3, 3, nan);
            for (int i = 0; i < 3; ++i) {
                for (int j = i; j < 3; ++j) S(i, j) = kS[i][j];
            }
            matrix<long double> local(3, 3, 0);
            matrix<long double> global(3, 3, 0);
            g2lg(S, p, local);
            lg2g(S, p, global);
            matrix<long double> localT(3, 3, 0);
            g2lg(S, flht(fi, la, 0, 7), localT);
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 3; ++j) {
                    long double rsr = 0;   // (R S R^T)(i, j)
                    long double rtsr = 0;  // (R^T S R)(i, j)
                    for (int k = 0; k < 3; ++k) {
                        for (int m = 0; m < 3; ++m) {
                            rsr += R[i][k] * kS[k][m] * R[j][m];
                            rtsr += R[k][i] * kS[k][m] * R[m][j];
                        }
                    }
                    EXPECT_NEAR(local(i, j), rsr, 1e-19L) << i << j;
                    EXPECT_NEAR(localT(i, j), rsr, 1e-19L) << i << j;
                    EXPECT_NEAR(global(i, j), rtsr, 1e-19L) << i << j;
                    EXPECT_EQ(local(i, j), local(j, i));
                }
            }
            // Rotations keep the trace, and one undoes the other.
            EXPECT_NEAR(local(0, 0) + local(1, 1) + local(2, 2), 4.0e-4L + 9.0e-4L + 2.5e-4L,
                        1e-19L);
            matrix<long double> again(3, 3, 0);
            lg2g(local, p, again);
            for (int i = 0; i < 3; ++i) {
                for (int j = i; j < 3; ++j) EXPECT_NEAR(again(i, j), kS[i][j], 1e-19L);
            }
        }
    }
}

TEST(Covariance, IsotropicVarianceStaysIsotropic) {
    matrix<long double> S(3, 3, 0);
    S(0, 0) = S(1, 1) = S(2, 2) = 2.25e-6L;
    matrix<long double> out(4, 4, -1);  // larger matrices are fine
    g2lg(S, flh(0.7L, -1.3L, 0), out);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(out(i, j), i == j ? 2.25e-6L : 0.0L, 1e-21L);
    }
    EXPECT_EQ(out(3, 3), -1.0L);  // only the 3x3 block is written
}

TEST(Covariance, TooSmallMatrixEndsThroughTheAccessCheck) {
    matrix<long double> S(2, 3, 0);
    matrix<long double> out(3, 3, 0);
    auto o = testsupport::Capture([&] { g2lg(S, flh(0.1L, 0.2L, 0), out); });
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("Row index not in range: "), std::string::npos) << o.out;
}

TEST(CovarianceDeathTest, TooSmallResultEndsWithStatusOne) {
    matrix<long double> S(3, 3, 1);
    matrix<long double> out(3, 2, 0);
    EXPECT_EXIT(lg2g(S, flh(0.1L, 0.2L, 0), out), testing::ExitedWithCode(1), "");
}

// Cartesian vectors xyz and xyzt: geometry, arithmetic, equality tolerance and
// the stream layouts with their unit factors.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "GNSS/xyz.h"
#include "GNSS/xyzt.h"
#include "support/capture.h"

namespace {

const long double kPi = 3.141592653589793;

// Restores every print setting a test may change.
class XyzStreams : public testing::Test {
  protected:
    void TearDown() override {
        xyzns::NDec = 4;
        xyzns::Width = 14;
        xyzns::Unit = 1;
        xyztns::NDec = 4;
        xyztns::NDecT = 6;
        xyztns::Width = 14;
        xyztns::WidthT = 12;
        xyztns::PrintTime = 1;
        xyztns::Unit = 1;
        xyztns::UnitT = 1;
    }
};

void ExpectNear(const xyz& v, long double x, long double y, long double z, long double tol) {
    EXPECT_NEAR(v.GetX(), x, tol);
    EXPECT_NEAR(v.GetY(), y, tol);
    EXPECT_NEAR(v.GetZ(), z, tol);
}

std::string Printed(const xyz& v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

std::string Printed(const xyzt& v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

}  // namespace

TEST(VectorBasics, ConstructionAccessorsAndLength) {
    const xyz zero;
    EXPECT_EQ(zero.GetX(), 0.0L);
    EXPECT_EQ(zero.GetY(), 0.0L);
    EXPECT_EQ(zero.GetZ(), 0.0L);
    xyz v(3, 4, 12);
    EXPECT_EQ(v.GetLength(), 13.0L);
    v.Set(-1, 2, -3);
    v.SetY(5);
    EXPECT_EQ(v.GetX(), -1.0L);
    EXPECT_EQ(v.GetY(), 5.0L);
    EXPECT_EQ(v.GetZ(), -3.0L);

    const xyzt t0;
    EXPECT_EQ(t0.GetT(), 0.0L);
    xyzt t(2, 3, 6, 9);
    EXPECT_EQ(t.GetLength(), 7.0L);  // dt takes no part
    t.SetT(1.5);
    t.SetZ(-6);
    EXPECT_EQ(t.GetT(), 1.5L);
    EXPECT_EQ(t.GetLength(), 7.0L);
}

TEST(UnitVector, DirectionSignAndScale) {
    ExpectNear(xyz(3, 0, 4).GetUnitVector(1), 0.6L, 0, 0.8L, 1e-18L);
    ExpectNear(xyz(3, 0, 4).GetUnitVector(-1), -0.6L, 0, -0.8L, 1e-18L);
    // |sign| sets the length.
    EXPECT_NEAR(xyz(1, 2, 2).GetUnitVector(3).GetLength(), 3.0L, 1e-17L);
    // A Sun-distance vector and a tiny one are both brought to length 1.
    ExpectNear(xyz(0, -1.496e11, 0).GetUnitVector(1), 0, -1, 0, 1e-18L);
    ExpectNear(xyz(0, 0, 2e-9).GetUnitVector(1), 0, 0, 1, 1e-18L);

    const xyzt t = xyzt(3, 0, 4, 7).GetUnitVector(-1);
    EXPECT_NEAR(t.GetX(), -0.6L, 1e-18L);
    EXPECT_NEAR(t.GetZ(), -0.8L, 1e-18L);
    EXPECT_EQ(t.GetT(), 0.0L);
}

TEST(UnitVector, ZeroVectorGivesNaNWithoutStopping) {
    auto o = testsupport::Capture([] {
        const xyz u = xyz().GetUnitVector(1);
        EXPECT_TRUE(std::isnan(u.GetX()));
        EXPECT_TRUE(std::isnan(u.GetY()));
        EXPECT_TRUE(std::isnan(u.GetZ()));
        const xyzt ut = xyzt(0, 0, 0, 5).GetUnitVector(1);
        EXPECT_TRUE(std::isnan(ut.GetX()));
    });
    EXPECT_FALSE(o.exited);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
}

TEST(Rotations, QuarterTurnsAboutEachAxis) {
    // The double pi is 1.2246e-16 short of the true one, so cos(pi/2) leaves
    // about 6.1e-17 in the component that should vanish.
    const long double tol = 1e-16L;
    ExpectNear(xyz(1, 0, 0).RotateZ(kPi / 2), 0, 1, 0, tol);
    ExpectNear(xyz(0, 1, 0).RotateX(kPi / 2), 0, 0, 1, tol);
    ExpectNear(xyz(0, 0, 1).RotateY(kPi / 2), 1, 0, 0, tol);
    // The other axes of each turn, counter-clockwise seen from the axis tip.
    ExpectNear(xyz(0, 1, 0).RotateZ(kPi / 2), -1, 0, 0, tol);
    ExpectNear(xyz(0, 0, 1).RotateX(kPi / 2), 0, -1, 0, tol);
    ExpectNear(xyz(1, 0, 0).RotateY(kPi / 2), 0, 0, -1, tol);
    // The axis itself stays.
    ExpectNear(xyz(0, 0, 2).RotateZ(1.1L), 0, 0, 2, 0);
}

TEST(Rotations, GeneralAngleKeepsLengthAndSource) {
    const xyz v(1, 0, 0);
    const xyz r = v.RotateZ(0.3L);
    ExpectNear(r, std::cos(0.3L), std::sin(0.3L), 0, 1e-19L);
    EXPECT_EQ(v.GetX(), 1.0L);  // the source is not changed
    const xyz w(1.5, -2.5, 3.25);
    EXPECT_NEAR(w.RotateX(2.0L).GetLength(), w.GetLength(), 1e-17L);
    EXPECT_NEAR(w.RotateY(-0.7L).GetLength(), w.GetLength(), 1e-17L);
    // A turn and its opposite cancel.
    ExpectNear(w.RotateY(0.9L).RotateY(-0.9L), 1.5L, -2.5L, 3.25L, 1e-17L);

    const xyzt t(1, 0, 0, 42);
    const xyzt rt = t.RotateZ(kPi / 2);
    EXPECT_NEAR(rt.GetY(), 1.0L, 1e-18L);
    EXPECT_EQ(rt.GetT(), 42.0L);
    EXPECT_EQ(t.RotateX(1).GetT(), 42.0L);
    EXPECT_EQ(t.RotateY(1).GetT(), 42.0L);
}

TEST(Equality, ToleranceIsStrictlyBelowOneE14) {
    const xyz a(1, 2, 3);
    EXPECT_FALSE(a == xyz(1 + 2e-14L, 2, 3));
    EXPECT_TRUE(a != xyz(1, 2, 3 - 2e-14L));
    EXPECT_TRUE(a == xyz(1 + 0.5e-14L, 2 - 0.5e-14L, 3 + 0.5e-14L));
    EXPECT_FALSE(a != xyz(1, 2, 3));
    // The same object is equal to itself even when it holds NaN.
    const xyz n(std::nanl(""), 0, 0);
    EXPECT_TRUE(n == n);
    EXPECT_FALSE(n == xyz(n));

    const xyzt t(1, 2, 3, 4);
    EXPECT_TRUE(t == xyzt(1, 2, 3, 4 + 0.5e-14L));
    EXPECT_FALSE(t == xyzt(1, 2, 3, 4 + 2e-14L));
    EXPECT_TRUE(t != xyzt(1 - 2e-14L, 2, 3, 4));
}

TEST(Arithmetic, SumsScalingAndProducts) {
    const xyz a(1, 2, 3);
    const xyz b(4, -5, 6);
    ExpectNear(a + b, 5, -3, 9, 0);
    ExpectNear(a - b, -3, 7, -3, 0);
    ExpectNear(a * 2, 2, 4, 6, 0);
    ExpectNear(-0.5L * a, -0.5L, -1, -1.5L, 0);
    EXPECT_EQ(a * b, 4.0L - 10 + 18);
    xyz c(a);
    c += b;
    c -= a;
    ExpectNear(c, 4, -5, 6, 0);
    c *= 3;
    c /= 6;
    ExpectNear(c, 2, -2.5L, 3, 0);
    ExpectNear(CrossP(xyz(1, 0, 0), xyz(0, 1, 0)), 0, 0, 1, 0);
    ExpectNear(CrossP(a, b), 2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4, 0);
    ExpectNear(ElementP(a, b), 4, -10, 18, 0);
    ExpectNear(sqrt(xyz(4, 9, 0.25L)), 2, 3, 0.5L, 0);
    EXPECT_TRUE(std::isnan(sqrt(xyz(-1, 0, 0)).GetX()));
    xyz d(1, -1, 0);
    d /= 0;
    EXPECT_TRUE(std::isinf(d.GetX()) && d.GetX() > 0);
    EXPECT_TRUE(std::isinf(d.GetY()) && d.GetY() < 0);
    EXPECT_TRUE(std::isnan(d.GetZ()));
}

TEST(Arithmetic, MixedOperandsIgnoreTheTimeValue) {
    const xyz a(1, 2, 3);
    const xyzt t(10, 20, 30, 99);
    ExpectNear(a + t, 11, 22, 33, 0);
    ExpectNear(a - t, -9, -18, -27, 0);
    ExpectNear(t + a, 11, 22, 33, 0);
    ExpectNear(t - a, 9, 18, 27, 0);
    EXPECT_EQ(a * t, 10.0L + 40 + 90);
    xyz c(a);
    c += t;
    ExpectNear(c, 11, 22, 33, 0);
    c -= t;
    ExpectNear(c, 1, 2, 3, 0);
    c = t;
    ExpectNear(c, 10, 20, 30, 0);
}

TEST(Arithmetic, TimeValueAddsButIsNotScaled) {
    xyzt t(1, 2, 3, 4);
    t *= 2;
    EXPECT_EQ(t, xyzt(2, 4, 6, 4));
    t /= 4;
    EXPECT_EQ(t, xyzt(0.5L, 1, 1.5L, 4));
    const xyzt s = xyzt(1, 1, 1, 1) + xyzt(2, 3, 4, 5);
    EXPECT_EQ(s.GetT(), 6.0L);
    EXPECT_EQ((s - xyzt(0, 0, 0, 2)).GetT(), 4.0L);
    xyzt u(s);
    u -= s;
    EXPECT_EQ(u, xyzt());
    u += s;
    EXPECT_EQ(u.GetT(), 6.0L);
}

TEST_F(XyzStreams, DefaultLayoutIsThreeFourteenCharacterFields) {
    EXPECT_EQ(Printed(xyz(4194423.5, -1162.25, 0)), "  4194423.5000    -1162.2500        0.0000");
    EXPECT_EQ(Printed(xyz(1, 2, 3)).size(), 42u);
    // Rounding to four decimals.
    EXPECT_EQ(Printed(xyz(0.00005, 1.23456, -0.00004)),
              "        0.0001        1.2346       -0.0000");
}

TEST_F(XyzStreams, UnitFactorsOnWriting) {
    const xyz v(1.5, 1.5, 1.5);
    xyzns::Unit = xyzns::CM;
    EXPECT_EQ(Printed(v), "      150.0000      150.0000      150.0000");
    xyzns::Unit = xyzns::MM;
    EXPECT_EQ(Printed(v), "     1500.0000     1500.0000     1500.0000");
    xyzns::Unit = 0.5;
    EXPECT_EQ(Printed(v), "        3.0000        3.0000        3.0000");
    xyzns::Unit = 1;
    xyzns::Width = 6;
    xyzns::NDec = 1;
    EXPECT_EQ(Printed(v), "   1.5   1.5   1.5");
}

TEST_F(XyzStreams, UnitFactorsOnReading) {
    xyz v;
    xyzns::Unit = 100;
    std::istringstream("150 -150 15") >> v;
    ExpectNear(v, 1.5L, -1.5L, 0.15L, 1e-19L);
    // 1000 reads as kilometres, the opposite of its writing.
    xyzns::Unit = 1000;
    std::istringstream("1.5 2 -0.001") >> v;
    ExpectNear(v, 1500, 2000, -1, 1e-15L);
    xyzns::Unit = 0.5;
    std::istringstream("3 3 3") >> v;
    ExpectNear(v, 1.5L, 1.5L, 1.5L, 0);
}

TEST_F(XyzStreams, FailedReadLeavesTheStreamFailedAndNothingScaled) {
    xyzns::Unit = 100;
    xyz v(7, 8, 9);
    std::istringstream in("250 abc");
    in >> v;
    EXPECT_TRUE(in.fail());
    EXPECT_EQ(v.GetX(), 250.0L);  // read, then left unscaled
    EXPECT_EQ(v.GetZ(), 9.0L);    // never reached
}

TEST_F(XyzStreams, FixedFlagStaysSetAfterWriting) {
    std::ostringstream os;
    os << xyz(1, 2, 3);
    EXPECT_TRUE(os.flags() & std::ios_base::fixed);
    os.str("");
    os << 2.5L;
    EXPECT_EQ(os.str(), "2.5000");
    std::ostringstream ot;
    ot << xyzt(1, 2, 3, 4);
    EXPECT_TRUE(ot.flags() & std::ios_base::fixed);
}

TEST_F(XyzStreams, TimeValueFieldAndItsSwitch) {
    const xyzt t(1, -2, 3, 0.25);
    EXPECT_EQ(Printed(t), "        1.0000       -2.0000        3.0000    0.250000");
    xyztns::UnitT = xyztns::MS;
    EXPECT_EQ(Printed(t).substr(42), "  250.000000");
    xyztns::PrintTime = 0;
    EXPECT_EQ(Printed(t), "        1.0000       -2.0000        3.0000");
    xyztns::PrintTime = 2;  // only 1 prints the time value
    EXPECT_EQ(Printed(t).size(), 42u);
}

TEST_F(XyzStreams, FourValuedUnitFactors) {
    xyztns::Unit = xyztns::CM;
    xyztns::UnitT = 1000;
    xyztns::WidthT = 8;
    xyztns::NDecT = 1;
    EXPECT_EQ(Printed(xyzt(1.5, 0, 0, 0.002)),
              "      150.0000        0.0000        0.0000     2.0");
    xyzt t;
    std::istringstream("150 300 -50 2") >> t;
    EXPECT_NEAR(t.GetX(), 1.5L, 1e-19L);
    EXPECT_NEAR(t.GetY(), 3.0L, 1e-19L);
    EXPECT_NEAR(t.GetZ(), -0.5L, 1e-19L);
    EXPECT_NEAR(t.GetT(), 0.002L, 1e-19L);
    xyztns::Unit = 1000;
    xyztns::UnitT = 1;
    std::istringstream("1.5 0 0 7") >> t;
    EXPECT_EQ(t.GetX(), 1500.0L);
    EXPECT_EQ(t.GetT(), 7.0L);
    EXPECT_EQ(Printed(xyzt(1.5, 0, 0, 0)).substr(0, 14), "     1500.0000");
}

// Reference ellipsoid table, eccentricity, prime-vertical radius and the
// fatal report for an unknown ellipsoid number.
#include <gtest/gtest.h>

#include <cmath>

#include "GNSS/elipsoid.h"
#include "funkcije/PolmeriUkrivljenosti.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

elipsoid Loaded(int elp) {
    elipsoid e;
    e.Set(elp);
    return e;
}

}  // namespace

TEST(EllipsoidTable, AxesAndFlatteningsAreTheDoubleQuotients) {
    struct Row {
        int elp;
        long double a;
        double f;  // 1/(inverse flattening) as a double
    };
    const Row rows[] = {
        {elipsoidns::GRS80, 6378137.0L, 0.003352810681182319},
        {elipsoidns::WGS84, 6378137.0L, 0.0033528106647474805},
        {elipsoidns::PZ90, 6378136.0L, 0.0033528037430194764},
        {elipsoidns::BESSEL, 6377397.155, 0.003342773182174806},
        {elipsoidns::SPHERE, 6371000.0L, 0.0},
    };
    for (const Row& r : rows) {
        const elipsoid e = Loaded(r.elp);
        EXPECT_EQ(e.GetA(), r.a) << "ellipsoid " << r.elp;
        EXPECT_EQ(e.GetF(), static_cast<long double>(r.f)) << "ellipsoid " << r.elp;
    }
}

TEST(EllipsoidTable, FlatteningIsNotTheExtendedQuotient) {
    // The double rounding of 1/298.257222101 leaves a difference of a few
    // 1e-19 against the quotient taken in extended precision.
    const long double extended = 1.0L / 298.257222101L;
    const long double miss = std::fabs(Loaded(elipsoidns::GRS80).GetF() - extended);
    EXPECT_GT(miss, 0.0L);
    EXPECT_LT(miss, 5e-19L);
}

TEST(EllipsoidTable, CopiesKeepTheValues) {
    const elipsoid bessel = Loaded(elipsoidns::BESSEL);
    elipsoid copy(bessel);
    EXPECT_EQ(copy.GetA(), bessel.GetA());
    EXPECT_EQ(copy.GetF(), bessel.GetF());
    elipsoid assigned = Loaded(elipsoidns::SPHERE);
    assigned = bessel;
    EXPECT_EQ(assigned.GetF(), bessel.GetF());
}

TEST(EllipsoidDerived, EccentricitiesAndPolarAxis) {
    const elipsoid grs = Loaded(elipsoidns::GRS80);
    // Published GRS80 values: e^2 = 0.00669438002290, e'^2 = 0.00673949677548,
    // b = 6356752.3141 m.
    EXPECT_NEAR(grs.GetE(), 0.0818191910428L, 1e-13L);
    EXPECT_NEAR(grs.GetE() * grs.GetE(), 0.00669438002290L, 1e-14L);
    EXPECT_NEAR(grs.GetESQR(), 0.00669438002290L, 1e-14L);
    EXPECT_NEAR(grs.GetE2() * grs.GetE2(), 0.00673949677548L, 1e-14L);
    EXPECT_NEAR(grs.GetB(), 6356752.3141L, 1e-4L);
    // f' = (a - b)/b.
    EXPECT_NEAR(grs.GetF2(), (grs.GetA() - grs.GetB()) / grs.GetB(), 1e-18L);
    // WGS84: e^2 = 0.00669437999014.
    EXPECT_NEAR(Loaded(elipsoidns::WGS84).GetESQR(), 0.00669437999014L, 1e-14L);
    EXPECT_EQ(Loaded(elipsoidns::SPHERE).GetE(), 0.0L);
}

TEST(PrimeVerticalRadius, EquatorPolesAndMidLatitude) {
    const long double pi = 3.141592653589793;
    for (int elp = elipsoidns::GRS80; elp <= elipsoidns::SPHERE; ++elp) {
        const elipsoid el = Loaded(elp);
        const long double a = el.GetA();
        const long double e = el.GetE();
        EXPECT_EQ(PolmerN(0.0L, a, e), a) << "ellipsoid " << elp;
        // 1 - e^2 = (1 - f)^2, so at the poles N = a/(1 - f).
        const long double pole = a / (1 - el.GetF());
        EXPECT_NEAR(PolmerN(pi / 2, a, e), pole, 1e-8L) << "ellipsoid " << elp;
        EXPECT_NEAR(PolmerN(-pi / 2, a, e), pole, 1e-8L) << "ellipsoid " << elp;
        const long double s = std::sin(0.8L);
        EXPECT_NEAR(PolmerN(0.8L, a, e), a / std::sqrt(1 - el.GetESQR() * s * s), 1e-8L)
            << "ellipsoid " << elp;
    }
}

TEST(PrimeVerticalRadius, SphereHasOneRadiusEverywhere) {
    const elipsoid sphere = Loaded(elipsoidns::SPHERE);
    for (long double fi : {-1.5L, -0.7L, 0.0L, 0.3L, 1.0L, 1.5707963267948966L}) {
        EXPECT_EQ(PolmerN(fi, sphere.GetA(), sphere.GetE()), 6371000.0L) << fi;
    }
}

TEST(EllipsoidNumber, UnknownNumberIsReportedOnStandardErrorAndLeavesTheValues) {
    for (int bad : {5, -1, 100}) {
        elipsoid e = Loaded(elipsoidns::BESSEL);
        auto o = Capture([&] { e.Set(bad); });
        EXPECT_TRUE(o.exited) << bad;
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err,
                  "\n**** Havorkastilo: Error -> Improper ELLIPSOID setting! ****\n"
                  "     Exiting Havorkastilo ... \n\n");
        EXPECT_EQ(e.GetA(), static_cast<long double>(6377397.155));  // the double constant
        EXPECT_EQ(e.GetF(), static_cast<long double>(0.003342773182174806));
    }
}

TEST(EllipsoidNumberDeathTest, UnknownNumberEndsTheProcessWithStatusOne) {
    EXPECT_EXIT(Loaded(5), testing::ExitedWithCode(1), "Improper ELLIPSOID setting!");
    EXPECT_EXIT(Loaded(-1), testing::ExitedWithCode(1), "Improper ELLIPSOID setting!");
}

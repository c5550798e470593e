// GNSS signal constants: definitions, published values, frequency-ratio
// identities and the GLONASS per-channel tables.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "GNSS/mGNSSc.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

// Relative closeness for the 16-digit values of the constant tables.
void ExpectRel(long double got, long double want, long double rel, const char* what) {
    EXPECT_LE(std::fabs(got - want), rel * std::fabs(want))
        << what << ": got " << static_cast<double>(got) << " want " << static_cast<double>(want);
}

const long double kTable = 2e-15;       // the tables print 16 significant digits
const long double kExt = 4e-18;         // a few roundings in extended precision
volatile long double vc = 299792458.0;  // forces the checks to run at run time

}  // namespace

TEST(GnssDefinitions, WavelengthsAreCOverFrequency) {
    const long double c = vc;
    EXPECT_EQ(GPSc::c, c);
    EXPECT_EQ(GLONASSc::c, c);
    EXPECT_EQ(GALILEOc::c, c);
    EXPECT_EQ(BDSc::c, c);
    EXPECT_EQ(GPSc::lamb0, c / GPSc::freq0);
    EXPECT_EQ(GPSc::lamb1, c / GPSc::freq1);
    EXPECT_EQ(GPSc::lamb2, c / GPSc::freq2);
    EXPECT_EQ(GPSc::lamb5, c / GPSc::freq5);
    EXPECT_EQ(GLONASSc::lamb10, c / GLONASSc::freq10);
    EXPECT_EQ(GLONASSc::lamb20, c / GLONASSc::freq20);
    EXPECT_EQ(GLONASSc::lamb3, c / GLONASSc::freq3);
    EXPECT_EQ(GALILEOc::lamb0, c / GALILEOc::freq0);
    EXPECT_EQ(GALILEOc::lamb1, c / GALILEOc::freq1);
    EXPECT_EQ(GALILEOc::lamb2, c / GALILEOc::freq2);
    EXPECT_EQ(GALILEOc::lamb5, c / GALILEOc::freq5);
    EXPECT_EQ(GALILEOc::lamb8, c / GALILEOc::freq8);
    EXPECT_EQ(BDSc::lamb1, c / BDSc::freq1);
    EXPECT_EQ(BDSc::lamb2, c / BDSc::freq2);
    EXPECT_EQ(BDSc::lamb5, c / BDSc::freq5);
    EXPECT_EQ(BDSc::lamb6, c / BDSc::freq6);
    EXPECT_EQ(BDSc::lamb7, c / BDSc::freq7);
    EXPECT_EQ(BDSc::lamb8, c / BDSc::freq8);
    EXPECT_EQ(GPSc::lamWL, c / (GPSc::freq1 - GPSc::freq2));
    EXPECT_EQ(GALILEOc::lamNL, c / (GALILEOc::freq1 + GALILEOc::freq2));
    EXPECT_EQ(BDSc::lamWL, c / (BDSc::freq2 - BDSc::freq6));
}

TEST(GnssDefinitions, FrequenciesAreThePublishedOnes) {
    EXPECT_EQ(GPSc::freq0, 10230000.0L);
    EXPECT_EQ(GPSc::freq1, 154 * 10230000.0L);
    EXPECT_EQ(GPSc::freq2, 120 * 10230000.0L);
    EXPECT_EQ(GPSc::freq5, 115 * 10230000.0L);
    EXPECT_EQ(GLONASSc::freq0, 178000000.0L);
    EXPECT_EQ(GLONASSc::freq10, 1602000000.0L);
    EXPECT_EQ(GLONASSc::freq20, 1246000000.0L);
    EXPECT_EQ(GLONASSc::freq3, 1202025000.0L);
    EXPECT_EQ(GLONASSc::dfreq10, 562500.0L);
    EXPECT_EQ(GLONASSc::dfreq20, 437500.0L);
    EXPECT_EQ(GALILEOc::freq1, 1575420000.0L);
    EXPECT_EQ(GALILEOc::freq2, 118 * 10230000.0L);
    EXPECT_EQ(GALILEOc::freq5, 1176450000.0L);
    EXPECT_EQ(GALILEOc::freq8, 1191795000.0L);
    EXPECT_EQ(BDSc::freq1, 1575420000.0L);
    EXPECT_EQ(BDSc::freq2, 1561098000.0L);
    EXPECT_EQ(BDSc::freq5, 1176450000.0L);
    EXPECT_EQ(BDSc::freq6, 1268520000.0L);
    EXPECT_EQ(BDSc::freq7, 1207140000.0L);
    EXPECT_EQ(BDSc::freq8, 1191795000.0L);
}

TEST(GnssListedValues, GPS) {
    ExpectRel(GPSc::lamb0, 29.30522561094819L, kTable, "lamb0");
    ExpectRel(GPSc::lamb1, 0.1902936727983649L, kTable, "lamb1");
    ExpectRel(GPSc::lamb2, 0.2442102134245683L, kTable, "lamb2");
    ExpectRel(GPSc::lamb5, 0.2548280487908538L, kTable, "lamb5");
    ExpectRel(GPSc::lamWL, 0.8619184003220056L, kTable, "lamWL");
    ExpectRel(GPSc::lamNL, 0.1069533781421467L, kTable, "lamNL");
    ExpectRel(GPSc::LCion1, 2.545727780163160L, kTable, "LCion1");
    ExpectRel(GPSc::LCion2, 1.545727780163160L, kTable, "LCion2");
    ExpectRel(GPSc::LCwl1, 4.529411764705882L, kTable, "LCwl1");
    ExpectRel(GPSc::LCwl2, 3.529411764705882L, kTable, "LCwl2");
    ExpectRel(GPSc::LCnl1, 0.5620437956204379L, kTable, "LCnl1");
    ExpectRel(GPSc::LCnl2, 0.4379562043795621L, kTable, "LCnl2");
    ExpectRel(GPSc::alpha, 1.646944444444445L, kTable, "alpha");
    ExpectRel(GPSc::f1_f2, 1.283333333333333L, kTable, "f1_f2");
}

TEST(GnssListedValues, GLONASS) {
    ExpectRel(GLONASSc::lamb10, 0.1871363657927591L, kTable, "lamb10");
    ExpectRel(GLONASSc::lamb20, 0.2406038988764045L, kTable, "lamb20");
    ExpectRel(GLONASSc::lamb3, 0.2494061754123250L, kTable, "lamb3");
    // With the ratio 9/7 these are exact binary fractions.
    EXPECT_EQ(GLONASSc::LCion1, 2.53125L);
    EXPECT_EQ(GLONASSc::LCion2, 1.53125L);
    EXPECT_EQ(GLONASSc::LCwl1, 4.5L);
    EXPECT_EQ(GLONASSc::LCwl2, 3.5L);
    EXPECT_EQ(GLONASSc::LCnl1, 0.5625L);
    EXPECT_EQ(GLONASSc::LCnl2, 0.4375L);
    ExpectRel(GLONASSc::alpha, 1.653061224489796L, kTable, "alpha");
    ExpectRel(GLONASSc::f1_f2, 1.285714285714286L, kTable, "f1_f2");
}

TEST(GnssListedValues, Galileo) {
    ExpectRel(GALILEOc::lamb0, 29.30522561094819L, kTable, "lamb0");
    ExpectRel(GALILEOc::lamb1, 0.1902936727983649L, kTable, "lamb1");
    ExpectRel(GALILEOc::lamb2, 0.2483493695843067L, kTable, "lamb2");
    ExpectRel(GALILEOc::lamb5, 0.2548280487908538L, kTable, "lamb5");
    ExpectRel(GALILEOc::lamb8, 0.2515470009523450L, kTable, "lamb8");
    ExpectRel(GALILEOc::lamWL, 0.8140340447485609L, kTable, "lamWL");
    ExpectRel(GALILEOc::lamNL, 0.1077398000402507L, kTable, "lamNL");
    ExpectRel(GALILEOc::LCion1, 2.421977124183006L, kTable, "LCion1");
    ExpectRel(GALILEOc::LCion2, 1.421977124183007L, kTable, "LCion2");
    ExpectRel(GALILEOc::LCwl1, 4.277777777777778L, kTable, "LCwl1");
    ExpectRel(GALILEOc::LCwl2, 3.277777777777778L, kTable, "LCwl2");
    ExpectRel(GALILEOc::LCnl1, 0.5661764705882353L, kTable, "LCnl1");
    ExpectRel(GALILEOc::LCnl2, 0.4338235294117647L, kTable, "LCnl2");
    ExpectRel(GALILEOc::f1_f2, 1.305084745762712L, kTable, "f1_f2");
    ExpectRel(GALILEOc::alpha, 1.703246193622522L, kTable, "alpha");
}

TEST(GnssListedValues, BeiDou) {
    ExpectRel(BDSc::lamb1, 0.1902936727983649L, kTable, "lamb1");
    ExpectRel(BDSc::lamb2, 0.1920394863102765L, kTable, "lamb2");
    ExpectRel(BDSc::lamb5, 0.2548280487908538L, kTable, "lamb5");
    ExpectRel(BDSc::lamb6, 0.2363324646044209L, kTable, "lamb6");
    ExpectRel(BDSc::lamb7, 0.2483493695843067L, kTable, "lamb7");
    ExpectRel(BDSc::lamb8, 0.2515470009523450L, kTable, "lamb8");
    ExpectRel(BDSc::lamWL, 1.024658238145042L, kTable, "lamWL");
    ExpectRel(BDSc::lamNL, 0.1059480318544765L, kTable, "lamNL");
    ExpectRel(BDSc::LCion1, 2.943681770145979L, kTable, "LCion1");
    ExpectRel(BDSc::LCion2, 1.943681770145978L, kTable, "LCion2");
    ExpectRel(BDSc::LCwl1, 5.335664335664336L, kTable, "LCwl1");
    ExpectRel(BDSc::LCwl2, 4.335664335664336L, kTable, "LCwl2");
    ExpectRel(BDSc::LCnl1, 0.5516992046276211L, kTable, "LCnl1");
    ExpectRel(BDSc::LCnl2, 0.4483007953723789L, kTable, "LCnl2");
    ExpectRel(BDSc::f1_f2, 1.230645161290323L, kTable, "f1_f2");
    ExpectRel(BDSc::alpha, 1.514487513007284L, kTable, "alpha");
    ExpectRel(BDSc::alphaG1, 1.018432791852538L, kTable, "alphaG1");
    ExpectRel(BDSc::alphaG2, 1.542403746097815L, kTable, "alphaG2");
}

// The combination coefficients follow from the frequency ratio alone:
// GPS L1/L2 = 154/120 = 77/60, Galileo E1/E5b = 154/118 = 77/59 and BeiDou
// B1I/B3I = 1526/1240 = 763/620 (in units of 1.023 MHz).
TEST(GnssIdentities, CoefficientsFromTheFrequencyRatio) {
    struct Pair {
        const char* name;
        long double p, q;  // f1 : f2 = p : q
        long double ion1, ion2, wl1, wl2, nl1, nl2, ratio, alpha;
    };
    const Pair pairs[] = {
        {"GPS", 77, 60, GPSc::LCion1, GPSc::LCion2, GPSc::LCwl1, GPSc::LCwl2, GPSc::LCnl1,
         GPSc::LCnl2, GPSc::f1_f2, GPSc::alpha},
        {"Galileo", 77, 59, GALILEOc::LCion1, GALILEOc::LCion2, GALILEOc::LCwl1, GALILEOc::LCwl2,
         GALILEOc::LCnl1, GALILEOc::LCnl2, GALILEOc::f1_f2, GALILEOc::alpha},
        {"BeiDou", 763, 620, BDSc::LCion1, BDSc::LCion2, BDSc::LCwl1, BDSc::LCwl2, BDSc::LCnl1,
         BDSc::LCnl2, BDSc::f1_f2, BDSc::alpha},
        {"GLONASS", 9, 7, GLONASSc::LCion1, GLONASSc::LCion2, GLONASSc::LCwl1, GLONASSc::LCwl2,
         GLONASSc::LCnl1, GLONASSc::LCnl2, GLONASSc::f1_f2, GLONASSc::alpha},
    };
    for (const Pair& s : pairs) {
        SCOPED_TRACE(s.name);
        const long double p = s.p, q = s.q;
        ExpectRel(s.ion1, p * p / (p * p - q * q), kExt, "LCion1");
        ExpectRel(s.ion2, q * q / (p * p - q * q), kExt, "LCion2");
        ExpectRel(s.wl1, p / (p - q), kExt, "LCwl1");
        ExpectRel(s.wl2, q / (p - q), kExt, "LCwl2");
        ExpectRel(s.nl1, p / (p + q), kExt, "LCnl1");
        ExpectRel(s.nl2, q / (p + q), kExt, "LCnl2");
        ExpectRel(s.ratio, p / q, kExt, "f1_f2");
        ExpectRel(s.alpha, (p * p) / (q * q), kExt, "alpha");
    }
    // Wide and narrow lanes from the two wavelengths.
    const long double l1 = GPSc::lamb1, l2 = GPSc::lamb2;
    ExpectRel(GPSc::lamWL, l1 * l2 / (l2 - l1), kExt, "GPS lamWL");
    ExpectRel(GPSc::lamNL, l1 * l2 / (l2 + l1), kExt, "GPS lamNL");
}

TEST(GlonassChannels, TablesStartAtZero) {
    // Row 30 is never filled by these tests.
    for (long j = 0; j < 2; ++j) {
        EXPECT_EQ(GLONASSc::freq(30, j), 0.0L);
        EXPECT_EQ(GLONASSc::lamb(30, j), 0.0L);
        EXPECT_EQ(GLONASSc::alphaG(30, j), 0.0L);
    }
    EXPECT_EQ(GLONASSc::lambWL(30, 0), 0.0L);
    EXPECT_EQ(GLONASSc::lambNL(30, 0), 0.0L);
    EXPECT_EQ(GLONASSc::freq.NRow(), 32);
    EXPECT_EQ(GLONASSc::lambWL.NCol(), 1);
}

TEST(GlonassChannels, ChannelZeroAndMinusSeven) {
    GLONASSc::SetFrequency(0, 5);
    EXPECT_EQ(GLONASSc::freq(5, 0), 1602000000.0L);
    EXPECT_EQ(GLONASSc::freq(5, 1), 1246000000.0L);
    EXPECT_EQ(GLONASSc::lamb(5, 0), GLONASSc::lamb10);
    EXPECT_EQ(GLONASSc::lamb(5, 1), GLONASSc::lamb20);
    ExpectRel(GLONASSc::lambWL(5, 0), vc / 356000000.0L, kExt, "lambWL");
    ExpectRel(GLONASSc::lambNL(5, 0), vc / 2848000000.0L, kExt, "lambNL");

    GLONASSc::SetFrequency(-7, 1);
    EXPECT_EQ(GLONASSc::freq(1, 0), 1598062500.0L);
    EXPECT_EQ(GLONASSc::freq(1, 1), 1242937500.0L);
    // Row 5 is untouched by the second call.
    EXPECT_EQ(GLONASSc::freq(5, 0), 1602000000.0L);
}

TEST(GlonassChannels, EveryChannelKeepsTheNineToSevenRatio) {
    const long double L1 = 1575420000.0L;
    for (int k = -7; k <= 6; ++k) {
        SCOPED_TRACE(k);
        const short prn = static_cast<short>(k + 7 + 10);  // rows 10..23
        GLONASSc::SetFrequency(k, prn);
        const long double f1 = GLONASSc::freq(prn, 0), f2 = GLONASSc::freq(prn, 1);
        EXPECT_EQ(f1, 1602000000.0L + 562500.0L * k);
        EXPECT_EQ(9 * f2, 7 * f1);
        ExpectRel(GLONASSc::lamb(prn, 0), vc / f1, kExt, "lamb1");
        ExpectRel(GLONASSc::lamb(prn, 1), vc / f2, kExt, "lamb2");
        // f1 - f2 = 2 f1 / 9 and f1 + f2 = 16 f1 / 9.
        ExpectRel(GLONASSc::lambWL(prn, 0), 9 * vc / (2 * f1), kExt, "lambWL");
        ExpectRel(GLONASSc::lambNL(prn, 0), 9 * vc / (16 * f1), kExt, "lambNL");
        ExpectRel(GLONASSc::alphaG(prn, 0), (L1 * L1) / (f1 * f1), kExt, "alphaG1");
        ExpectRel(GLONASSc::alphaG(prn, 1), (L1 * L1) / (f2 * f2), kExt, "alphaG2");
    }
}

TEST(GlonassChannels, SatelliteOutsideTheTableEndsWithTheRowReport) {
    const std::string frame = std::string(60, '*') + "\n";
    for (short prn : {static_cast<short>(32), static_cast<short>(-1)}) {
        auto o = Capture([prn] { GLONASSc::SetFrequency(0, prn); });
        EXPECT_TRUE(o.exited);
        EXPECT_EQ(o.status, 1);
        const std::string number = prn == 32 ? "   32" : "   -1";
        EXPECT_EQ(o.out, "\n" + frame +
                             "MATRIX::ERROR:\n\n\tOperator:   ()\nRow index not in range: " +
                             number + " -> [    0,   31]\n\n" + frame + "Exiting program...\n\n");
    }
}

TEST(GlonassChannelsDeathTest, RealProcessEndsWithStatusOne) {
    EXPECT_EXIT(GLONASSc::SetFrequency(0, 32), testing::ExitedWithCode(1), "");
}

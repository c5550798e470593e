// Local north, east, up vectors neu and neut: arithmetic and the layouts of
// writing and reading.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "GNSS/neu.h"
#include "GNSS/neut.h"
#include "support/close.h"

namespace {

// Keeps the process-wide print settings of both classes as a test found them.
class Layout : public testing::Test {
  protected:
    void SetUp() override {
        neu_ = {neuns::NDecNE, neuns::NDecU, neuns::WidthNE,
                neuns::WidthU, neuns::Unit,  neuns::PrintType};
        order_ = neuns::Order;
        neut_ = {neutns::NDecNE, neutns::NDecU,  neutns::NDecT, neutns::WidthNE,
                 neutns::WidthU, neutns::WidthT, neutns::UnitT};
    }
    void TearDown() override {
        neuns::NDecNE = neu_[0];
        neuns::NDecU = neu_[1];
        neuns::WidthNE = neu_[2];
        neuns::WidthU = neu_[3];
        neuns::Unit = neu_[4];
        neuns::PrintType = neu_[5];
        neuns::Order = order_;
        neutns::NDecNE = neut_[0];
        neutns::NDecU = neut_[1];
        neutns::NDecT = neut_[2];
        neutns::WidthNE = neut_[3];
        neutns::WidthU = neut_[4];
        neutns::WidthT = neut_[5];
        neutns::UnitT = neut_[6];
    }

    // The settings of the result table: centimetres, 8 characters, 1 decimal.
    static void TableSettings() {
        neuns::WidthU = 8;
        neuns::WidthNE = neuns::WidthU;
        neuns::NDecU = 1;
        neuns::NDecNE = neuns::NDecU;
        neuns::Unit = 100;
    }

    template <typename T>
    static std::string Write(const T& v) {
        std::ostringstream os;
        os << v;
        return os.str();
    }

    // 0.012345 m north, -0.04567 m east, 0.1789 m up.
    const neu tide{0.012345L, -0.04567L, 0.1789L};

  private:
    std::array<std::uint16_t, 6> neu_{};
    std::int16_t order_ = 0;
    std::array<std::uint16_t, 7> neut_{};
};

}  // namespace

TEST_F(Layout, InitialSettingsWriteMetres) {
    EXPECT_EQ(Write(tide), "      0.0123     -0.0457    0.1789");
}

TEST_F(Layout, TableWritesCentimetresInEightCharacters) {
    TableSettings();
    std::ostringstream os;
    os << std::scientific << tide;
    EXPECT_EQ(os.str(), "     1.2    -4.6    17.9");
    EXPECT_EQ(os.str().size(), 24u);
    EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
    // A value wider than its field widens only its own field.
    EXPECT_EQ(Write(neu(123456.0L, 0.0L, -0.0004L)), "12345600.0     0.0    -0.0");
}

TEST_F(Layout, EastFirstForAnyOrderButNorthEast) {
    TableSettings();
    for (std::int16_t order : {0, -1, 2}) {
        neuns::Order = order;
        EXPECT_EQ(Write(tide), "    -4.6     1.2    17.9") << order;
    }
    neuns::Order = neuns::NE;
    EXPECT_EQ(Write(tide), "     1.2    -4.6    17.9");
}

TEST_F(Layout, RinexIsUpEastNorthInMetres) {
    TableSettings();
    neuns::Order = neuns::EN;
    neuns::PrintType = neuns::RINEX;
    EXPECT_EQ(Write(tide), "        0.1789       -0.0457        0.0123");
    // Any other value is the configurable layout.
    neuns::PrintType = 7;
    EXPECT_EQ(Write(tide), "    -4.6     1.2    17.9");
}

TEST_F(Layout, UnitFactorsMultiplyOnlyForCentimetresAndMillimetres) {
    neuns::Unit = neuns::MM;
    EXPECT_EQ(Write(tide), "     12.3450    -45.6700  178.9000");
    neuns::Unit = 2;  // metres per unit
    EXPECT_EQ(Write(neu(2.0L, -4.0L, 10.0L)), "      1.0000     -2.0000    5.0000");
    neuns::Unit = neuns::M;
    EXPECT_EQ(Write(neu(2.0L, -4.0L, 10.0L)), "      2.0000     -4.0000   10.0000");
}

TEST_F(Layout, ReadingUndoesTheUnitAndTheOrder) {
    neu v;
    neuns::Unit = 1000;
    std::istringstream mm("5 3 2");
    mm >> v;
    EXPECT_CLOSE(v.GetN(), 0.005L, 1e-18L);
    EXPECT_CLOSE(v.GetE(), 0.003L, 1e-18L);
    EXPECT_CLOSE(v.GetU(), 0.002L, 1e-18L);

    neuns::Unit = 100;
    neuns::Order = neuns::EN;
    std::istringstream cm("-4.6 1.2 17.9");
    cm >> v;
    EXPECT_CLOSE(v.GetN(), 0.012L, 1e-18L);
    EXPECT_CLOSE(v.GetE(), -0.046L, 1e-18L);
    EXPECT_CLOSE(v.GetU(), 0.179L, 1e-18L);

    neuns::Unit = 2;
    neuns::Order = neuns::NE;
    std::istringstream units("1 -2 5");
    units >> v;
    EXPECT_EQ(v.GetN(), 2.0L);
    EXPECT_EQ(v.GetE(), -4.0L);
    EXPECT_EQ(v.GetU(), 10.0L);

    std::istringstream broken("1 x 5");
    broken >> v;
    EXPECT_TRUE(broken.fail());
    EXPECT_EQ(v.GetN(), 2.0L);
    EXPECT_EQ(v.GetE(), -4.0L);
}

TEST_F(Layout, ReadingInvertsWriting) {
    const neu vectors[] = {tide, neu(-1.25L, 0.5L, 3.75L), neu(0.0L, -0.0001L, 12.5L)};
    for (std::uint16_t unit : {1, 2, 100, 1000}) {
        for (std::int16_t order : {0, 1}) {
            neuns::Unit = unit;
            neuns::Order = order;
            neuns::NDecNE = 10;
            neuns::NDecU = 10;
            // Wide enough that no field runs into the one before it.
            neuns::WidthNE = 24;
            neuns::WidthU = 24;
            for (const neu& v : vectors) {
                std::stringstream io;
                io << v;
                neu w;
                io >> w;
                EXPECT_FALSE(io.fail()) << io.str();
                // Half a unit of the tenth decimal in the written unit.
                const long double tol = unit == 100 || unit == 1000 ? 5e-11L / unit : 5e-11L * unit;
                EXPECT_CLOSE(w.GetN(), v.GetN(), tol) << unit << " " << order;
                EXPECT_CLOSE(w.GetE(), v.GetE(), tol) << unit << " " << order;
                EXPECT_CLOSE(w.GetU(), v.GetU(), tol) << unit << " " << order;
            }
        }
    }
}

TEST(NeuArithmetic, ComponentWiseOperations) {
    const neu a(1.0L, 2.0L, 3.0L);
    const neu b(0.5L, -1.0L, 4.0L);
    const neu sum = a + b;
    EXPECT_EQ(sum.GetN(), 1.5L);
    EXPECT_EQ(sum.GetE(), 1.0L);
    EXPECT_EQ(sum.GetU(), 7.0L);
    const neu diff = a - b;
    EXPECT_EQ(diff.GetN(), 0.5L);
    EXPECT_EQ(diff.GetE(), 3.0L);
    EXPECT_EQ(diff.GetU(), -1.0L);
    EXPECT_TRUE(a * 2.0L == neu(2.0L, 4.0L, 6.0L));
    EXPECT_TRUE(-0.5L * a == neu(-0.5L, -1.0L, -1.5L));
    neu c(a);
    c /= 4.0L;
    EXPECT_TRUE(c == neu(0.25L, 0.5L, 0.75L));
    c += b;
    EXPECT_TRUE(c == neu(0.75L, -0.5L, 4.75L));
    c -= a;
    EXPECT_TRUE(c == neu(-0.25L, -2.5L, 1.75L));
    EXPECT_TRUE(ElementP(a, b) == neu(0.5L, -2.0L, 12.0L));
    EXPECT_TRUE(sqrt(neu(4.0L, 9.0L, 0.25L)) == neu(2.0L, 3.0L, 0.5L));
    EXPECT_TRUE(std::isnan(sqrt(neu(-1.0L, 1.0L, 1.0L)).GetN()));
    EXPECT_EQ(neu(3.0L, 4.0L, 12.0L).GetLength(), 13.0L);
    EXPECT_TRUE(neu() == neu(0.0L, 0.0L, 0.0L));
    neu d;
    d = b;
    EXPECT_TRUE(d == b);
    d.Set(7.0L, 8.0L, 9.0L);
    d.SetN(-1.0L);
    d.SetE(-2.0L);
    d.SetU(-3.0L);
    EXPECT_TRUE(d == neu(-1.0L, -2.0L, -3.0L));
}

TEST(NeuArithmetic, EqualityWithinOneHundredTrillionthOfAMetre) {
    const neu a(1.0L, 2.0L, 3.0L);
    EXPECT_TRUE(a == neu(1.0L + 5e-15L, 2.0L - 5e-15L, 3.0L));
    EXPECT_FALSE(a == neu(1.0L, 2.0L, 3.0L + 2e-14L));
    EXPECT_TRUE(a != neu(1.0L, 2.0L + 1e-13L, 3.0L));
    neu n;
    n.Set(std::nan(""), 0.0L, 0.0L);
    const neu& same = n;
    EXPECT_TRUE(n == same);
    EXPECT_FALSE(n == neu(n));
}

TEST_F(Layout, NeutWritesAllFourInItsOwnSettings) {
    const neut v(0.012345L, -0.04567L, 0.1789L, 12.5L);
    EXPECT_EQ(Write(v), "      0.0123     -0.0457    0.1789 12.500000");
    // The neu settings, its order and its unit play no part.
    TableSettings();
    neuns::Order = neuns::EN;
    neuns::PrintType = neuns::RINEX;
    EXPECT_EQ(Write(v), "      0.0123     -0.0457    0.1789 12.500000");
    neutns::UnitT = neutns::MS;
    neutns::WidthNE = 8;
    neutns::NDecNE = 2;
    neutns::WidthU = 7;
    neutns::NDecU = 3;
    neutns::NDecT = 1;
    std::ostringstream os;
    os << std::scientific << v;
    EXPECT_EQ(os.str(), "    0.01   -0.05  0.179   12500.0");
    EXPECT_EQ(os.flags() & std::ios::floatfield, std::ios::fixed);
}

TEST_F(Layout, NeutReadsFourPlainNumbers) {
    neuns::Unit = 100;
    neuns::Order = neuns::EN;
    neutns::UnitT = neutns::MS;
    neut v;
    std::istringstream in("1.5 -2 3 4.25");
    in >> v;
    EXPECT_EQ(v.GetN(), 1.5L);
    EXPECT_EQ(v.GetE(), -2.0L);
    EXPECT_EQ(v.GetU(), 3.0L);
    EXPECT_EQ(v.GetT(), 4.25L);
    std::istringstream broken("1 2 3");
    broken >> v;
    EXPECT_TRUE(broken.fail());
    EXPECT_EQ(v.GetT(), 4.25L);
}

TEST(NeutArithmetic, AllFourValues) {
    const neut a(1.0L, 2.0L, 3.0L, 10.0L);
    const neut b(0.5L, -1.0L, 4.0L, 2.5L);
    EXPECT_TRUE(a + b == neut(1.5L, 1.0L, 7.0L, 12.5L));
    EXPECT_TRUE(a - b == neut(0.5L, 3.0L, -1.0L, 7.5L));
    neut c(a);
    c += b;
    c -= b;
    EXPECT_TRUE(c == a);
    EXPECT_FALSE(a == neut(1.0L, 2.0L, 3.0L, 10.0L + 1e-13L));
    EXPECT_TRUE(a != neut(1.0L, 2.0L, 3.0L, 11.0L));
    EXPECT_EQ(neut(3.0L, 4.0L, 12.0L, 100.0L).GetLength(), 13.0L);
    neut d;
    d = b;
    EXPECT_TRUE(d == b);
    d.Set(1.0L, 1.0L, 1.0L, 1.0L);
    d.SetN(5.0L);
    d.SetE(6.0L);
    d.SetU(7.0L);
    d.SetT(8.0L);
    EXPECT_TRUE(d == neut(5.0L, 6.0L, 7.0L, 8.0L));
}

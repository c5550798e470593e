// Matrix container: storage order, checked access and its reports, resizing,
// sizes that cannot be held, and copies.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "matrix/matrix.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

const std::string kFrame = std::string(60, '*') + "\n";

// The report of an access error, from the layout of the matrix reports.
std::string IndexReport(const std::string& what, const std::string& numbers) {
    return "\n" + kFrame + "MATRIX::ERROR:\n\n\tOperator:   ()\n" + what + numbers + "\n\n" +
           kFrame + "Exiting program...\n\n";
}

std::string NotSetReport(const std::string& numbers) {
    return IndexReport("Matrix is not set: ", numbers);
}

// Runs an access and returns what it wrote; checks that it ended with status 1.
std::string FailedAccess(const std::function<void()>& access) {
    auto o = Capture(access);
    EXPECT_TRUE(o.exited);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    return o.out;
}

}  // namespace

TEST(MatrixStorage, RowMajorSharedByBothAccesses) {
    matrix<long double> m(32, 2, 0.0);
    for (long i = 0; i < 32; ++i) {
        for (long j = 0; j < 2; ++j) m(i, j) = 10.0 * i + j;
    }
    // Linear index k is row k / 2, column k mod 2.
    for (long k = 0; k < 64; ++k) EXPECT_EQ(m(k), 10.0L * (k / 2) + (k % 2)) << k;
    EXPECT_EQ(&m(31, 1), &m(63));
    EXPECT_EQ(&m(1, 0), &m(0, 0) + 2);
    const matrix<long double>& cm = m;
    EXPECT_EQ(cm(31, 1), 311.0L);
    EXPECT_EQ(cm(5), 21.0L);
}

TEST(MatrixStorage, ConstructorSetsEveryElementForEachElementType) {
    matrix<double> d(2, 3, 1.25);
    matrix<long> l(3, 2, -4);
    matrix<short> s(1, 4, 7);
    matrix<unsigned short> u(4, 1, 65535);
    for (long k = 0; k < 6; ++k) {
        EXPECT_EQ(d(k), 1.25);
        EXPECT_EQ(l(k), -4);
    }
    for (long k = 0; k < 4; ++k) {
        EXPECT_EQ(s(k), 7);
        EXPECT_EQ(u(k), 65535);
    }
    matrix<long double> z(2, 2);
    for (long k = 0; k < 4; ++k) EXPECT_EQ(z(k), 0.0L);
    EXPECT_EQ(d.NRow(), 2);
    EXPECT_EQ(d.NCol(), 3);
    EXPECT_EQ(d.Length(), 6);
}

TEST(MatrixAccessErrors, IndicesOfA32By2Matrix) {
    matrix<long double> m(32, 2, 0.0);
    EXPECT_EQ(FailedAccess([&] { m(32, 0); }),
              IndexReport("Row index not in range: ", "   32 -> [    0,   31]"));
    EXPECT_EQ(FailedAccess([&] { m(64); }),
              IndexReport("Matrix index not in range: ", "   64 -> [    0,   63]"));
    EXPECT_EQ(FailedAccess([&] { m(0, 2); }),
              IndexReport("Column index not in range: ", "    2 -> [    0,    1]"));
}

TEST(MatrixAccessErrors, NegativeIndicesAreReportedLikeOthers) {
    matrix<long double> m(32, 2, 0.0);
    EXPECT_EQ(FailedAccess([&] { m(-1); }),
              IndexReport("Matrix index not in range: ", "   -1 -> [    0,   63]"));
    EXPECT_EQ(FailedAccess([&] { m(-1, 0); }),
              IndexReport("Row index not in range: ", "   -1 -> [    0,   31]"));
    EXPECT_EQ(FailedAccess([&] { m(3, -1); }),
              IndexReport("Column index not in range: ", "   -1 -> [    0,    1]"));
}

TEST(MatrixAccessErrors, ChecksComeInOrderNotSetThenRowThenColumn) {
    matrix<long double> m(32, 2, 0.0);
    // Both indices wrong: the row is reported.
    EXPECT_EQ(FailedAccess([&] { m(40, 5); }),
              IndexReport("Row index not in range: ", "   40 -> [    0,   31]"));
    // A matrix that is not set reports that before looking at the index.
    matrix<long double> e;
    EXPECT_EQ(FailedAccess([&] { e(-1); }), NotSetReport(" [    0,    0]"));
    EXPECT_EQ(FailedAccess([&] { e(0, 0); }), NotSetReport(" [    0,    0]"));
}

TEST(MatrixAccessErrors, ZeroRowsOrColumnsMeanNotSet) {
    matrix<long double> m(3, 2, 1.0);
    m.Resize(0, 2);
    EXPECT_EQ(FailedAccess([&] { m(0); }), NotSetReport(" [    0,    2]"));
    EXPECT_EQ(FailedAccess([&] { m(0, 0); }), NotSetReport(" [    0,    2]"));
    matrix<short> c(4, 0, 1);
    EXPECT_EQ(FailedAccess([&] { c(0, 0); }), NotSetReport(" [    4,    0]"));
}

TEST(MatrixResize, SameSizeKeepsStorageAndOnlyTheValueFormSetsElements) {
    matrix<long double> m(2, 3, 1.0);
    m(1, 2) = 5.0;
    long double* block = &m(0);
    m.Resize(2, 3);
    EXPECT_EQ(&m(0), block);
    EXPECT_EQ(m(1, 2), 5.0L);
    EXPECT_EQ(m(0, 0), 1.0L);
    m.Resize(2, 3, 7.0);
    EXPECT_EQ(&m(0), block);
    for (long k = 0; k < 6; ++k) EXPECT_EQ(m(k), 7.0L) << k;
}

TEST(MatrixResize, NewSizeDropsContents) {
    matrix<long> m(2, 3, 9);
    m.Resize(3, 4);
    EXPECT_EQ(m.NRow(), 3);
    EXPECT_EQ(m.NCol(), 4);
    EXPECT_EQ(m(2, 3), 0);
    EXPECT_EQ(FailedAccess([&] { m(12); }),
              IndexReport("Matrix index not in range: ", "   12 -> [    0,   11]"));
    m.Resize(1, 2, 5);
    EXPECT_EQ(m(0, 1), 5);
    EXPECT_EQ(m.Length(), 2);
}

// Regression: a negative size or an element count that cannot be allocated
// used to reach the allocator; the matrix is now the empty, not-set one.
TEST(MatrixUnholdableSizes, GiveTheEmptyMatrixThatReportsNotSet) {
    matrix<long double> neg(-1, 3, 2.0);
    EXPECT_EQ(neg.NRow(), 0);
    EXPECT_EQ(neg.NCol(), 0);
    EXPECT_EQ(FailedAccess([&] { neg(0); }), NotSetReport(" [    0,    0]"));

    matrix<double> negc(3, -2);
    EXPECT_EQ(negc.Length(), 0);

    matrix<long double> m(2, 2, 1.0);
    m.Resize(-2, 2);
    EXPECT_EQ(m.NRow(), 0);
    EXPECT_EQ(FailedAccess([&] { m(0, 0); }), NotSetReport(" [    0,    0]"));
    m.Resize(2, 2, 3.0);
    EXPECT_EQ(m(1, 1), 3.0L);

    // Beyond the 32-bit size range.
    matrix<short> wide(static_cast<long>(INT32_MAX) + 1, 1, 0);
    EXPECT_EQ(wide.NRow(), 0);
    matrix<long> huge(LONG_MAX, LONG_MAX);
    EXPECT_EQ(huge.Length(), 0);
    // 2^31-1 squared elements of 16 bytes cannot be addressed.
    matrix<long double> overflow(INT32_MAX, INT32_MAX, 0.0);
    EXPECT_EQ(overflow.NRow(), 0);
    EXPECT_EQ(FailedAccess([&] { overflow(0); }), NotSetReport(" [    0,    0]"));
}

TEST(MatrixCopies, AreDeepAndIndependent) {
    matrix<long double> a(2, 2, 1.0);
    matrix<long double> b(a);
    b(0, 0) = 9.0;
    EXPECT_EQ(a(0, 0), 1.0L);
    EXPECT_NE(&a(0), &b(0));

    matrix<long double> c(5, 1, 4.0);
    c = a;
    EXPECT_EQ(c.NRow(), 2);
    EXPECT_EQ(c.NCol(), 2);
    c(1, 1) = 6.0;
    EXPECT_EQ(a(1, 1), 1.0L);

    c = c;  // self-assignment keeps the contents
    EXPECT_EQ(c(1, 1), 6.0L);

    matrix<long double> empty;
    c = empty;
    EXPECT_EQ(c.Length(), 0);
    matrix<long double> fromEmpty(empty);
    EXPECT_EQ(fromEmpty.Length(), 0);

    matrix<long double> moved(std::move(b));
    EXPECT_EQ(moved(0, 0), 9.0L);
    EXPECT_EQ(b.Length(), 0);
    a = std::move(moved);
    EXPECT_EQ(a(0, 0), 9.0L);
}

TEST(MatrixAccessDeathTest, RealProcessEndsWithStatusOne) {
    EXPECT_EXIT(
        {
            matrix<long double> m(32, 2, 0.0);
            m(32, 0) = 1.0;
        },
        testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            matrix<long> m;
            m(0) = 1;
        },
        testing::ExitedWithCode(1), "");
}

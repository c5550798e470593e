// Dense two-dimensional container with checked element access.
//
// Elements are stored row by row in one block: element (i, j) is element
// j + i*c of the block, and the one-index access addresses the block
// directly (linear index k is row k / c, column k mod c).  Rows and columns
// are counted from 0.
//
// A matrix with 0 rows or 0 columns is "not set": every element access on it
// ends the program with a framed report (MError), as does any index outside
// the matrix.  Element access never returns after such a report.
//
// Sizes are limited to the 32-bit signed range, 0 to 2147483647 each.  A size
// outside that range (a negative one in particular), a number of elements
// whose storage cannot be addressed, or an allocation that fails gives the
// empty matrix of 0 rows and 0 columns, so that the first access reports
// "Matrix is not set" instead of touching memory that does not exist.
//
// Copies are deep: a copy owns its own block.
#ifndef MATRIX_MATRIX_H
#define MATRIX_MATRIX_H

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "matrix/MError.h"

template <class IT>
class matrix {
  public:
    // The empty matrix (0 x 0, not set).
    matrix() : r(0), c(0), v(nullptr) {}

    // rows x cols elements, each value-initialised (0 for numbers).
    matrix(long rows, long cols) : r(0), c(0), v(nullptr) { Allocate(rows, cols); }

    // rows x cols elements, each set to value.
    matrix(long rows, long cols, IT value) : r(0), c(0), v(nullptr) {
        Allocate(rows, cols);
        Fill(value);
    }

    matrix(const matrix& m) : r(0), c(0), v(nullptr) {
        if (Allocate(m.r, m.c)) {
            for (long k = 0; k < r * c; ++k) v[k] = m.v[k];
        }
    }

    matrix(matrix&& m) noexcept : r(m.r), c(m.c), v(m.v) {
        m.r = 0;
        m.c = 0;
        m.v = nullptr;
    }

    matrix& operator=(const matrix& m) {
        if (this != &m) {
            matrix copy(m);
            Swap(copy);
        }
        return *this;
    }

    matrix& operator=(matrix&& m) noexcept {
        if (this != &m) {
            Release();
            Swap(m);
        }
        return *this;
    }

    ~matrix() { Release(); }

    // When the size differs from the current one: new storage of
    // newRows x newCols elements (old contents dropped; new elements are
    // value-initialised).  The same size leaves the matrix as it is.
    void Resize(long newRows, long newCols) {
        if (newRows != r || newCols != c) {
            Release();
            Allocate(newRows, newCols);
        }
    }

    // Resize(newRows, newCols), then every element set to value, whether or
    // not the size changed.
    void Resize(long newRows, long newCols, IT value) {
        Resize(newRows, newCols);
        Fill(value);
    }

    // Element at row-major linear index i (0 <= i < rows*cols).
    IT& operator()(long i) { return v[Checked(i)]; }
    const IT& operator()(long i) const { return v[Checked(i)]; }

    // Element at row i, column j.
    IT& operator()(long i, long j) { return v[Checked(i, j)]; }
    const IT& operator()(long i, long j) const { return v[Checked(i, j)]; }

    long NRow() const { return r; }
    long NCol() const { return c; }
    long Length() const { return r * c; }

  private:
    long r;  // number of rows
    long c;  // number of columns
    IT* v;   // r*c elements, row by row; null when r*c is 0

    // Stores the size and allocates; any size that cannot be held gives the
    // empty matrix.  Returns true when the requested size was taken.
    bool Allocate(long rows, long cols) {
        r = 0;
        c = 0;
        v = nullptr;
        const long kMaxSize = INT32_MAX;
        if (rows < 0 || cols < 0 || rows > kMaxSize || cols > kMaxSize) return false;
        // Both factors are below 2^31, so the product fits in a 64-bit long.
        const long n = rows * cols;
        if (n > 0) {
            if (static_cast<unsigned long>(n) > PTRDIFF_MAX / sizeof(IT)) return false;
            v = new (std::nothrow) IT[static_cast<std::size_t>(n)]();
            if (v == nullptr) return false;
        }
        r = rows;
        c = cols;
        return true;
    }

    void Release() {
        delete[] v;
        v = nullptr;
        r = 0;
        c = 0;
    }

    void Fill(const IT& value) {
        for (long k = 0; k < r * c; ++k) v[k] = value;
    }

    void Swap(matrix& m) noexcept {
        std::swap(r, m.r);
        std::swap(c, m.c);
        std::swap(v, m.v);
    }

    long Checked(long i) const {
        if (c == 0 || r == 0) invError("Operator:   ()\nMatrix is not set: ", r, c);
        if (i < 0 || i >= r * c) Error("Operator:   ()\nMatrix index not in range: ", i, r * c - 1);
        return i;
    }

    long Checked(long i, long j) const {
        if (c == 0 || r == 0) invError("Operator:   ()\nMatrix is not set: ", r, c);
        if (i < 0 || i >= r) Error("Operator:   ()\nRow index not in range: ", i, r - 1);
        if (j < 0 || j >= c) Error("Operator:   ()\nColumn index not in range: ", j, c - 1);
        return j + i * c;
    }
};

#endif  // MATRIX_MATRIX_H

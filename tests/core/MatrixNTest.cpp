// Inversion, which the quadrics' solves rest on; the plane, normalising and multiplying helpers are
// checked through the quadric tests that use them.
#include "MatrixN.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gdx;

namespace {
MatrixN fromRows(uint32_t n, std::initializer_list<double> values) {
    MatrixN m(n, n);
    uint32_t i = 0;
    for (double v : values) {
        m(i / n, i % n) = v;
        ++i;
    }
    return m;
}
} // namespace

TEST(MatrixN, InvertNeedsRowExchangeAndTracksDeterminantSign) {
    // The zero in the top-left corner forces a pivot swap; the determinant is -2.
    const MatrixN m = fromRows(3, {0, 1, 0, 2, 0, 0, 0, 0, 1});
    MatrixN inv;
    EXPECT_DOUBLE_EQ(invert(inv, m, 3), -2.0);
    const MatrixN expected = fromRows(3, {0, 0.5, 0, 1, 0, 0, 0, 0, 1});
    for (uint32_t r = 0; r < 3; ++r)
        for (uint32_t c = 0; c < 3; ++c)
            EXPECT_DOUBLE_EQ(inv(r, c), expected(r, c)) << r << "," << c;
}

// A general 4 x 4 matrix and a 20 x 20 one, beyond the inline buffer (inversion then works on the
// heap): the matrix times its inverse is the identity, and the input is left as it was.
TEST(MatrixN, MatrixTimesItsInverseIsTheIdentity) {
    MatrixN large(20, 20);
    for (uint32_t r = 0; r < 20; ++r)
        for (uint32_t c = 0; c < 20; ++c)
            large(r, c) = r == c ? 4.0 : 1.0 / double(1 + r + c);
    for (const auto& [m, n] :
         {std::pair{fromRows(4, {4, -2, 1, 3, 3, 6, -4, 2, 2, 1, 8, -5, 1, -3, 2, 7}), 4u},
          std::pair{large, 20u}}) {
        const MatrixN before = m;
        MatrixN inv;
        EXPECT_NE(invert(inv, m, n), 0.0);
        for (uint32_t r = 0; r < n; ++r)
            for (uint32_t c = 0; c < n; ++c) {
                double sum = 0.0;
                for (uint32_t k = 0; k < n; ++k)
                    sum += m(r, k) * inv(k, c);
                EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-12) << n << ": " << r << "," << c;
                EXPECT_EQ(m(r, c), before(r, c));
            }
    }
}

TEST(MatrixN, SingularMatricesReturnZero) {
    MatrixN inv;
    EXPECT_EQ(invert(inv, fromRows(3, {0, 1, 2, 0, 3, 4, 0, 5, 6}), 3), 0.0); // zero first column
    EXPECT_EQ(invert(inv, fromRows(2, {1, 2, 2, 4}), 2), 0.0);                // dependent rows
    EXPECT_EQ(invert(inv, fromRows(2, {NAN, 1, NAN, 2}), 2), 0.0);            // no numeric pivot
}

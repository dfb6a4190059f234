// Shapes the reference vectors do not reach: dimensions whose product
// overflows 32 bits or is positive from two negatives, and failed matrices
// that claim elements they do not hold. Each case gives its result's shape
// and flag and the operations named by the error lines it wrote, in order.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "matrix/MatFunc.h"
#include "support/StdoutCapture.h"

using tarn::MatFunc;

namespace {

// "Error(MatFunc getrow): ..." lines as "getrow", constructor lines as "()".
std::string operationsNamed(const std::string& out)
{
    std::istringstream lines(out);
    std::string names;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find("Error(MatFunc") + 13, end = line.find("): ");
        names += (names.empty() ? "" : " ") + (line[start] == '(' ? "()" : line.substr(start + 1, end - start - 1));
    }
    return names;
}

struct EdgeCase {
    const char* what;
    std::function<MatFunc()> operation;
    int rows, cols;
    bool empty;
    std::size_t elements;
    const char* lines;
};

TEST(MatrixEdgeCases, FailQuietlyIntoTheirDocumentedValues)
{
    MatFunc claims, negative;  // 2 x 3 with no elements; -2 x 3
    captureStdout([&] { claims = MatFunc(std::vector<double>{1, 2}, 2, 3), negative = MatFunc(-2, 3); });
    const MatFunc valid(1.0, 2, 3);
    const EdgeCase cases[] = {
        {"two negative dimensions", [] { return MatFunc(-2, -3); }, -2, -3, true, 0, "()"},
        {"a product beyond 32 bits", [] { return MatFunc(1.0, 65536, 65536); }, 65536, 65536, true, 0, "()"},
        {"a null array of no values", [] { return MatFunc(static_cast<const double*>(nullptr), 0); }, 1, 0, true, 0, "()"},
        {"a row of a failed matrix", [&] { return claims.getrow(0); }, 1, 3, false, 3, "getrow"},
        {"a column of a failed matrix", [&] { return claims.getcol(1); }, 2, 1, false, 2, "getcol"},
        {"a failed matrix transposed", [&] { return claims.transpose(); }, 3, 2, false, 6, ""},
        {"a sum with a failed matrix", [&] { return valid + claims; }, 0, 0, true, 0, "+"},
        {"a product with a failed matrix", [&] { return claims * valid.transpose(); }, 0, 0, true, 0, "*"},
        {"the sums of a failed matrix", [&] { return claims.sum(0); }, 0, 0, true, 0, "sum"},
        {"a failed matrix times a scalar", [&] { return claims * 2.0; }, 2, 3, true, 0, ""},
        {"the arc tangent of a 0 x 3 ordinate", [&] { return Atan2(MatFunc(), valid); }, 0, 0, true, 0, "() Atan2"},
        {"the arc tangent of a failed ordinate", [&] { return Atan2(claims, valid); }, 2, 3, false, 6, "Atan2"},
        {"the arc tangent of an ordinate cut short", [&] { MatFunc y(1.0, 2, 3); y.data.resize(3); return Atan2(y, valid); }, 2, 3, false, 6, "Atan2"},
        {"a negative shape's product", [&] { return negative * MatFunc(1.0, 3, 4); }, -2, 4, true, 0, "()"},
        {"a negative shape's sum", [&] { return negative + negative; }, -2, 3, true, 0, "()"},
        {"a large matrix copied", [] { MatFunc big(2.5, 30, 30); MatFunc copy = big; big.data[899] = 0; return copy; }, 30, 30, false, 900, ""},
    };
    for (const EdgeCase& c : cases) {
        MatFunc r;
        const std::string out = captureStdout([&] { r = c.operation(); });
        EXPECT_EQ(operationsNamed(out), c.lines) << c.what;
        EXPECT_TRUE(r.row == c.rows && r.col == c.cols && r.empty == c.empty && r.data.size() == c.elements)
            << c.what << ": " << r.row << " x " << r.col << " empty " << r.empty << ", " << r.data.size() << " elements";
        for (std::size_t k = 0; k < r.data.size(); ++k) EXPECT_EQ(r.data[k], c.elements == 900 ? 2.5 : 0.0) << c.what;
    }
    double out[6] = {7, 7, 7, 7, 7, 7};
    EXPECT_EQ(operationsNamed(captureStdout([&] { EXPECT_FALSE(claims.toDouble(out, 6)); })), "toDouble");
    EXPECT_EQ(out[0], 7);
}

}  // namespace

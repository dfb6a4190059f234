// Element-wise transcendental functions and norms.
#include <cmath>

#include "matrix/ErrorLine.h"
#include "matrix/MatFunc.h"

namespace tarn {

namespace {

// A matrix of m's shape holding f of each element. An empty operand (or one
// without its elements) writes `emptyLine` and yields zeros of that shape.
template <class F>
MatFunc applied(const MatFunc& m, F f, ErrorLine emptyLine)
{
    MatFunc result = MatFunc::forOverwrite(m.row, m.col);
    if (m.empty || !m.holdsElements()) {
        writeErrorLine(emptyLine);
        result.data.assign(result.data.size(), 0.0);
        return result;
    }
    if (result.empty) return result;
    for (int k = 0; k < result.size; ++k) result.data[k] = f(m.data[k]);
    return result;
}

}  // namespace

MatFunc Sin(const MatFunc& m)
{
    return applied(m, [](double x) { return std::sin(x); }, ErrorLine::SinEmpty);
}

MatFunc Cos(const MatFunc& m)
{
    return applied(m, [](double x) { return std::cos(x); }, ErrorLine::CosEmpty);
}

MatFunc Asin(const MatFunc& m)
{
    return applied(
        m,
        [](double x) {
            if (x > 1.0) return std::asin(1.0);
            if (x < -1.0) return std::asin(-1.0);
            return std::asin(x);
        },
        ErrorLine::AsinEmpty);
}

MatFunc Sqrt(const MatFunc& m)
{
    return applied(m, [](double x) { return std::sqrt(x); }, ErrorLine::SqrtEmpty);
}

MatFunc Atan2(const MatFunc& y, const MatFunc& x)
{
    MatFunc result = MatFunc::forOverwrite(y.row, y.col);
    const bool xTooShort = result.size > 0 && x.data.size() < static_cast<std::size_t>(result.size);
    if (y.empty || !y.holdsElements() || xTooShort) {
        writeErrorLine(ErrorLine::Atan2Empty);
        result.data.assign(result.data.size(), 0.0);
        return result;
    }
    if (result.empty) return result;
    for (int k = 0; k < result.size; ++k) result.data[k] = std::atan2(y.data[k], x.data[k]);
    return result;
}

double MatFunc::Module() const
{
    if (empty || !holdsElements()) {
        writeErrorLine(ErrorLine::ModuleEmpty);
        return 0.0;
    }
    const MatFunc squares = dot(*this);
    double total = 0.0;
    for (std::size_t k = squares.data.size(); k-- > 0;) total += squares.data[k];
    return std::sqrt(total);
}

MatFunc MatFunc::Module(int dim) const
{
    if (empty || !holdsElements()) {
        writeErrorLine(ErrorLine::ModuleEmpty);
        return MatFunc();
    }
    return Sqrt(dot(*this).sum(dim));
}

}  // namespace tarn

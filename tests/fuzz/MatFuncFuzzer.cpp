// Fuzz target: decodes bytes into a program of MatFunc operations on a few
// matrix registers. Registers are filled by every constructor with any
// shape (zero, negative and huge dimensions included), by failed matrices
// written field by field, and by the results of every operator, function and
// attitude operation, with valid and invalid indices, dimensions, modes and
// rotation orders.
//
// Besides the memory checks of the sanitizers, every step checks two rules
// of the matrix library: an operation never changes its operands, and a
// result is well formed (size the wrapped row * col product, exactly size
// elements when valid, none when failed) whenever its operands were. A
// failed copy-out leaves the output array untouched.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "GuardedArray.h"
#include "matrix/MatFunc.h"

using tarn::ElementBuffer;
using tarn::MatFunc;

namespace {

constexpr int kRegisters = 4;
constexpr int kMaxSteps = 64;
// Matrices the fuzzer constructs as valid hold at most this many elements,
// so a run spends its time in the library rather than in allocations (but
// more than the 80 a matrix keeps inline, so heap storage is used too).
constexpr std::int64_t kMaxElements = 144;
// Results with more elements are not kept in a register: a matrix derived
// from a huge failed one (a 65536 x 1 column, say) is checked once and then
// dropped, so a run never spends its time on long element-wise loops.
constexpr std::size_t kMaxKeptElements = 256;
// Copy-out lengths tried with an array of their size; longer ones get an
// empty array, which only a copy that must fail can be handed.
constexpr int kMaxCopyLength = 90;

void require(bool condition)
{
    if (!condition) std::abort();
}

int wrappedProduct(int rows, int cols)
{
    return static_cast<int>(static_cast<std::uint32_t>(rows) * static_cast<std::uint32_t>(cols));
}

bool wellFormed(const MatFunc& m)
{
    if (m.size != wrappedProduct(m.row, m.col)) return false;
    if (m.empty) return m.data.empty();
    return m.row >= 1 && m.col >= 1 && m.data.size() == static_cast<std::size_t>(m.size);
}

bool sameBits(const double* a, const double* b, std::size_t count)
{
    return count == 0 || std::memcmp(a, b, count * sizeof(double)) == 0;
}

bool identical(const MatFunc& a, const MatFunc& b)
{
    return a.row == b.row && a.col == b.col && a.size == b.size && a.empty == b.empty &&
           a.data.size() == b.data.size() && sameBits(a.data.data(), b.data.data(), a.data.size());
}

void fill(FuzzInput& in, GuardedArray& array)
{
    for (std::size_t k = 0; k < array.size(); ++k) array[k] = in.number();
}

struct Shape {
    int rows;
    int cols;
};

// Any pair of dimensions, except that a valid shape of more than
// kMaxElements elements is made a failing one by negating its column count.
Shape constructorShape(FuzzInput& in)
{
    Shape s{in.dimension(), in.dimension()};
    const std::int64_t count = static_cast<std::int64_t>(s.rows) * s.cols;
    if (s.rows > 0 && s.cols > 0 && count > kMaxElements) s.cols = -s.cols;
    return s;
}

// Element count a shape asks for, or 0 for a shape that cannot be valid.
int elementCount(const Shape& s)
{
    return s.rows > 0 && s.cols > 0 ? s.rows * s.cols : 0;
}

// An index around the valid range, or any 32-bit value.
int index(FuzzInput& in)
{
    return in.pick(4) == 0 ? in.anyInt() : in.between(-2, 9);
}

MatFunc construct(FuzzInput& in)
{
    switch (in.pick(7)) {
    case 0: return MatFunc();
    case 1: {
        const Shape s = constructorShape(in);
        return MatFunc(s.rows, s.cols);
    }
    case 2: {
        const Shape s = constructorShape(in);
        return MatFunc(in.number(), s.rows, s.cols);
    }
    case 3: {
        const Shape s = constructorShape(in);
        const int count = elementCount(s) + in.between(-2, 2);
        ElementBuffer values;
        for (int k = 0; k < count; ++k) values.push_back(in.number());
        return MatFunc(values, s.rows, s.cols);
    }
    case 4: {
        const int n = in.between(-2, 24);
        GuardedArray values(static_cast<std::size_t>(n > 0 ? n : 0));
        fill(in, values);
        return MatFunc(values.data(), n);
    }
    case 5: {
        GuardedArray values(80);
        fill(in, values);
        return MatFunc(reinterpret_cast<const double(*)[4]>(values.data()));
    }
    default: {
        // A failed matrix written field by field: any shape and size, no
        // elements.
        MatFunc m;
        m.row = in.dimension();
        m.col = in.dimension();
        m.size = in.flag() ? wrappedProduct(m.row, m.col) : in.anyInt();
        return m;
    }
    }
}

// Overwrites one field of a matrix directly, as a caller may: a shape or
// size that no longer matches the elements, a flipped empty flag, or fewer
// elements than before.
void tamper(FuzzInput& in, MatFunc& m)
{
    switch (in.pick(5)) {
    case 0: m.row = in.dimension(); break;
    case 1: m.col = in.dimension(); break;
    case 2: m.size = in.anyInt(); break;
    case 3: m.empty = !m.empty; break;
    default: m.data.resize(m.data.size() / 2); break;
    }
}

MatFunc scalarOperation(FuzzInput& in, const MatFunc& m)
{
    const double s = in.number();
    const int n = in.between(-3, 3);
    switch (in.pick(7)) {
    case 0: return m - s;
    case 1: return s - m;
    case 2: return m * s;
    case 3: return n * m;
    case 4: return m / s;
    case 5: return m / n;
    default: return Square(m);
    }
}

MatFunc elementWise(FuzzInput& in, const MatFunc& m)
{
    switch (in.pick(4)) {
    case 0: return Sin(m);
    case 1: return Cos(m);
    case 2: return Asin(m);
    default: return Sqrt(m);
    }
}

MatFunc elementWisePair(FuzzInput& in, const MatFunc& a, const MatFunc& b)
{
    switch (in.pick(6)) {
    case 0: return a + b;
    case 1: return a - b;
    case 2: return a / b;
    case 3: return a.dot(b);
    case 4: return a * b;
    default: return Atan2(a, b);
    }
}

MatFunc attitude(FuzzInput& in, const MatFunc& m)
{
    switch (in.pick(5)) {
    case 0: return m.Cbn();
    case 1: return m.w_matrix_function(in.pick(4) == 0 ? in.anyInt() : in.between(0, 3));
    case 2: return m.normalize();
    case 3: return m.SY(in.rotationOrder());
    default: return m.AttitudeAngle(in.rotationOrder());
    }
}

MatFunc accessor(FuzzInput& in, const MatFunc& m)
{
    switch (in.pick(6)) {
    case 0: return m.getrow(index(in));
    case 1: return m.getcol(index(in));
    case 2: return m.transpose();
    case 3: return m.sum(index(in));
    case 4: return m.Module(index(in));
    default: return MatFunc(m.Module(), 1, 1);
    }
}

class Program {
public:
    explicit Program(FuzzInput& in) : in_(in) {}

    void run()
    {
        for (int step = 0; step < kMaxSteps && !in_.exhausted(); ++step) runStep();
    }

private:
    MatFunc& anyRegister() { return registers_[in_.pick(kRegisters)]; }

    void keep(MatFunc result)
    {
        MatFunc& target = anyRegister();
        if (result.data.size() <= kMaxKeptElements) target = std::move(result);
    }

    void runStep()
    {
        switch (in_.pick(10)) {
        case 0: anyRegister() = construct(in_); break;
        case 1: tamper(in_, anyRegister()); break;
        case 2: copy(); break;
        case 3: unary(scalarOperation); break;
        case 4: unary(elementWise); break;
        case 5: unary(attitude); break;
        case 6: unary(accessor); break;
        case 7: binary(); break;
        case 8: setColumn(); break;
        default: copyOut(); break;
        }
    }

    void copy()
    {
        MatFunc& source = anyRegister();
        MatFunc& target = anyRegister();
        if (in_.flag()) {
            const MatFunc before = source;
            target = source;
            require(identical(target, before));
        } else {
            target = std::move(source);
        }
    }

    template <class Operation>
    void unary(Operation operation)
    {
        const MatFunc& m = anyRegister();
        const MatFunc before = m;
        MatFunc result = operation(in_, m);
        require(identical(m, before));
        require(!wellFormed(before) || wellFormed(result));
        keep(std::move(result));
    }

    void binary()
    {
        const MatFunc& a = anyRegister();
        const MatFunc& b = anyRegister();
        const MatFunc beforeA = a;
        const MatFunc beforeB = b;
        MatFunc result = elementWisePair(in_, a, b);
        require(identical(a, beforeA) && identical(b, beforeB));
        require(!(wellFormed(beforeA) && wellFormed(beforeB)) || wellFormed(result));
        keep(std::move(result));
    }

    void setColumn()
    {
        MatFunc& target = anyRegister();
        const MatFunc& column = anyRegister();
        const bool sameRegister = &target == &column;
        const MatFunc beforeColumn = column;
        const bool wasWellFormed = wellFormed(target);
        target.setcol(column, index(in_));
        require(sameRegister || identical(column, beforeColumn));
        require(!wasWellFormed || wellFormed(target));
    }

    void copyOut()
    {
        const MatFunc& m = anyRegister();
        const MatFunc before = m;
        const bool toBlock = in_.flag();
        int n = 80;
        if (!toBlock) {
            n = in_.pick(4) == 0 ? in_.anyInt() : in_.between(-2, kMaxCopyLength);
        }
        GuardedArray out(static_cast<std::size_t>(n > 0 && n <= kMaxCopyLength ? n : 0));
        fill(in_, out);
        const std::vector<double> untouched(out.data(), out.data() + out.size());

        const bool copied =
            toBlock ? m.toDouble(reinterpret_cast<double(*)[4]>(out.data())) : m.toDouble(out.data(), n);
        require(identical(m, before));
        require(copied || sameBits(out.data(), untouched.data(), out.size()));
    }

    FuzzInput& in_;
    MatFunc registers_[kRegisters];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    Program(in).run();
    return 0;
}

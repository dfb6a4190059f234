// Every MatFunc operation against reference vectors computed independently:
// results bit for bit, operands unchanged, error lines byte for byte.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "matrix/MatFunc.h"
#include "support/Matchers.h"
#include "support/ReferenceVectors.h"
#include "support/StdoutCapture.h"

using tarn::MatFunc;

namespace {

using nlohmann::json;

constexpr std::uint64_t kGuard = 0x7ff4c0decafe0000ULL;

// {"row", "col", "size", "empty", "data": [hex...]} with the fields set
// directly, so failed matrices come out exactly as recorded.
MatFunc matrixFromJson(const json& m)
{
    MatFunc result;
    result.row = m.at("row").get<int>();
    result.col = m.at("col").get<int>();
    result.size = m.at("size").get<int>();
    result.empty = m.at("empty").get<bool>();
    result.data = doublesFromJson(m.at("data"));
    return result;
}

// Empty when `actual` matches the recorded matrix field by field; otherwise a
// description of the first difference.
std::string compareMatrix(const MatFunc& actual, const json& expected, Precision precision)
{
    std::ostringstream why;
    if (actual.row != expected.at("row").get<int>() || actual.col != expected.at("col").get<int>() ||
        actual.size != expected.at("size").get<int>() || actual.empty != expected.at("empty").get<bool>()) {
        why << "shape " << actual.row << "x" << actual.col << " size " << actual.size << " empty " << actual.empty
            << ", expected " << expected.dump();
        return why.str();
    }
    const std::vector<double> data = doublesFromJson(expected.at("data"));
    if (data.size() != actual.data.size()) return std::to_string(actual.data.size()) + " elements, expected " + std::to_string(data.size());
    const std::size_t k = firstMismatch(actual.data.data(), data, precision);
    if (k < data.size()) why << "element " << k << ": " << std::hexfloat << actual.data[k] << " expected " << data[k];
    return why.str();
}

// What an operation returned, in the shape of the recorded "results" list.
struct Outcome {
    std::vector<MatFunc> matrices;  // result (when a matrix) then operands
    bool hasDouble = false;
    double value = 0.0;
    bool hasBool = false;
    bool flag = false;
    std::vector<double> buffer;
};

std::vector<double> guardedBuffer(std::size_t length)
{
    std::vector<double> buffer(length);
    for (std::size_t k = 0; k < length; ++k) buffer[k] = fromBits(kGuard + k);
    return buffer;
}

Outcome run(const std::string& op, const json& args)
{
    auto mat = [&](int k) { return matrixFromJson(args.at(k).at("matrix")); };
    auto integer = [&](int k) { return args.at(k).at("int").get<int>(); };
    auto real = [&](int k) { return fromHex(args.at(k).at("double").get<std::string>()); };
    auto text = [&](int k) { return args.at(k).at("text").get<std::string>(); };

    Outcome o;
    if (op == "ctor0") { o.matrices = {MatFunc()}; return o; }
    if (op == "ctorz") { o.matrices = {MatFunc(integer(0), integer(1))}; return o; }
    if (op == "ctorf") { o.matrices = {MatFunc(real(0), integer(1), integer(2))}; return o; }
    if (op == "ctorv") {
        const std::vector<double> values = doublesFromJson(args.at(2).at("doubles"));
        o.matrices = {MatFunc(values, integer(0), integer(1))};
        return o;
    }
    if (op == "ctora") {
        const std::vector<double> values = doublesFromJson(args.at(1).at("doubles"));
        o.matrices = {MatFunc(values.data(), integer(0))};
        return o;
    }
    if (op == "ctorb") {
        const std::vector<double> values = doublesFromJson(args.at(0).at("doubles"));
        o.matrices = {MatFunc(reinterpret_cast<const double(*)[4]>(values.data()))};
        return o;
    }
    if (op == "copy") { const MatFunc a = mat(0); const MatFunc c(a); o.matrices = {c, a}; return o; }
    if (op == "assign") { MatFunc a = mat(0); const MatFunc b = mat(1); a = b; o.matrices = {a, b}; return o; }
    if (op == "assignself") {
        MatFunc a = mat(0);
        MatFunc& alias = a;
        a = alias;
        o.matrices = {a};
        return o;
    }
    if (op == "setcol") { MatFunc a = mat(0); const MatFunc v = mat(1); a.setcol(v, integer(2)); o.matrices = {a, v}; return o; }
    if (op == "todbl") {
        const MatFunc a = mat(0);
        const int n = integer(1);
        o.buffer = guardedBuffer(static_cast<std::size_t>(n > 0 ? n : 0) + 4);
        o.hasBool = true;
        o.flag = a.toDouble(o.buffer.data() + 2, n);
        o.matrices = {a};
        return o;
    }
    if (op == "todblb") {
        const MatFunc a = mat(0);
        o.buffer = guardedBuffer(88);
        o.hasBool = true;
        o.flag = a.toDouble(reinterpret_cast<double(*)[4]>(o.buffer.data() + 4));
        o.matrices = {a};
        return o;
    }
    if (op == "mod") {
        const MatFunc a = mat(0);
        o.hasDouble = true;
        o.value = a.Module();
        o.matrices = {a};
        return o;
    }

    // Operations returning a matrix, followed by their unchanged operands.
    if (op == "add" || op == "sub" || op == "div" || op == "dot" || op == "mul" || op == "atan2") {
        const MatFunc a = mat(0), b = mat(1);
        MatFunc r;
        if (op == "add") r = a + b;
        if (op == "sub") r = a - b;
        if (op == "div") r = a / b;
        if (op == "dot") r = a.dot(b);
        if (op == "mul") r = a * b;
        if (op == "atan2") r = Atan2(a, b);
        o.matrices = {r, a, b};
        return o;
    }
    if (op == "subdm" || op == "mulim") {
        const MatFunc m = mat(1);
        o.matrices = {op == "subdm" ? real(0) - m : integer(0) * m, m};
        return o;
    }
    const MatFunc m = mat(0);
    MatFunc r;
    if (op == "getrow") r = m.getrow(integer(1));
    else if (op == "getcol") r = m.getcol(integer(1));
    else if (op == "transpose") r = m.transpose();
    else if (op == "sum") r = m.sum(integer(1));
    else if (op == "modd") r = m.Module(integer(1));
    else if (op == "submd") r = m - real(1);
    else if (op == "mulmd") r = m * real(1);
    else if (op == "divmd") r = m / real(1);
    else if (op == "divmi") r = m / integer(1);
    else if (op == "square") r = Square(m);
    else if (op == "sin") r = Sin(m);
    else if (op == "cos") r = Cos(m);
    else if (op == "asin") r = Asin(m);
    else if (op == "sqrt") r = Sqrt(m);
    else if (op == "cbn") r = m.Cbn();
    else if (op == "wmat") r = m.w_matrix_function(integer(1));
    else if (op == "norm") r = m.normalize();
    else if (op == "sy") r = m.SY(text(1));
    else if (op == "sydef") r = m.SY();
    else if (op == "att") r = m.AttitudeAngle(text(1));
    else if (op == "attdef") r = m.AttitudeAngle();
    else ADD_FAILURE() << "unknown op " << op;
    o.matrices = {r, m};
    return o;
}

// The operations whose results pass through sin, cos, asin or atan2.
bool usesPlatformMath(const std::string& op)
{
    for (const char* name : {"sin", "cos", "asin", "atan2", "sy", "sydef", "att", "attdef"})
        if (op == name) return true;
    return false;
}

std::string compare(const std::string& op, const Outcome& o, const json& results)
{
    const Precision precision = usesPlatformMath(op) ? Precision::PlatformMath : Precision::BitExact;
    std::size_t nextMatrix = 0;
    for (std::size_t k = 0; k < results.size(); ++k) {
        const json& expected = results[k];
        if (expected.contains("matrix")) {
            if (nextMatrix >= o.matrices.size()) return "missing matrix result";
            const std::string why = compareMatrix(o.matrices[nextMatrix++], expected["matrix"], precision);
            if (!why.empty()) return "result " + std::to_string(k) + ": " + why;
        } else if (expected.contains("double")) {
            if (!sameBits(o.value, fromHex(expected["double"].get<std::string>()))) return "double result";
        } else if (expected.contains("bool")) {
            if (o.flag != expected["bool"].get<bool>()) return "bool result";
        } else if (expected.contains("buffer")) {
            const std::vector<double> buffer = doublesFromJson(expected["buffer"]);
            if (buffer.size() != o.buffer.size()) return "buffer length";
            for (std::size_t i = 0; i < buffer.size(); ++i)
                if (bitsOf(buffer[i]) != bitsOf(o.buffer[i])) return "buffer element " + std::to_string(i);
        }
    }
    return {};
}

TEST(MatFuncReferenceVectors, EveryCaseMatchesBitForBit)
{
    int failures = 0;
    for (const json& record : readVectorFile("matfunc.jsonl")) {
        const std::string op = record.at("op").get<std::string>();
        Outcome outcome;
        const std::string out = captureStdout([&] { outcome = run(op, record.at("args")); });
        const std::string why = compare(op, outcome, record.at("results"));
        const bool sameOutput = out == stdoutFromHex(record.at("stdout").get<std::string>());
        if ((!why.empty() || !sameOutput) && ++failures <= 20)
            ADD_FAILURE() << "case " << record.at("case") << " (" << op << "): " << why
                          << (sameOutput ? "" : " [stdout differs]");
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace

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

    auto values = [&](int k) { return doublesFromJson(args.at(k).at("doubles")); };
    Outcome o;
    if (op == "ctor0") o.matrices = {MatFunc()};
    if (op == "ctorz") o.matrices = {MatFunc(integer(0), integer(1))};
    if (op == "ctorf") o.matrices = {MatFunc(real(0), integer(1), integer(2))};
    if (op == "ctorv") o.matrices = {MatFunc(values(2), integer(0), integer(1))};
    if (op == "ctora") o.matrices = {MatFunc(values(1).data(), integer(0))};
    if (op == "ctorb") o.matrices = {MatFunc(reinterpret_cast<const double(*)[4]>(values(0).data()))};
    if (op.rfind("ctor", 0) == 0) return o;
    MatFunc a = args.at(0).contains("matrix") ? mat(0) : MatFunc();
    if (op == "copy") o.matrices = {MatFunc(a), a};
    if (op == "assign" || op == "setcol") {
        const MatFunc b = mat(1);
        op == "assign" ? void(a = b) : a.setcol(b, integer(2));
        o.matrices = {a, b};
    }
    if (op == "assignself") {
        MatFunc& alias = a;
        a = alias;
        o.matrices = {a};
    }
    if (op == "todbl" || op == "todblb") {  // the output sits between guard values
        const int n = op == "todblb" ? 80 : integer(1), guards = op == "todblb" ? 4 : 2;
        o.buffer = guardedBuffer(static_cast<std::size_t>(n > 0 ? n : 0) + 2 * guards);
        o.hasBool = true;
        o.flag = op == "todblb" ? a.toDouble(reinterpret_cast<double(*)[4]>(o.buffer.data() + guards))
                                : a.toDouble(o.buffer.data() + guards, n);
        o.matrices = {a};
    }
    if (op == "mod") {
        o.hasDouble = true;
        o.value = a.Module();
        o.matrices = {a};
    }
    if (!o.matrices.empty()) return o;

    // Operations returning a matrix, followed by their unchanged operands.
    const MatFunc b = args.size() > 1 && args.at(1).contains("matrix") ? mat(1) : MatFunc();
    MatFunc r;
    if (op == "add") r = a + b;
    else if (op == "sub") r = a - b;
    else if (op == "div") r = a / b;
    else if (op == "dot") r = a.dot(b);
    else if (op == "mul") r = a * b;
    else if (op == "atan2") r = Atan2(a, b);
    else if (op == "subdm") r = real(0) - b;
    else if (op == "mulim") r = integer(0) * b;
    else if (op == "getrow") r = a.getrow(integer(1));
    else if (op == "getcol") r = a.getcol(integer(1));
    else if (op == "transpose") r = a.transpose();
    else if (op == "sum") r = a.sum(integer(1));
    else if (op == "modd") r = a.Module(integer(1));
    else if (op == "submd") r = a - real(1);
    else if (op == "mulmd") r = a * real(1);
    else if (op == "divmd") r = a / real(1);
    else if (op == "divmi") r = a / integer(1);
    else if (op == "square") r = Square(a);
    else if (op == "sin") r = Sin(a);
    else if (op == "cos") r = Cos(a);
    else if (op == "asin") r = Asin(a);
    else if (op == "sqrt") r = Sqrt(a);
    else if (op == "cbn") r = a.Cbn();
    else if (op == "wmat") r = a.w_matrix_function(integer(1));
    else if (op == "norm") r = a.normalize();
    else if (op == "sy") r = a.SY(text(1));
    else if (op == "sydef") r = a.SY();
    else if (op == "att") r = a.AttitudeAngle(text(1));
    else if (op == "attdef") r = a.AttitudeAngle();
    else ADD_FAILURE() << "unknown op " << op;
    const bool pair = op == "add" || op == "sub" || op == "div" || op == "dot" || op == "mul" || op == "atan2";
    o.matrices = pair ? std::vector<MatFunc>{r, a, b} : op == "subdm" || op == "mulim" ? std::vector<MatFunc>{r, b}
                                                                                         : std::vector<MatFunc>{r, a};
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

// Call sequences of the 16 exports against reference vectors computed
// independently: every overwritten array bit for bit, every result, every
// error line. Each sequence starts from the state at load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TarnHandCalibrationSDK.h"
#include "calibration/CalibrationState.h"
#include "golden/VectorFile.h"
#include "support/StdoutCapture.h"

namespace {

using nlohmann::json;

// One argument of a recorded call: a bool, a null pointer or an array.
struct Argument {
    bool flag = false;
    bool isNull = false;
    std::vector<double> values;
    double* pointer() { return isNull ? nullptr : values.data(); }
};

std::vector<Argument> argumentsOf(const json& args)
{
    std::vector<Argument> out;
    for (const json& a : args) {
        Argument arg;
        if (a.is_boolean())
            arg.flag = a.get<bool>();
        else if (a.is_null())
            arg.isNull = true;
        else
            arg.values = doublesFromJson(a);
        out.push_back(arg);
    }
    return out;
}

// Calls `name` with the decoded arguments; returns its bool result (void
// exports return false).
bool callExport(const std::string& name, std::vector<Argument>& a)
{
    auto p = [&](int k) { return a[k].pointer(); };
    auto b = [&](int k) { return a[k].flag; };
    if (name == "InitialRHand") InitialRHand(p(0), p(1));
    else if (name == "InitialLHand") InitialLHand(p(0), p(1));
    else if (name == "GetCalculationDataRHand") GetCalculationDataRHand(p(0));
    else if (name == "GetCalculationDataLHand") GetCalculationDataLHand(p(0));
    else if (name == "InitialDoubleCalibration") return InitialDoubleCalibration(p(0), p(1));
    else if (name == "GetDoubleHandCalibrationData") GetDoubleHandCalibrationData(p(0), p(1), p(2), p(3));
    else if (name == "ResetDoubleHandCalibration") ResetDoubleHandCalibration();
    else if (name == "InitialAllVRCalibration")
        return InitialAllVRCalibration(b(0), p(1), p(2), p(3), p(4), b(5), p(6), p(7), p(8), p(9), b(10), p(11), p(12));
    else if (name == "InitialAllVRCalibrationV2")
        return InitialAllVRCalibrationV2(b(0), p(1), p(2), p(3), p(4), b(5), p(6), p(7), p(8), p(9), b(10), p(11),
                                         p(12), b(13));
    else if (name == "GetAllVRCalibrationData") GetAllVRCalibrationData(p(0), p(1), p(2), p(3), p(4), p(5), p(6), p(7));
    else if (name == "GetAllRTracker") GetAllRTracker(p(0), p(1));
    else if (name == "GetAllLTracker") GetAllLTracker(p(0), p(1));
    else if (name == "GetAllVRGlasses") GetAllVRGlasses(p(0), p(1));
    else if (name == "GetAllmHand") GetAllmHand();
    else if (name == "ResetAllVRCalibration") ResetAllVRCalibration();
    else if (name == "Close") Close();
    else ADD_FAILURE() << "unknown export " << name;
    return false;
}

// Checks one recorded call. `precision` applies to the overwritten arrays.
std::string checkCall(const json& call, Precision precision)
{
    const std::string name = call.at("export").get<std::string>();
    std::vector<Argument> args = argumentsOf(call.at("args"));
    bool result = false;
    const std::string out = captureStdout([&] { result = callExport(name, args); });
    if (!call.at("return").is_null() && result != call.at("return").get<bool>()) return name + ": result";
    if (out != stdoutFromHex(call.at("stdout").get<std::string>())) return name + ": stdout";
    const json& after = call.at("after");
    for (std::size_t k = 0; k < after.size(); ++k) {
        if (after[k].is_null()) continue;
        const std::vector<double> expected = doublesFromJson(after[k]);
        if (args[k].values.size() < expected.size()) return name + ": argument " + std::to_string(k) + " length";
        const std::size_t i = firstMismatch(args[k].values.data(), expected, precision);
        if (i < expected.size()) return name + ": argument " + std::to_string(k) + " element " + std::to_string(i);
    }
    return {};
}

TEST(ExportReferenceVectors, EverySequenceMatchesBitForBit)
{
    int failures = 0;
    for (const json& sequence : readVectorFile("exports.jsonl")) {
        calibrationState() = CalibrationState{};  // the state at load
        const json& calls = sequence.at("calls");
        // Outputs after a calibration carry its sines, cosines and arc tangents.
        Precision precision = Precision::BitExact;
        for (std::size_t c = 0; c < calls.size(); ++c) {
            if (calls[c].at("export").get<std::string>().rfind("Initial", 0) == 0) precision = Precision::PlatformMath;
            const std::string why = checkCall(calls[c], precision);
            if (why.empty()) continue;
            if (++failures <= 20)
                ADD_FAILURE() << "sequence " << sequence.at("sequence") << " call " << c << " " << why;
            break;
        }
    }
    EXPECT_EQ(failures, 0);
}

}  // namespace

// Replays the reference call sequences of the 16 exports (tests/data/
// exports.jsonl) through the library as a host loads it, and checks every
// overwritten array bit for bit, every bool result, every error line on
// standard output, and that nothing is written outside the host's arrays.
//
//   export-replay in-process          the exports linked in statically; the
//                                     state goes back to load between
//                                     sequences
//   export-replay linked              the shared library linked as usual
//   export-replay dlopen PATH         (Linux) dlopen and dlsym by plain name,
//   export-replay loadlibrary PATH    (Windows) LoadLibrary and GetProcAddress;
//                                     loaded afresh for every sequence
//
// Exports are called through pointers declared as hosts in other languages
// declare them: bool results read as one byte. A linked library cannot be
// unloaded, so `linked` resets what Close and ResetDoubleHandCalibration
// reset and leaves out the sequences that reach the All-VR state, which
// nothing resets.
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TarnHandCalibrationSDK.h"
#include "support/Matchers.h"
#include "support/ReferenceVectors.h"
#include "support/StdoutCapture.h"

#ifdef TARN_REPLAY_IN_PROCESS
#include "api/ProcessState.h"
#endif
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

using nlohmann::json;
using Bool8 = unsigned char;
using P = double*;
using C = const double*;

const char* const kExportNames[16] = {
    "InitialRHand", "InitialLHand", "GetCalculationDataRHand", "GetCalculationDataLHand",
    "InitialDoubleCalibration", "GetDoubleHandCalibrationData", "ResetDoubleHandCalibration",
    "InitialAllVRCalibration", "InitialAllVRCalibrationV2", "GetAllVRCalibrationData", "GetAllRTracker",
    "GetAllLTracker", "GetAllVRGlasses", "GetAllmHand", "ResetAllVRCalibration", "Close"};

using Entries = std::vector<void*>;  // in the order of kExportNames

template <class F>
void* entry(F* f)
{
    return reinterpret_cast<void*>(f);
}

Entries linkedEntries()
{
    return {entry(InitialRHand), entry(InitialLHand), entry(GetCalculationDataRHand),
            entry(GetCalculationDataLHand), entry(InitialDoubleCalibration), entry(GetDoubleHandCalibrationData),
            entry(ResetDoubleHandCalibration), entry(InitialAllVRCalibration), entry(InitialAllVRCalibrationV2),
            entry(GetAllVRCalibrationData), entry(GetAllRTracker), entry(GetAllLTracker), entry(GetAllVRGlasses),
            entry(GetAllmHand), entry(ResetAllVRCalibration), entry(Close)};
}

// A library loaded by path for the length of one sequence; its entries are
// empty when the library or one of the 16 names is missing.
#ifdef _WIN32
struct LoadedLibrary {
    HMODULE handle;
    explicit LoadedLibrary(const std::string& path) : handle(LoadLibraryA(path.c_str())) {}
    ~LoadedLibrary() { FreeLibrary(handle); }
    void* find(const char* name) const { return reinterpret_cast<void*>(GetProcAddress(handle, name)); }
#else
struct LoadedLibrary {
    void* handle;
    explicit LoadedLibrary(const std::string& path) : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() { if (handle) dlclose(handle); }
    void* find(const char* name) const { return dlsym(handle, name); }
#endif
    Entries entries() const
    {
        Entries out;
        for (const char* name : kExportNames)
            if (void* f = handle ? find(name) : nullptr) out.push_back(f);
        return out.size() == 16 ? out : Entries{};
    }
};

// One argument of a recorded call: a bool, a null pointer or an array kept
// between guard values.
struct Argument {
    static constexpr std::size_t kGuards = 2;
    bool flag = false;
    bool isNull = false;
    std::vector<double> storage;

    double* pointer() { return isNull ? nullptr : storage.data() + kGuards; }
    bool guardsIntact() const
    {
        for (std::size_t k = 0; k < storage.size(); ++k)
            if ((k < kGuards || k + kGuards >= storage.size()) && bitsOf(storage[k]) != 0x7ff4c0decafe0000ULL + k)
                return false;
        return true;
    }
};

std::vector<Argument> argumentsOf(const json& args)
{
    std::vector<Argument> out;
    for (const json& a : args) {
        Argument arg;
        arg.flag = a.is_boolean() && a.get<bool>();
        arg.isNull = a.is_null();
        if (a.is_array()) {
            const std::vector<double> values = doublesFromJson(a);
            arg.storage.resize(values.size() + 2 * Argument::kGuards);
            for (std::size_t k = 0; k < arg.storage.size(); ++k) arg.storage[k] = fromBits(0x7ff4c0decafe0000ULL + k);
            std::copy(values.begin(), values.end(), arg.storage.begin() + Argument::kGuards);
        }
        out.push_back(std::move(arg));
    }
    return out;
}

// Calls the export `name` with the decoded arguments; its bool result, or
// false for a void export.
bool call(const Entries& e, const std::string& name, std::vector<Argument>& a)
{
    auto p = [&](int k) { return a[k].pointer(); };
    auto b = [&](int k) { return static_cast<Bool8>(a[k].flag); };
    int index = 0;
    while (index < 16 && name != kExportNames[index]) ++index;
    void* f = index < 16 ? e[index] : nullptr;
    switch (index) {
    case 0: case 1: reinterpret_cast<void (*)(C, C)>(f)(p(0), p(1)); return false;
    case 2: case 3: reinterpret_cast<void (*)(P)>(f)(p(0)); return false;
    case 4: return reinterpret_cast<Bool8 (*)(C, C)>(f)(p(0), p(1)) != 0;
    case 5: reinterpret_cast<void (*)(P, P, P, P)>(f)(p(0), p(1), p(2), p(3)); return false;
    case 7:
        return reinterpret_cast<Bool8 (*)(Bool8, C, C, C, C, Bool8, C, C, C, C, Bool8, C, C)>(f)(
                   b(0), p(1), p(2), p(3), p(4), b(5), p(6), p(7), p(8), p(9), b(10), p(11), p(12)) != 0;
    case 8:
        return reinterpret_cast<Bool8 (*)(Bool8, C, C, C, C, Bool8, C, C, C, C, Bool8, C, C, Bool8)>(f)(
                   b(0), p(1), p(2), p(3), p(4), b(5), p(6), p(7), p(8), p(9), b(10), p(11), p(12), b(13)) != 0;
    case 9: reinterpret_cast<void (*)(P, P, P, P, P, P, P, P)>(f)(p(0), p(1), p(2), p(3), p(4), p(5), p(6), p(7)); return false;
    case 10: case 11: case 12: reinterpret_cast<void (*)(P, P)>(f)(p(0), p(1)); return false;
    case 6: case 13: case 14: case 15: reinterpret_cast<void (*)()>(f)(); return false;
    default: throw std::runtime_error("unknown export " + name);
    }
}

// Empty when the recorded call replays exactly; otherwise what differed.
std::string checkCall(const Entries& e, const json& recorded, Precision precision)
{
    const std::string name = recorded.at("export").get<std::string>();
    std::vector<Argument> args = argumentsOf(recorded.at("args"));
    bool result = false;
    const std::string out = captureStdout([&] { result = call(e, name, args); });
    if (!recorded.at("return").is_null() && result != recorded.at("return").get<bool>()) return name + ": result";
    if (out != stdoutFromHex(recorded.at("stdout").get<std::string>())) return name + ": standard output";
    const json& after = recorded.at("after");
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (!args[k].guardsIntact()) return name + ": wrote outside argument " + std::to_string(k);
        if (k >= after.size() || after[k].is_null()) continue;
        const std::vector<double> expected = doublesFromJson(after[k]);
        if (args[k].storage.size() < expected.size() + 2 * Argument::kGuards)
            return name + ": argument " + std::to_string(k) + " length";
        const std::size_t i = firstMismatch(args[k].pointer(), expected, precision);
        if (i < expected.size()) return name + ": argument " + std::to_string(k) + " element " + std::to_string(i);
    }
    return {};
}

// Whether the sequence calls an export whose name contains `part`.
bool callsExportNamed(const json& sequence, const char* part)
{
    for (const json& c : sequence.at("calls"))
        if (c.at("export").get<std::string>().find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string path = argc > 2 ? argv[2] : "";
    const bool loaded = mode == "dlopen" || mode == "loadlibrary";
    if (!(mode == "in-process" || mode == "linked" || (loaded && !path.empty()))) {
        std::fprintf(stderr, "usage: %s in-process | linked | dlopen PATH | loadlibrary PATH\n", argv[0]);
        return 2;
    }
    int replayed = 0, failures = 0;
    for (const json& sequence : readVectorFile("exports.jsonl")) {
        std::optional<LoadedLibrary> library;
        if (loaded) library.emplace(path);
        const Entries entries = loaded ? library->entries() : linkedEntries();
        if (entries.empty()) {
            std::fprintf(stderr, "cannot load %s or one of its 16 exports\n", path.c_str());
            return 1;
        }
        if (mode == "linked") {
            if (callsExportNamed(sequence, "All")) continue;
            Close();
            ResetDoubleHandCalibration();
        }
#ifdef TARN_REPLAY_IN_PROCESS
        if (mode == "in-process") tarn::resetProcessStateForTesting();
#endif
        ++replayed;
        // Outputs after a calibration carry its sines, cosines and arc tangents.
        Precision precision = Precision::BitExact;
        const json& calls = sequence.at("calls");
        for (std::size_t c = 0; c < calls.size(); ++c) {
            if (calls[c].at("export").get<std::string>().rfind("Initial", 0) == 0) precision = Precision::PlatformMath;
            const std::string why = checkCall(entries, calls[c], precision);
            if (why.empty()) continue;
            if (++failures <= 20) std::printf("FAIL sequence %d call %zu: %s\n", sequence.at("sequence").get<int>(), c, why.c_str());
            break;
        }
    }
    std::printf("%s: %d sequences replayed, %d failed\n", mode.c_str(), replayed, failures);
    return failures == 0 && replayed > 0 ? 0 : 1;
}

// The shared library as a host loads it: dlopen, every export resolved by
// its plain name, a calibration session through function pointers, and no
// write outside the arrays the host passes.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "support/Bits.h"
#include "support/Rotations.h"

namespace {

const char* const kExports[] = {
    "InitialRHand", "InitialLHand", "GetCalculationDataRHand", "GetCalculationDataLHand",
    "InitialDoubleCalibration", "GetDoubleHandCalibrationData", "ResetDoubleHandCalibration",
    "InitialAllVRCalibration", "InitialAllVRCalibrationV2", "GetAllVRCalibrationData", "GetAllRTracker",
    "GetAllLTracker", "GetAllVRGlasses", "GetAllmHand", "ResetAllVRCalibration", "Close",
};

// An array of n doubles with guard values on both sides.
class GuardedArray {
public:
    static constexpr int kGuards = 8;
    explicit GuardedArray(std::vector<double> values) : n_(values.size()), storage_(values.size() + 2 * kGuards)
    {
        for (std::size_t k = 0; k < storage_.size(); ++k) storage_[k] = fromBits(0x7ff4c0decafe0000ULL + k);
        std::copy(values.begin(), values.end(), storage_.begin() + kGuards);
    }
    double* data() { return storage_.data() + kGuards; }
    double operator[](std::size_t k) const { return storage_[kGuards + k]; }
    bool guardsIntact() const
    {
        for (std::size_t k = 0; k < storage_.size(); ++k) {
            if (k >= kGuards && k < kGuards + n_) continue;
            if (bitsOf(storage_[k]) != 0x7ff4c0decafe0000ULL + k) return false;
        }
        return true;
    }

private:
    std::size_t n_;
    std::vector<double> storage_;
};

class SharedLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite() { handle = dlopen(TARN_SHARED_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL); }
    template <class F>
    static F resolve(const char* name)
    {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    static void* handle;
};

void* SharedLibrary::handle = nullptr;

TEST_F(SharedLibrary, LoadsAndResolvesEveryExportByItsPlainName)
{
    ASSERT_NE(handle, nullptr) << dlerror();
    for (const char* name : kExports) EXPECT_NE(dlsym(handle, name), nullptr) << name;
}

TEST_F(SharedLibrary, HandCalibrationWritesOnlyInsideTheHostsArrays)
{
    ASSERT_NE(handle, nullptr);
    auto initialR = resolve<void (*)(const double*, const double*)>("InitialRHand");
    auto getR = resolve<void (*)(double*)>("GetCalculationDataRHand");
    auto initialDouble = resolve<bool (*)(const double*, const double*)>("InitialDoubleCalibration");
    auto getDouble = resolve<void (*)(double*, double*, double*, double*)>("GetDoubleHandCalibrationData");
    auto close = resolve<void (*)()>("Close");

    const Quat source = headingQuat(0.5), target = headingQuat(-0.25);
    GuardedArray s({source.begin(), source.end()}), t({target.begin(), target.end()});
    initialR(s.data(), t.data());
    std::vector<double> block(80);
    for (int i = 0; i < 20; ++i) block[4 * i] = 1.0;
    GuardedArray hand(block);
    getR(hand.data());
    EXPECT_TRUE(hand.guardsIntact());
    const double turn = -0.25 - 0.5 + std::acos(-1.0) / 2;  // target - source + a quarter turn
    EXPECT_NEAR(hand[0], std::cos(turn / 2), 1e-12);
    EXPECT_NEAR(hand[79], std::sin(turn / 2), 1e-12);
    close();

    GuardedArray p1({2, 2, 1}), p2({0, 0, 1});
    EXPECT_TRUE(initialDouble(p1.data(), p2.data()));
    GuardedArray h1(block), h2(block);
    getDouble(h1.data(), h2.data(), p1.data(), p2.data());
    EXPECT_TRUE(h1.guardsIntact() && h2.guardsIntact() && p1.guardsIntact() && p2.guardsIntact());
    EXPECT_NEAR(p1[0], std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(p1[1], 0.0, 1e-12);
    resolve<void (*)()>("ResetDoubleHandCalibration")();
}

TEST_F(SharedLibrary, AllVRSessionWritesOnlyInsideTheHostsArrays)
{
    ASSERT_NE(handle, nullptr);
    using InitialV2 = bool (*)(bool, const double*, const double*, const double*, const double*, bool,
                               const double*, const double*, const double*, const double*, bool, const double*,
                               const double*, bool);
    auto initial = resolve<InitialV2>("InitialAllVRCalibrationV2");
    auto getAll = resolve<void (*)(double*, double*, double*, double*, double*, double*, double*, double*)>(
        "GetAllVRCalibrationData");

    GuardedArray rPos({1, 0, 1}), lPos({0, 0, 1}), quat({1, 0, 0, 0}), quat2({1, 0, 0, 0});
    EXPECT_TRUE(initial(true, rPos.data(), rPos.data(), quat.data(), quat2.data(), true, lPos.data(), lPos.data(),
                        quat.data(), nullptr, false, nullptr, nullptr, true));
    GuardedArray rp({1, 0, 1.5}), rq({1, 0, 0, 0}), lp({0, 1, 1.5}), lq({1, 0, 0, 0});
    getAll(rp.data(), rq.data(), nullptr, lp.data(), lq.data(), nullptr, nullptr, nullptr);
    EXPECT_TRUE(rp.guardsIntact() && rq.guardsIntact() && lp.guardsIntact() && lq.guardsIntact());
    EXPECT_NEAR(rp[0], 0.5, 1e-12);
    EXPECT_NEAR(lp[1], 1.0, 1e-12);
    EXPECT_NEAR(lp[2], 1.5, 1e-12);

    resolve<void (*)()>("GetAllmHand")();
    resolve<void (*)()>("ResetAllVRCalibration")();
}

}  // namespace

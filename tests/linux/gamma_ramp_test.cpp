// Linear gamma ramps from channel gains, and loading them through gdi32
// loaded at run time: what reaches the adapter, and that every device context
// and the module are given back on every path.
#include <cmath>
#include <limits>
#include <string>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "sim/display_model.h"
#include "temperature/gamma_ramp_library.h"

namespace tw_test {

namespace {

constexpr std::size_t kGreen = 256;
constexpr std::size_t kBlue = 512;
constexpr std::size_t kLast = 255;

sim::DisplayModel& Displays() {
    return sim::Machine::Current().Displays();
}

bool LoadOnce(float r, float g, float b) {
    GammaRampLibrary library;
    return library.LoadLinearRamp(r, g, b);
}

}  // namespace

TEST(GammaRamp, UnitGainsGiveTheIdentityRamp) {
    const GammaRamp ramp = GammaRampLibrary::BuildLinearRamp(1.0f, 1.0f, 1.0f);
    for (std::size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(ramp[i], i * 256);
        ASSERT_EQ(ramp[kGreen + i], i * 256);
        ASSERT_EQ(ramp[kBlue + i], i * 256);
    }
    EXPECT_EQ(ramp[kBlue + kLast], 65280);
}

TEST(GammaRamp, GainsAreSlopesTruncatedPerEntry) {
    const GammaRamp ramp = GammaRampLibrary::BuildLinearRamp(0.5f, 1.0f, 0.25f);
    EXPECT_EQ(ramp[kLast], 32640);
    EXPECT_EQ(ramp[kGreen + kLast], 65280);
    EXPECT_EQ(ramp[kBlue + kLast], 16320);
    EXPECT_EQ(ramp[1], 128);
    const GammaRamp third = GammaRampLibrary::BuildLinearRamp(1.0f / 3, 1.0f, 1.0f);
    EXPECT_EQ(third[1], 85);
    const auto blueProtected = static_cast<float>(1.0 * 1.0 * 128 / 255.0);
    EXPECT_EQ(GammaRampLibrary::BuildLinearRamp(1.0f, 1.0f, blueProtected)[kBlue + kLast], 32768);
}

TEST(GammaRamp, GainsOutsideZeroToOneAreHeldAtTheLimits) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const GammaRamp ramp = GammaRampLibrary::BuildLinearRamp(1.5f, -0.5f, nan);
    EXPECT_EQ(ramp[kLast], 65280);
    EXPECT_EQ(ramp[kGreen + kLast], 0);
    EXPECT_EQ(ramp[kBlue + kLast], 0);
}

TEST_F(ExportTest, RampReachesThePanelAndEverythingIsGivenBack) {
    ASSERT_TRUE(LoadOnce(0.5f, 1.0f, 0.25f));
    const auto history = Displays().RampHistory();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].adapter, L"\\\\.\\DISPLAY1");
    EXPECT_EQ(history[0].ramp[kLast], 32640);
    EXPECT_EQ(history[0].ramp[kBlue + kLast], 16320);
    EXPECT_EQ(Displays().CreatedDcCount(), 1u);
    EXPECT_EQ(Displays().OpenDcCount(), 0u);
    EXPECT_EQ(Displays().LibraryLoads(sim::SystemLibrary::Gdi32), 1);
    EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Gdi32), 0);
}

TEST_F(ExportTest, LibraryKeepsGdi32UntilItIsDestroyed) {
    {
        GammaRampLibrary library;
        ASSERT_TRUE(library.LoadLinearRamp(1.0f, 1.0f, 1.0f));
        ASSERT_TRUE(library.LoadLinearRamp(1.0f, 0.5f, 1.0f));
        EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Gdi32), 1);
    }
    EXPECT_EQ(Displays().LibraryLoads(sim::SystemLibrary::Gdi32), 1);
    EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Gdi32), 0);
    EXPECT_EQ(Displays().RampHistory().size(), 2u);
}

TEST_F(ExportTest, FirstAdapterOnTheDesktopOrPrimaryGetsTheRamp) {
    InstallMachine({Adapter("Detached", DISPLAY_DEVICE_MULTI_DRIVER), Adapter("Second", kOnDesktop),
                    Adapter("Main", kPrimary)});
    ASSERT_TRUE(LoadOnce(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(Displays().RampHistory().at(0).adapter, L"\\\\.\\DISPLAY2");
}

TEST_F(ExportTest, NoAdapterOnTheDesktopLoadsNothing) {
    InstallMachine({Adapter("Detached", 0)});
    EXPECT_FALSE(LoadOnce(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(Displays().CreatedDcCount(), 0u);
    EXPECT_EQ(Displays().LibraryLoads(sim::SystemLibrary::Gdi32), 0);
}

class GammaRampFailure : public ExportTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(GammaRampFailure, FailsAndGivesBackWhatItTook) {
    sim::Machine::Current().FailCall(GetParam(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(LoadOnce(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(Displays().RampHistory().empty());
    EXPECT_EQ(Displays().OpenDcCount(), 0u);
    EXPECT_EQ(Displays().LibraryReferences(sim::SystemLibrary::Gdi32), 0);
}

INSTANTIATE_TEST_SUITE_P(EachStep, GammaRampFailure,
                         ::testing::Values("EnumDisplayDevicesW", "CreateDCW",
                                           "GetSystemDirectoryW", "LoadLibraryW",
                                           "GetProcAddress:GetDeviceGammaRamp",
                                           "GetProcAddress:SetDeviceGammaRamp",
                                           "SetDeviceGammaRamp"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ':');
                             return name;
                         });

}  // namespace tw_test

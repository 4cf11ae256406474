// Linear gamma ramps from channel gains, and loading them through gdi32
// loaded at run time: what reaches the adapter, and that every device context
// and the module are given back on every path.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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

// Windows may answer TRUE and keep the ramp it had; the load still counts as
// done, and the warning names the display and the first entry that differs.
TEST_F(ExportTest, ARampTheDisplayDoesNotHoldIsLoggedNotFailed) {
    struct Gains {
        float r, g, b;
    };
    struct Case {
        const char* name;
        std::optional<int> keepsBeyond;
        std::vector<Gains> earlier;
        Gains gains;
        bool failReadBack;
        std::string warning;  // empty: none
    };
    const Case cases[] = {
        {"plain display", std::nullopt, {}, {0.5f, 1.0f, 0.25f}, false, ""},
        {"near identity", 300, {}, {1.0f, 1.0f, 1.0f}, false, ""},
        {"far from identity",
         300,
         {},
         {1.0f, 0.5f, 0.25f},
         false,
         "The display kept another gamma ramp than the one loaded. display:\\\\.\\DISPLAY1, "
         "first differing entry: red[1] holds 257, loaded 256(GammaRampLibrary::LoadLinearRamp)"},
        {"first difference in blue",
         300,
         {{1.0f, 1.0f, 1.0f}},
         {1.0f, 1.0f, 0.25f},
         false,
         "first differing entry: blue[1] holds 256, loaded 64"},
        {"unreadable",
         std::nullopt,
         {},
         {1.0f, 1.0f, 1.0f},
         true,
         "The gamma ramp could not be read back; whether the display shows it is unknown. "
         "display:\\\\.\\DISPLAY1(GammaRampLibrary::LoadLinearRamp)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto adapter = Adapter("Main", kPrimary);
        if (c.keepsBeyond) {
            adapter["keepsRampsDeviatingBeyond"] = *c.keepsBeyond;
        }
        InstallMachine({adapter});
        for (const Gains& earlier : c.earlier) {
            ASSERT_TRUE(LoadOnce(earlier.r, earlier.g, earlier.b));
        }
        const sim::GammaRamp before = Displays().CurrentRamp(L"\\\\.\\DISPLAY1");
        if (c.failReadBack) {
            sim::Machine::Current().FailCall("GetDeviceGammaRamp", ERROR_INVALID_PARAMETER);
        }
        const std::size_t from = LogRecords().size();
        EXPECT_TRUE(LoadOnce(c.gains.r, c.gains.g, c.gains.b));
        const GammaRamp loaded = GammaRampLibrary::BuildLinearRamp(c.gains.r, c.gains.g, c.gains.b);
        const sim::GammaRamp held = Displays().CurrentRamp(L"\\\\.\\DISPLAY1");
        const bool kept = !c.warning.empty() && !c.failReadBack;
        EXPECT_EQ(held == before, kept);
        EXPECT_EQ(std::equal(held.begin(), held.end(), loaded.begin()), !kept);
        const auto records = LogRecords();
        const auto warnings =
            std::count_if(records.begin() + static_cast<std::ptrdiff_t>(from), records.end(),
                          [](const auto& r) { return r.level == 2; });
        EXPECT_EQ(warnings, c.warning.empty() ? 0 : 1);
        if (!c.warning.empty()) {
            EXPECT_TRUE(LoggedContaining(2, c.warning, from));
        }
    }
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

// Loading and releasing the AMD Display Library on simulated machines: what
// stays loaded, which ADL context lives, and the trace of each refusal.
#include <cstdlib>
#include <functional>
#include <string>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "temperature/adl_library.h"
#include "temperature/operate_color.h"

namespace tw_test {

namespace {

bool AmdRoadReady() {
    return TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0) == 0;
}

std::wstring InitLine(const std::wstring& text) {
    return text + L"(OperateColor::InitAdlGamut)\n";
}

}  // namespace

TEST_F(ExportTest, InitLoadsTheModuleAndCreatesOneContextThatUninitReleases) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    EXPECT_EQ(Adl().ModuleReferences(), 1);
    EXPECT_EQ(Adl().LiveContexts(), 1);
    EXPECT_TRUE(sim::Machine::Current().DebugOutput().empty());
    EXPECT_TRUE(AmdRoadReady());

    TW(UninitAdlGamut)();
    EXPECT_EQ(Adl().ModuleReferences(), 0);
    EXPECT_EQ(Adl().LiveContexts(), 0);
    EXPECT_FALSE(AmdRoadReady());
    TW(UninitAdlGamut)();
    EXPECT_EQ(Adl().ModuleReferences(), 0);
}

TEST_F(ExportTest, OlderDriversOfferOnlyTheSecondModuleName) {
    InstallAdl(AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0)}, "atiadlxy.dll"));
    TW(InitAdlGamut)();
    EXPECT_TRUE(AmdRoadReady());
    EXPECT_EQ(Adl().ModuleLoads(), 1);
}

TEST_F(ExportTest, ASecondInitReplacesTheFirstWithoutLeakingIt) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    TW(InitAdlGamut)();
    EXPECT_EQ(Adl().ModuleLoads(), 2);
    EXPECT_EQ(Adl().ModuleReferences(), 1);
    EXPECT_EQ(Adl().LiveContexts(), 1);
    EXPECT_TRUE(AmdRoadReady());

    TW(UninitAdlGamut)();
    EXPECT_EQ(Adl().ModuleReferences(), 0);
    EXPECT_EQ(Adl().LiveContexts(), 0);
}

// The operator goes at library unload, inside the loader's notification,
// where neither ADL nor FreeLibrary may be called.
TEST_F(ExportTest, TheColourOperatorLeavesALoadedAdlAloneWhenItGoes) {
    InstallSingleDisplayAmdMachine();
    {
        OperateColor operatorWithAdl;
        operatorWithAdl.InitAdlGamut();
        EXPECT_EQ(Adl().LiveContexts(), 1);
    }
    EXPECT_EQ(Adl().LiveContexts(), 1);
    EXPECT_EQ(Adl().ModuleReferences(), 1);
}

TEST_F(ExportTest, AdlAllocatesThroughTheCRuntimeAndGetsNothingBelowOneByte) {
    EXPECT_EQ(AdlLibrary::Allocate(0), nullptr);
    EXPECT_EQ(AdlLibrary::Allocate(-552), nullptr);
    void* block = AdlLibrary::Allocate(1);
    EXPECT_NE(block, nullptr);
    std::free(block);
}

// ---- refusals while loading ----

struct LoadingFailure {
    const char* name;
    std::function<void(sim::Machine&)> breakMachine;
    const wchar_t* line;
    int moduleReferences;  // what stays loaded after the refusal
};

void PrintTo(const LoadingFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class AdlLoadingFailure : public ExportTest,
                          public ::testing::WithParamInterface<LoadingFailure> {};

TEST_P(AdlLoadingFailure, LeavesAdlNotReadyAndSaysWhy) {
    InstallSingleDisplayAmdMachine();
    GetParam().breakMachine(sim::Machine::Current());
    TW(InitAdlGamut)();

    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              (std::vector<std::wstring>{InitLine(GetParam().line)}));
    EXPECT_EQ(Adl().ModuleReferences(), GetParam().moduleReferences);
    EXPECT_EQ(Adl().LiveContexts(), 0);
    TW(UninitAdlGamut)();
    EXPECT_EQ(Adl().ModuleReferences(), GetParam().moduleReferences);
    EXPECT_FALSE(AmdRoadReady());
    EXPECT_TRUE(Adl().GamutSets().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, AdlLoadingFailure,
    ::testing::Values(
        LoadingFailure{"NoSystemDirectory",
                       [](sim::Machine& machine) { machine.FailCall("GetSystemDirectoryW", 5); },
                       L"GetSystemDirectoryW execute failed.", 0},
        LoadingFailure{"NoAmdGraphics", [](sim::Machine& machine) { machine.Adl().SetModule(L""); },
                       L"ADL library not found!\n", 0},
        LoadingFailure{"ModulesRefuseToLoad",
                       [](sim::Machine& machine) {
                           machine.FailCall("LoadLibraryW", ERROR_ACCESS_DENIED, true);
                       },
                       L"ADL library not found!\n", 0},
        LoadingFailure{"MissingEntryPoint",
                       [](sim::Machine& machine) {
                           machine.Adl().RemoveEntryPoint("ADL_Display_RegammaR1_Set");
                       },
                       L"ADL's API is missing!\n", 1},
        LoadingFailure{"ContextRefused",
                       [](sim::Machine& machine) { machine.Adl().SetCreateResult(adl::kErr); },
                       L"ADL Initialization Error!\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace tw_test

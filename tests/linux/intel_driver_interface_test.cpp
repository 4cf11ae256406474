// The driver holder against the simulated driver: creation and its failures,
// the three slots, what reached the driver, and the references left behind.
#include <ole2.h>

#include <nlohmann/json.hpp>

#include "../shared/front_end_thread.h"
#include "../shared/test_platform.h"
#include "platform/com_error.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "temperature/color_enhance_table.h"
#include "temperature/intel_driver_interface.h"
#include "temperature/intel_driver_manager.h"

namespace tw_test {

namespace {

using Policy = IntelDriverInterface::OleInitFailure;

constexpr GUID kDevicesInterface = {
    0x27E7234F, 0x429F, 0x4787, {0xAC, 0x8F, 0x8A, 0xAD, 0xDE, 0xD0, 0x13, 0x55}};
constexpr GUID kGammaInterface = {
    0xAFB6489F, 0x4515, 0x44AA, {0x8D, 0xF7, 0xED, 0x28, 0xEA, 0x46, 0x28, 0x3C}};

class IntelDriverTest : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        auto machine = sim::Machine::FromJson(nlohmann::json::parse(R"({
            "intelDriver": {
                "present": true,
                "devices": {"\\\\.\\DISPLAY1": 12345, "\\\\.\\DISPLAY2": 777}
            }
        })"));
        machine->SetRoot(sim::Machine::Current().Root());
        sim::Machine::Install(std::move(machine));
    }

    static sim::Machine& Machine() { return sim::Machine::Current(); }
    static sim::IntelDriverModel& Driver() { return Machine().IntelDriver(); }
};

std::array<std::uint16_t, 768> Ramp() {
    std::array<std::uint16_t, 768> ramp{};
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<std::uint16_t>(i * 85);
    }
    return ramp;
}

template <typename Call>
ComError CaughtComError(Call&& call) {
    try {
        call();
    } catch (const ComError& error) {
        return error;
    }
    ADD_FAILURE() << "no COM error raised";
    return ComError(S_OK, GUID{});
}

}  // namespace

TEST_F(IntelDriverTest, CreatesOneDriverObjectAndKeepsIt) {
    IntelDriverInterface holder(Policy::Fails);
    EXPECT_FALSE(holder.Exists());
    ASSERT_TRUE(holder.EnsureDriverInterface());
    ASSERT_TRUE(holder.EnsureDriverInterface());
    EXPECT_TRUE(holder.Exists());
    EXPECT_EQ(Driver().LiveObjects(), 1);
    EXPECT_EQ(Driver().OutstandingReferences(), 1);
}

struct FailedStep {
    const char* call;
    HRESULT error;
    Policy policy;
};

// Whichever step of making the driver object fails, nothing of it is left
// behind and the next call starts again from the beginning. Each step runs on
// a thread of its own, since OLE stays initialised on a thread once it was.
TEST_F(IntelDriverTest, FailedCreationStepLeavesNothingAndTheNextCallTriesAgain) {
    const FailedStep steps[] = {
        {"CoCreateInstance", REGDB_E_CLASSNOTREG, Policy::Fails},
        {"OleRun", E_FAIL, Policy::Fails},
        {"RegisterInterfaceInGlobal", E_FAIL, Policy::Fails},
        {"OleInitialize", E_FAIL, Policy::Fails},
        {"OleInitialize", E_FAIL, Policy::IsIgnored},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call);
        RunOnFrontEndThread(FrontEndThread::WithoutCom, [&] {
            IntelDriverInterface holder(step.policy);
            Machine().FailCall(step.call, step.error);
            EXPECT_FALSE(holder.EnsureDriverInterface());
            EXPECT_FALSE(holder.Exists());
            EXPECT_EQ(Driver().LiveObjects(), 0);
            EXPECT_EQ(Driver().OutstandingReferences(), 0);
            EXPECT_TRUE(holder.EnsureDriverInterface());
            EXPECT_EQ(Driver().LiveObjects(), 1);
        });
    }
}

TEST_F(IntelDriverTest, DriverTheCallerCannotReachIsReplaced) {
    IntelDriverInterface holder(Policy::Fails);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    Machine().FailCall("GetInterfaceFromGlobal", E_FAIL);
    EXPECT_TRUE(holder.EnsureDriverInterface());
    EXPECT_EQ(Driver().LiveObjects(), 1);
    EXPECT_EQ(Driver().OutstandingReferences(), 1);
    Machine().FailCall("GetInterfaceFromGlobal", E_FAIL);
    Machine().FailCall("CoCreateInstance", E_FAIL);
    EXPECT_FALSE(holder.EnsureDriverInterface());
    EXPECT_FALSE(holder.Exists());
    EXPECT_EQ(Driver().LiveObjects(), 0);
}

TEST_F(IntelDriverTest, DriverMadeOnOneThreadIsCalledFromAnotherThroughItsOwnReference) {
    IntelDriverInterface holder(Policy::Fails);
    RunOnFrontEndThread(FrontEndThread::SingleThreaded,
                        [&] { ASSERT_TRUE(holder.EnsureDriverInterface()); });
    RunOnFrontEndThread(FrontEndThread::MultiThreaded, [&] {
        ASSERT_TRUE(holder.EnsureDriverInterface());
        EXPECT_EQ(holder.EnumActiveDevices(L"\\\\.\\DISPLAY2"), 777);
        EXPECT_EQ(holder.SetGammaRamp(777, Ramp()), 0);
        EXPECT_TRUE(holder.SetFeatureData(kColorEnhanceFeature, {0}, {0}).succeeded);
    });
    EXPECT_EQ(Driver().DeviceQueries().size(), 1u);
    EXPECT_EQ(Driver().GammaRampCalls().size(), 1u);
    EXPECT_EQ(Driver().FeatureDataCalls().size(), 1u);
    EXPECT_EQ(Driver().LiveObjects(), 1);
    EXPECT_EQ(Driver().OutstandingReferences(), 1);
}

TEST_F(IntelDriverTest, MachineWithoutTheDriverNeverGetsAnObject) {
    Driver().SetPresent(false);
    IntelDriverInterface holder(Policy::Fails);
    EXPECT_FALSE(holder.EnsureDriverInterface());
    EXPECT_FALSE(holder.EnsureDriverInterface());
    EXPECT_EQ(Driver().LiveObjects(), 0);
}

TEST_F(IntelDriverTest, DriverWithoutTheInterfaceIsReleasedAgain) {
    Driver().SetExposesCUIExternal8(false);
    IntelDriverInterface holder(Policy::Fails);
    EXPECT_FALSE(holder.EnsureDriverInterface());
    EXPECT_EQ(Driver().LiveObjects(), 0);
    EXPECT_EQ(Driver().OutstandingReferences(), 0);
}

TEST_F(IntelDriverTest, OleIsInitialisedOncePerThread) {
    IntelDriverInterface holder(Policy::Fails);
    Machine().FailCall("CoCreateInstance", E_FAIL);
    EXPECT_FALSE(holder.EnsureDriverInterface());
    Machine().FailCall("OleInitialize", E_FAIL, true);
    EXPECT_TRUE(holder.EnsureDriverInterface());
    IntelDriverInterface another(Policy::Fails);
    EXPECT_TRUE(another.EnsureDriverInterface());
    RunOnFrontEndThread(FrontEndThread::WithoutCom,
                        [&] { EXPECT_FALSE(holder.EnsureDriverInterface()); });
}

TEST_F(IntelDriverTest, ThreadInTheMultithreadedApartmentIsReadyForEveryOwner) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    IntelDriverInterface strict(Policy::Fails);
    EXPECT_TRUE(strict.EnsureDriverInterface());
    EXPECT_EQ(strict.EnumActiveDevices(L"\\\\.\\DISPLAY1"), 12345);
    EXPECT_TRUE(IntelDriverManager::Instance().Driver().EnsureDriverInterface());
    EXPECT_EQ(&IntelDriverManager::Instance().Driver(), &IntelDriverManager::Instance().Driver());
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
}

TEST_F(IntelDriverTest, DeviceIdsComeFromTheDisplayDeviceName) {
    IntelDriverInterface holder(Policy::Fails);
    EXPECT_EQ(holder.EnumActiveDevices(L"\\\\.\\DISPLAY1"), std::nullopt);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    EXPECT_EQ(holder.EnumActiveDevices(L"\\\\.\\DISPLAY2"), 777);
    const auto queries = Driver().DeviceQueries();
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].deviceName, L"\\\\.\\DISPLAY2");
    EXPECT_EQ(queries[0].index, 0);
}

TEST_F(IntelDriverTest, FailedDeviceLookupIsRaisedAgainstItsInterface) {
    IntelDriverInterface holder(Policy::Fails);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    const ComError unknown = CaughtComError([&] { holder.EnumActiveDevices(L"\\\\.\\DISPLAY9"); });
    EXPECT_EQ(unknown.Error(), E_INVALIDARG);
    EXPECT_EQ(unknown.InterfaceId(), kDevicesInterface);
    Machine().FailCall("EnumActiveDevices", E_FAIL);
    EXPECT_EQ(CaughtComError([&] { holder.EnumActiveDevices(L""); }).Error(), E_FAIL);
}

TEST_F(IntelDriverTest, GammaRampReachesTheDriverWithItsStatus) {
    const auto ramp = Ramp();
    IntelDriverInterface holder(Policy::Fails);
    EXPECT_EQ(holder.SetGammaRamp(12345, ramp), std::nullopt);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    EXPECT_EQ(holder.SetGammaRamp(12345, ramp), 0);
    Driver().SetGammaStatus(3);
    EXPECT_EQ(holder.SetGammaRamp(777, ramp), 3);
    const auto calls = Driver().GammaRampCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].deviceId, 12345);
    EXPECT_EQ(calls[0].size, 1536);
    EXPECT_EQ(calls[0].ramp, std::vector<WORD>(ramp.begin(), ramp.end()));
    EXPECT_EQ(calls[1].status, 3);
}

TEST_F(IntelDriverTest, FailedGammaRampIsRaisedAgainstItsInterface) {
    IntelDriverInterface holder(Policy::Fails);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    Machine().FailCall("SetGammaRamp", E_FAIL);
    const ComError refused = CaughtComError([&] { holder.SetGammaRamp(12345, Ramp()); });
    EXPECT_EQ(refused.Error(), E_FAIL);
    EXPECT_EQ(refused.InterfaceId(), kGammaInterface);
    EXPECT_EQ(CaughtComError([&] { holder.SetGammaRamp(4, Ramp()); }).Error(), E_INVALIDARG);
}

TEST_F(IntelDriverTest, FeatureDataReachesTheDriverWithItsStatus) {
    IntelDriverInterface holder(Policy::Fails);
    const auto header = BuildColorEnhanceHeader(true, 12345);
    const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
    EXPECT_FALSE(holder.SetFeatureData(kColorEnhanceFeature, header, data).succeeded);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    auto result = holder.SetFeatureData(kColorEnhanceFeature, header, data);
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.status, 0u);
    Driver().SetFeatureStatus(9);
    result = holder.SetFeatureData(kColorEnhanceFeature, header, {});
    EXPECT_TRUE(result.succeeded);
    EXPECT_EQ(result.status, 9u);
    const auto calls = Driver().FeatureDataCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].feature, kColorEnhanceFeature);
    EXPECT_EQ(calls[0].header, header);
    EXPECT_EQ(calls[0].data, data);
    EXPECT_TRUE(calls[1].data.empty());
}

TEST_F(IntelDriverTest, FailedFeatureDataKeepsThePresetStatus) {
    IntelDriverInterface holder(Policy::Fails);
    ASSERT_TRUE(holder.EnsureDriverInterface());
    Driver().SetFeatureStatus(9);
    Machine().FailCall("SetFeatureData", E_FAIL);
    const auto result = holder.SetFeatureData(kColorEnhanceFeature, {0}, {0});
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.status, 0u);
    EXPECT_EQ(Driver().FeatureDataCalls().at(0).result, E_FAIL);
}

TEST_F(IntelDriverTest, NoReferenceOutlivesTheHolder) {
    {
        IntelDriverInterface holder(Policy::Fails);
        ASSERT_TRUE(holder.EnsureDriverInterface());
        EXPECT_EQ(holder.EnumActiveDevices(L"\\\\.\\DISPLAY1"), 12345);
        EXPECT_THROW(holder.EnumActiveDevices(L"nobody"), ComError);
        EXPECT_EQ(holder.SetGammaRamp(12345, Ramp()), 0);
        EXPECT_TRUE(holder.SetFeatureData(kColorEnhanceFeature, {0}, {0}).succeeded);
    }
    EXPECT_EQ(Driver().LiveObjects(), 0);
    EXPECT_EQ(Driver().OutstandingReferences(), 0);
}

}  // namespace tw_test

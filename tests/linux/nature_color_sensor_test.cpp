// Nature colour's subscriptions on the simulated machine: the light sensor's
// reports and the firmware's events, through the exports, to the settings
// and the Intel driver's ramp; what the sinks answer the Sensor API; the
// references the library keeps and lets go of.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "../shared/front_end_thread.h"
#include "../shared/test_platform.h"
#include "naturecolor/light_event.h"
#include "naturecolor/natural_tone.h"
#include "naturecolor/sensor_light_event_handle.h"
#include "platform/library_hold.h"
#include "sim/com_runtime.h"
#include "sim/default_machine.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"
#include "sim/sensor_model.h"

namespace tw_test {

namespace {

using std::chrono::milliseconds;

constexpr unsigned int kLightOnly = 0;
constexpr unsigned int kLightAndFirmware = 1;
constexpr unsigned int kSensorColorEvent = 705;
constexpr float kLowLightCct = 4000.0f;
constexpr float kLowLightLux = 50.0f;
constexpr float kNothingStored = -1.0f;
constexpr int kRampTop = 65535;
constexpr milliseconds kPatience{20000};
constexpr milliseconds kLongRead{1000};
constexpr int kQueuedAtExit = 2;
const HRESULT kFieldMissing = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

sim::SensorModel& Sensors() {
    return sim::Machine::Current().Sensors();
}

sim::FirmwareModel& Firmware() {
    return sim::Machine::Current().Firmware();
}

float StoredCct() {
    return TW(GetSensorColor)(kNothingStored);
}

float StoredLight() {
    return TW(GetSensorLight)(kNothingStored);
}

// The gain a ramp carries for one channel: its top entry over full scale.
double RampGain(const sim::GammaRampCall& call, int channel) {
    return static_cast<double>(call.ramp.at(channel * 256 + 255)) / kRampTop;
}

void InstallMachine(const nlohmann::json& description) {
    const auto root = sim::Machine::Current().Root();
    auto machine = sim::Machine::FromJson(description);
    machine->SetRoot(root);
    machine->Clock().SetMode(sim::MachineClock::Mode::Virtual);
    sim::Machine::Install(std::move(machine));
}

// The thread is in the apartment it entered, or in none.
void ExpectApartmentAsEntered(FrontEndThread kind) {
    const DWORD model =
        kind == FrontEndThread::SingleThreaded ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
    EXPECT_EQ(CoInitializeEx(nullptr, model), kind == FrontEndThread::WithoutCom ? S_OK : S_FALSE);
    CoUninitialize();
}

// The default laptop with other light sensors.
nlohmann::json DefaultLaptopWith(nlohmann::json lightSensors) {
    auto description = nlohmann::json::parse(sim::kDefaultMachineJson);
    description["sensors"] = {{"lightSensors", std::move(lightSensors)}};
    return description;
}

}  // namespace

// The default laptop (Intel graphics, one light sensor) with nature colour
// on, a table from 3000 K to 9000 K, four frames a transition, and the
// driver's device id stored.
class NatureColorSensors : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        Prepare();
    }

    void TearDown() override {
        Settle();
        ExportTest::TearDown();
    }

    static void Prepare() {
        StoreNeutralNatureColourSettings();
        TW(InitMonitorId)();
        TW(ClearMappingInfo)();
        TW(AddCctMappingInfo)(3000.0f, 1.0, 0.6, 0.3);
        TW(AddCctMappingInfo)(6500.0f, 1.0, 0.9, 0.8);
        TW(AddCctMappingInfo)(9000.0f, 0.7, 0.8, 1.0);
        TW(SetNatureColorAll)(4, 100, 0, 100.0f, kLowLightCct, kLowLightLux);
    }

    // Everything handed to the sinks has reached the engine, and the
    // transitions it started have ended.
    static void Settle() {
        Sensors().AwaitDeliveries();
        Firmware().AwaitEvents();
        EXPECT_TRUE(AwaitCondition([] { return !NaturalTone::Instance().DimmingWorkerRunning(); },
                                   kPatience));
    }

    static void Reading(std::optional<float> lux, std::optional<float> kelvin) {
        Sensors().PushLightReading(lux, kelvin);
        Settle();
    }

    static void FirmwareEvent(unsigned int event, DWORD kelvin = 0) {
        Firmware().SetBiosInfoAnswer({0, 0, kelvin});
        Firmware().RaiseEvent(event);
        Settle();
    }
};

TEST_F(NatureColorSensors, AReadingMovesTheIntelRampFrameByFrameToTheTableGainsOfItsKelvin) {
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    Reading(300.0f, 6500.0f);

    EXPECT_EQ(StoredCct(), 6500.0f);
    EXPECT_EQ(StoredLight(), 300.0f);
    const auto ramps = sim::Machine::Current().IntelDriver().GammaRampCalls();
    ASSERT_EQ(ramps.size(), 5u);
    EXPECT_NEAR(RampGain(ramps.back(), 0), 1.0, 1e-4);
    EXPECT_NEAR(RampGain(ramps.back(), 1), 0.9, 1e-4);
    EXPECT_NEAR(RampGain(ramps.back(), 2), 0.8, 1e-4);
    EXPECT_EQ(Sensors().SinkAnswers(), std::vector<HRESULT>{S_OK});
}

TEST_F(NatureColorSensors, WhileTheStatusIsZeroNoReadingReachesTheEngine) {
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    Reading(300.0f, 6500.0f);
    EXPECT_EQ(StoredCct(), kNothingStored);

    TW(SetNatureColorStatus)(1);
    TW(SetNatureColorStatus)(0);
    Reading(300.0f, 6500.0f);
    EXPECT_EQ(StoredCct(), kNothingStored);
    EXPECT_EQ(Sensors().SinkAnswers(), (std::vector<HRESULT>{S_OK, S_OK}));
}

TEST_F(NatureColorSensors, OnlyAKelvinOfTypeR4IsForwardedAndALuxOfAnotherTypeCountsAsDarkness) {
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    Sensors().PushReport(
        {sim::ReportValue::Float(300.0f), sim::ReportValue::OfType(VT_R8, 6500.0)});
    Sensors().PushReport({sim::ReportValue::Float(300.0f), sim::ReportValue::Missing()});
    Sensors().PushReport({sim::ReportValue::Missing(), sim::ReportValue::Float(6500.0f)});
    Sensors().PushReport({sim::ReportValue::Failing(E_FAIL), sim::ReportValue::Float(6500.0f)});
    Settle();
    EXPECT_EQ(StoredCct(), kNothingStored);

    Sensors().PushReport(
        {sim::ReportValue::OfType(VT_UI4, 300.0), sim::ReportValue::Float(9000.0f)});
    Settle();
    EXPECT_EQ(StoredCct(), kLowLightCct);
    EXPECT_EQ(StoredLight(), 0.0f);
    EXPECT_EQ(Sensors().SinkAnswers(),
              (std::vector<HRESULT>{S_OK, kFieldMissing, kFieldMissing, E_FAIL, S_OK}));
}

TEST_F(NatureColorSensors, TheSinksRefuseNullArgumentsAndOnlyAskedForInterfaces) {
    LightEvent& light = LightEvent::Instance();
    SensorLightEventHandle& firmwareLight = SensorLightEventHandle::Instance();
    EXPECT_EQ(light.OnDataUpdated(nullptr, nullptr), S_OK) << "status 0 reads nothing";
    EXPECT_EQ(firmwareLight.OnDataUpdated(nullptr, nullptr), E_POINTER);
    TW(SetNatureColorStatus)(1);
    EXPECT_EQ(light.OnDataUpdated(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(light.OnStateChanged(nullptr, SENSOR_STATE_READY), E_INVALIDARG);
    EXPECT_TRUE(Logged(3, "pSensor or pNewData is nullptr!(LightEvent::OnDataUpdated)"));
    EXPECT_TRUE(
        Logged(3, "pSensor or pNewData is nullptr!(SensorLightEventHandle::OnDataUpdated)"));

    for (ISensorEvents* sink :
         {static_cast<ISensorEvents*>(&light), static_cast<ISensorEvents*>(&firmwareLight)}) {
        void* object = &light;
        EXPECT_EQ(sink->QueryInterface(IID_ISensor, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(sink->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        ASSERT_EQ(sink->QueryInterface(IID_IUnknown, &object), S_OK);
        EXPECT_EQ(object, static_cast<void*>(sink));
        const ULONG references = sink->AddRef();
        EXPECT_EQ(sink->Release(), references - 1);
        sink->Release();
    }
}

TEST_F(NatureColorSensors, TheSensorsStateChangesAreLogged) {
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    Sensors().PushStateChange(SENSOR_STATE_READY);
    Sensors().PushStateChange(SENSOR_STATE_ACCESS_DENIED);
    Sensors().PushStateChange(SENSOR_STATE_NO_DATA);
    Settle();
    EXPECT_TRUE(Logged(1, "Light sensor is now ready.(LightEvent::OnStateChanged)"));
    EXPECT_TRUE(Logged(3, "No permission for the time sensor.(LightEvent::OnStateChanged)"));
    std::size_t stateLines = 0;
    for (const auto& record : LogRecords()) {
        stateLines += record.text.find("OnStateChanged") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(stateLines, 2u);
}

TEST_F(NatureColorSensors, UnknownMonitorTypesAreRefused) {
    EXPECT_EQ(TW(StartMonitorNatureColor)(2), -1);
    EXPECT_TRUE(Logged(3, "ISensor QueryInterface Faild(StartMonitorNatureColorSensorEvent)"));
    EXPECT_EQ(TW(UninstallNatureColorObject)(7), -1);
    EXPECT_TRUE(Logged(3, "monitorType Error,type:7(UninstallNatureColorObject)"));
    EXPECT_EQ(Sensors().LiveObjects(), 0);
}

TEST_F(NatureColorSensors, ARepeatedSubscriptionReusesTheManagerAndTheSensorsFoundBefore) {
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    // Neither a new manager nor a new search would find this machine's state.
    Sensors().SetManagerRegistered(false);
    Sensors().AddLightSensor({});
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightAndFirmware), 0);
    EXPECT_EQ(Sensors().AttachedSinks(), 1u);

    EXPECT_EQ(TW(UninstallNatureColorObject)(kLightAndFirmware), 0);
    EXPECT_EQ(Sensors().AttachedSinks(), 0u);
    EXPECT_EQ(Sensors().LiveObjects(), 0);
    EXPECT_EQ(sim::MtaUsages(), 0);
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), -1);
    EXPECT_TRUE(Logged(3,
                       "::CoCreateInstance NatureColor SensorManager "
                       "Faild(StartMonitorNatureColorSensorEventImpl)"));
}

// A subscription reported as failed leaves no sensor calling the engine, and
// keeps nothing for the next attempt, which sees the machine as it is then.
TEST_F(NatureColorSensors, AFailedSubscriptionLetsGoOfWhatItMade) {
    sim::Machine::Current().FailCall("ISensor::SetEventSink", ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), -1);
    EXPECT_TRUE(Logged(3, "SetEventSink Faild(StartMonitorNatureColorSensorEventImpl)"));
    EXPECT_EQ(Sensors().LiveObjects(), 0);
    EXPECT_EQ(sim::MtaUsages(), 0);

    Sensors().AddLightSensor({});
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    EXPECT_EQ(Sensors().AttachedSinks(), 2u);
}

TEST_F(NatureColorSensors, EachStepOfTheSubscriptionThatFailsIsNamedAndLeavesNoReference) {
    for (const char* call : {"ISensorManager::GetSensorsByCategory", "ISensorCollection::GetCount",
                             "ISensorCollection::GetAt"}) {
        sim::Machine::Current().FailCall(call, ERROR_ACCESS_DENIED);
        EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), -1) << call;
        EXPECT_EQ(TW(UninstallNatureColorObject)(kLightOnly), 0) << call;
        EXPECT_EQ(Sensors().LiveObjects(), 0) << call;
    }
    for (const char* line :
         {"GetSensorsByCategory SensorCollection Faild", "get count Faild!", "get sensor Faild"}) {
        EXPECT_TRUE(Logged(3, std::string(line) + "(StartMonitorNatureColorSensorEventImpl)"))
            << line;
    }
}

TEST_F(NatureColorSensors, AMachineWithoutALightSensorHasNothingToSubscribeTo) {
    InstallMachine(DefaultLaptopWith(nlohmann::json::array()));
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), -1);
    EXPECT_TRUE(Logged(
        3, "GetSensorsByCategory SensorCollection Faild(StartMonitorNatureColorSensorEventImpl)"));

    Sensors().AddLightSensor({});
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    EXPECT_EQ(Sensors().AttachedSinks(), 1u);
}

TEST_F(NatureColorSensors, ASensorThatRefusesTheSinkFailsTheSubscriptionAndTheOthersAreCancelled) {
    InstallMachine(
        DefaultLaptopWith({{{"name", "lid"}}, {{"name", "base"}, {"refusesSink", true}}}));
    Prepare();
    TW(SetNatureColorStatus)(1);
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), -1);
    EXPECT_TRUE(Logged(3, "SetEventSink Faild(StartMonitorNatureColorSensorEventImpl)"));
    EXPECT_EQ(Sensors().AttachedSinks(), 0u);
    EXPECT_EQ(Sensors().LiveObjects(), 0);

    Reading(300.0f, 6500.0f);
    EXPECT_EQ(StoredCct(), kNothingStored);
}

TEST_F(NatureColorSensors, AfterTheUninstallNoReadingArrives) {
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    EXPECT_EQ(TW(UninstallNatureColorObject)(kLightOnly), 0);
    Reading(300.0f, 6500.0f);
    EXPECT_EQ(StoredCct(), kNothingStored);
    EXPECT_EQ(Sensors().LiveObjects(), 0);
}

TEST_F(NatureColorSensors, Event705StartsATransitionToTheFirmwaresKelvinWithTheLastLight) {
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightAndFirmware), 0);
    Reading(200.0f, std::nullopt);
    EXPECT_EQ(SensorLightEventHandle::Instance().Light(), 200.0f) << "kept whatever the status";
    FirmwareEvent(kSensorColorEvent, 6500);
    EXPECT_EQ(StoredCct(), kNothingStored);

    TW(SetNatureColorStatus)(1);
    FirmwareEvent(kSensorColorEvent + 1, 3000);
    EXPECT_EQ(Firmware().BiosInfoRequests().size(), 1u) << "other events read nothing";
    FirmwareEvent(kSensorColorEvent, 9000);
    EXPECT_EQ(StoredCct(), 9000.0f);
    EXPECT_EQ(StoredLight(), 200.0f);

    // A light reading re-uses the firmware's last colour temperature.
    Reading(10.0f, 6500.0f);
    EXPECT_EQ(StoredCct(), kLowLightCct);
    EXPECT_EQ(StoredLight(), 10.0f);
}

TEST_F(NatureColorSensors, AColourTheFirmwareRefusesReachesNothing) {
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightAndFirmware), 0);
    Firmware().SetBiosInfoAnswer({0, 1, 6500});
    Firmware().RaiseEvent(kSensorColorEvent);
    Settle();
    EXPECT_EQ(StoredCct(), kNothingStored);
}

TEST_F(NatureColorSensors, TheFirmwareMonitorsResultsAreTheExportsAndAStoppedOneIsSilent) {
    Firmware().SetEventMonitorResults(-3, 0);
    TW(SetNatureColorStatus)(1);
    EXPECT_EQ(TW(StartMonitorNatureColor)(kLightAndFirmware), -3);
    EXPECT_FALSE(Firmware().EventMonitorStarted());

    Firmware().SetEventMonitorResults(0, -4);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightAndFirmware), 0);
    EXPECT_EQ(TW(UninstallNatureColorObject)(kLightAndFirmware), -4);
    EXPECT_TRUE(Firmware().EventMonitorStarted());

    Firmware().SetEventMonitorResults(0, 0);
    EXPECT_EQ(TW(UninstallNatureColorObject)(kLightAndFirmware), 0);
    FirmwareEvent(kSensorColorEvent, 6500);
    EXPECT_TRUE(Firmware().BiosInfoRequests().empty());
    EXPECT_EQ(StoredCct(), kNothingStored);
}

// Whichever threads of the front-end subscribe and unsubscribe, the Sensor
// API's objects are called only in the apartment that made them, kept alive
// meanwhile, and the threads are left in the apartments they were in.
TEST_F(NatureColorSensors, TheSensorApisObjectsStayInTheirApartmentWhicheverThreadsCall) {
    struct Case {
        const char* name;
        FrontEndThread subscriber;
        FrontEndThread unsubscriber;
        float kelvin;
    };
    const std::vector<Case> cases = {
        {"WindowThenWorker", FrontEndThread::SingleThreaded, FrontEndThread::MultiThreaded, 6500},
        {"WorkerThenWindow", FrontEndThread::MultiThreaded, FrontEndThread::SingleThreaded, 3500},
        {"PlainThenWindow", FrontEndThread::WithoutCom, FrontEndThread::SingleThreaded, 6500},
        {"WindowThenPlain", FrontEndThread::SingleThreaded, FrontEndThread::WithoutCom, 3500},
    };
    TW(SetNatureColorStatus)(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunOnFrontEndThread(c.subscriber, [kind = c.subscriber] {
            EXPECT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
            ExpectApartmentAsEntered(kind);
        });
        EXPECT_EQ(sim::MtaUsages(), 1);
        Reading(300.0f, c.kelvin);
        EXPECT_EQ(StoredCct(), c.kelvin);
        RunOnFrontEndThread(c.unsubscriber, [kind = c.unsubscriber] {
            EXPECT_EQ(TW(UninstallNatureColorObject)(kLightOnly), 0);
            ExpectApartmentAsEntered(kind);
        });
        EXPECT_EQ(Sensors().WrongApartmentCalls(), 0);
        EXPECT_EQ(Sensors().AttachedSinks(), 0u);
        EXPECT_EQ(Sensors().LiveObjects(), 0);
        EXPECT_EQ(sim::MtaUsages(), 0);
        EXPECT_EQ(platform::LibraryHold::Instance().Holds(), 0);
    }
}

// The end of the subscription waits for a callback already on its way to
// the engine; once it has returned no frame reaches the screen.
TEST_F(NatureColorSensors, TheUninstallWaitsForACallbackInFlightAndNoFrameFollowsIt) {
    auto description = DefaultLaptopWith({{{"name", "lid"}}});
    InstallMachine(description);
    sim::Machine::Current().Clock().SetMode(sim::MachineClock::Mode::Real);
    Prepare();
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);

    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false;
    bool released = false;
    Sensors().SetReadHook([&] {
        std::unique_lock lock(mutex);
        inside = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
    });
    Sensors().PushLightReading(300.0f, 6500.0f);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, kPatience, [&] { return inside; }));
    }
    Sensors().SetReadHook(nullptr);
    std::atomic<bool> returned{false};
    std::size_t framesAtReturn = 0;
    std::thread front([&] {
        EXPECT_EQ(TW(UninstallNatureColorObject)(kLightOnly), 0);
        framesAtReturn = sim::Machine::Current().IntelDriver().GammaRampCalls().size();
        returned = true;
    });
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(returned) << "the uninstall did not wait for the callback";
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    front.join();
    Settle();
    EXPECT_EQ(sim::Machine::Current().IntelDriver().GammaRampCalls().size(), framesAtReturn);
    EXPECT_EQ(platform::LibraryHold::Instance().Holds(), 0);
}

// A sensor that cannot be told to stop keeps its sink, as Windows' does: the
// sink still hears it, but nothing reaches the engine, and the library stays
// held for as long as the Sensor API holds the sink.
TEST_F(NatureColorSensors, ASinkASensorKeepsAfterTheUninstallReachesNothing) {
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    sim::Machine::Current().FailCall("ISensor::SetEventSink", ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(UninstallNatureColorObject)(kLightOnly), 0);
    EXPECT_TRUE(Logged(2, "sensor 0 keeps its sink(UninstallNatureColorObject)"));
    EXPECT_EQ(Sensors().AttachedSinks(), 1u);
    EXPECT_GT(platform::LibraryHold::Instance().Holds(), 0);
    const std::size_t answers = Sensors().SinkAnswers().size();
    Reading(300.0f, 6500.0f);
    EXPECT_EQ(Sensors().SinkAnswers().size(), answers + 1) << "the sensor still calls the sink";
    EXPECT_EQ(StoredCct(), kNothingStored);
}

// The sensors' subscription and the firmware's each hold the library while
// in place; ending one leaves the other's, and a stop the monitor refuses
// leaves it running.
TEST_F(NatureColorSensors, EachSubscriptionInPlaceHoldsTheLibraryUntilItEnds) {
    struct Step {
        const char* name;
        std::function<int()> call;
        int result;
        bool held;
        bool eventMovesTheScreen;
    };
    const std::vector<Step> steps = {
        {"BothSubscribed", [] { return TW(StartMonitorNatureColor)(kLightAndFirmware); }, 0, true,
         true},
        {"TheSensorsEnded", [] { return TW(UninstallNatureColorObject)(kLightOnly); }, 0, true,
         true},
        {"TheStopRefused",
         [] {
             Firmware().SetEventMonitorResults(0, -4);
             return TW(UninstallNatureColorObject)(kLightAndFirmware);
         },
         -4, true, true},
        {"TheFirmwareEnded",
         [] {
             Firmware().SetEventMonitorResults(0, 0);
             return TW(UninstallNatureColorObject)(kLightAndFirmware);
         },
         0, false, false},
    };
    TW(SetNatureColorStatus)(1);
    DWORD kelvin = 3000;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(step.call(), step.result);
        EXPECT_EQ(platform::LibraryHold::Instance().Holds() > 0, step.held);
        kelvin = kelvin == 3000 ? 9000 : 3000;
        FirmwareEvent(kSensorColorEvent, kelvin);
        EXPECT_EQ(StoredCct() == static_cast<float>(kelvin), step.eventMovesTheScreen);
    }
}

// Run in a child process by the next test: exit() while a sensor's delivery
// is inside the sink and another waits behind it. Where it is told, the child
// notes each of the sinks' reads as it starts ('+') and as it comes back
// ('-'); a read takes longer than the exit.
TEST_F(NatureColorSensors, DISABLED_ProcessExitsWhileASensorDelivers) {
    static const char* const mark = std::getenv("TINTWELL_TEST_DELIVERY_MARK");
    TW(SetNatureColorStatus)(1);
    ASSERT_EQ(TW(StartMonitorNatureColor)(kLightOnly), 0);
    static std::atomic<bool> entered{false};
    const auto note = [](char moment) {
        if (mark != nullptr) {
            std::ofstream(mark, std::ios::app) << moment;
        }
    };
    Sensors().SetReadHook([note] {
        note('+');
        entered = true;
        std::this_thread::sleep_for(kLongRead);
        note('-');
    });
    for (int reading = 0; reading < kQueuedAtExit; ++reading) {
        Sensors().PushLightReading(300.0f, 6500.0f);
    }
    ASSERT_TRUE(AwaitCondition([] { return entered.load(); }, kPatience));
    std::exit(EXIT_SUCCESS);
}

// The machine stays whole until every delivery under way or queued has
// ended, rather than being destroyed under one, or rebuilt from the
// environment while the process ends.
TEST(NatureColorSensorsAtExit, TheProcessEndsAfterTheDeliveriesUnderWay) {
    const std::string mark = std::filesystem::temp_directory_path() / "tintwell-exit-delivery-mark";
    std::filesystem::remove(mark);
    setenv("TINTWELL_TEST_DELIVERY_MARK", mark.c_str(), 1);
    const auto exitCode = RunTestInChildProcess(
        "NatureColorSensors.DISABLED_ProcessExitsWhileASensorDelivers", kPatience);
    unsetenv("TINTWELL_TEST_DELIVERY_MARK");
    ASSERT_TRUE(exitCode.has_value()) << "the process hung on its way out";
    EXPECT_EQ(*exitCode, 0);
    std::string reads;
    std::ifstream(mark) >> reads;
    std::filesystem::remove(mark);
    const auto started = std::count(reads.begin(), reads.end(), '+');
    EXPECT_EQ(std::count(reads.begin(), reads.end(), '-'), started)
        << "a read was cut off by the exit: " << reads;
    EXPECT_GE(started, kQueuedAtExit) << "a queued delivery never came";
}

}  // namespace tw_test

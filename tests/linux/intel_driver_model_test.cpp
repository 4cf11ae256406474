// The simulated COM runtime and driver server: the contracts of ole32 and of
// the driver object that the library relies on, and the slot layout of
// CUIExternal8 as the driver dispatches it.
#include <ole2.h>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "platform/com_ptr.h"
#include "platform/cui_external8.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace tw_test {

namespace {

class IntelDriverModelTest : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        Install(R"({"intelDriver": {"present": true, "devices": {"\\\\.\\DISPLAY1": 42}}})");
    }

    static void Install(const char* description) {
        auto machine = sim::Machine::FromJson(nlohmann::json::parse(description));
        machine->SetRoot(sim::Machine::Current().Root());
        sim::Machine::Install(std::move(machine));
    }

    static sim::IntelDriverModel& Driver() { return sim::Machine::Current().IntelDriver(); }

    static HRESULT Create(ComPtr<CUIExternal8>& driver, DWORD context = CLSCTX_ALL) {
        return CoCreateInstance(kCUIExternalClassId, nullptr, context, __uuidof(CUIExternal8),
                                driver.Receive());
    }
};

// Calls a slot by its index in the object's table of methods, the way a
// client compiled against the driver's own declaration reaches it.
template <typename Function>
Function* Slot(IUnknown* object, int index) {
    void** table = *reinterpret_cast<void***>(object);
    return reinterpret_cast<Function*>(table[index]);
}

constexpr GUID kSomeFeature = {5, 6, 7, {8, 9, 10, 11, 12, 13, 14, 15}};

struct OleThread {
    OleThread() { EXPECT_EQ(OleInitialize(nullptr), S_OK); }
    ~OleThread() { OleUninitialize(); }
};

}  // namespace

TEST_F(IntelDriverModelTest, CreationNeedsAnApartment) {
    ComPtr<CUIExternal8> driver;
    EXPECT_EQ(Create(driver), CO_E_NOTINITIALIZED);
    EXPECT_FALSE(driver);
    OleThread ole;
    EXPECT_EQ(Create(driver), S_OK);
    EXPECT_TRUE(driver);
}

TEST_F(IntelDriverModelTest, ClassIsRegisteredOnlyWithTheDriverAsLocalServer) {
    OleThread ole;
    ComPtr<CUIExternal8> driver;
    EXPECT_EQ(Create(driver, CLSCTX_INPROC_SERVER), REGDB_E_CLASSNOTREG);
    ComPtr<IUnknown> other;
    EXPECT_EQ(
        CoCreateInstance(kSomeFeature, nullptr, CLSCTX_ALL, __uuidof(IUnknown), other.Receive()),
        REGDB_E_CLASSNOTREG);
    Install(R"({"name": "no Intel graphics"})");
    EXPECT_EQ(Create(driver), REGDB_E_CLASSNOTREG);
}

TEST_F(IntelDriverModelTest, EveryInterfaceOfTheChainIsTheSameCountedObject) {
    OleThread ole;
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(CoCreateInstance(kCUIExternalClassId, nullptr, CLSCTX_ALL, __uuidof(IUnknown),
                               unknown.Receive()),
              S_OK);
    const auto devices = unknown.As<CUIExternalDevices>();
    const auto gamma = unknown.As<CUIExternalGamma>();
    const auto newest = unknown.As<CUIExternal8>();
    ASSERT_TRUE(devices && gamma && newest);
    EXPECT_EQ(static_cast<IUnknown*>(newest.Get()), unknown.Get());
    EXPECT_EQ(Driver().OutstandingReferences(), 4);
    void* refused = &ole;
    EXPECT_EQ(unknown->QueryInterface(kCUIExternalClassId, &refused), E_NOINTERFACE);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(Driver().LiveObjects(), 1);
}

TEST_F(IntelDriverModelTest, SlotsSitAtTheirNumbers) {
    OleThread ole;
    ComPtr<CUIExternal8> driver;
    ASSERT_EQ(Create(driver), S_OK);
    using EnumActiveDevices = HRESULT(IUnknown*, BSTR, LONG, LONG*, LONG*);
    using SetGammaRamp = HRESULT(IUnknown*, LONG, LONG, WORD*, LONG*);
    using SetFeatureData = HRESULT(IUnknown*, GUID, LONG, BYTE*, LONG, BYTE*, LONG*);
    using Reserved = HRESULT(IUnknown*);

    BSTR name = SysAllocString(L"\\\\.\\DISPLAY1");
    LONG id = 0;
    LONG value = 0;
    EXPECT_EQ(Slot<EnumActiveDevices>(driver.Get(), 3)(driver.Get(), name, 0, &id, &value), S_OK);
    SysFreeString(name);
    EXPECT_EQ(id, 42);

    WORD ramp[768] = {7};
    LONG status = -1;
    EXPECT_EQ(Slot<SetGammaRamp>(driver.Get(), 26)(driver.Get(), 42, 1536, ramp, &status), S_OK);
    EXPECT_EQ(Driver().GammaRampCalls().at(0).ramp.at(0), 7);

    BYTE header[4] = {9};
    status = -1;
    EXPECT_EQ(Slot<SetFeatureData>(driver.Get(), 46)(driver.Get(), kSomeFeature, 4, header, 0,
                                                     nullptr, &status),
              S_OK);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Driver().FeatureDataCalls().at(0).feature, kSomeFeature);

    for (int reserved : {4, 25, 27, 45}) {
        EXPECT_EQ(Slot<Reserved>(driver.Get(), reserved)(driver.Get()), E_NOTIMPL) << reserved;
    }
}

TEST_F(IntelDriverModelTest, DriverRefusesMalformedCalls) {
    OleThread ole;
    ComPtr<CUIExternal8> driver;
    ASSERT_EQ(Create(driver), S_OK);
    WORD ramp[768] = {};
    LONG status = 0;
    EXPECT_EQ(driver->SetGammaRamp(42, 1535, ramp, &status), E_INVALIDARG);
    EXPECT_EQ(driver->SetGammaRamp(42, 1536, ramp, nullptr), E_POINTER);
    EXPECT_TRUE(Driver().GammaRampCalls().at(0).ramp.empty());
    BYTE byte = 0;
    EXPECT_EQ(driver->SetFeatureData(GUID{}, -1, &byte, 0, nullptr, &status), E_INVALIDARG);
    EXPECT_EQ(driver->SetFeatureData(GUID{}, 0, nullptr, 1, nullptr, &status), E_POINTER);
    LONG id = 0;
    EXPECT_EQ(driver->EnumActiveDevices(nullptr, 0, &id, &id), E_INVALIDARG);
}

TEST_F(IntelDriverModelTest, FailuresOfTheDescriptionBecomeHresults) {
    Install(R"({
        "intelDriver": {"present": true, "featureStatus": 6},
        "failures": [{"call": "SetFeatureData", "error": 5}]
    })");
    OleThread ole;
    ComPtr<CUIExternal8> driver;
    ASSERT_EQ(Create(driver), S_OK);
    LONG status = 0;
    EXPECT_EQ(driver->SetFeatureData(GUID{}, 0, nullptr, 0, nullptr, &status),
              static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(driver->SetFeatureData(GUID{}, 0, nullptr, 0, nullptr, &status), S_OK);
    EXPECT_EQ(status, 6);
}

}  // namespace tw_test

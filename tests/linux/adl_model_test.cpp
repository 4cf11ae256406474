// The simulated ADL keeps ADL's contracts: a context before anything else,
// records allocated through the caller's callback, sizes checked, gamut
// changes a display cannot take refused, and every change recorded.
#include <cstdlib>
#include <cstring>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "platform/system_module.h"

namespace tw_test {

namespace {

int g_allocations = 0;
int g_lastAllocationSize = 0;

void* WINAPI CountingAllocate(int size) {
    ++g_allocations;
    g_lastAllocationSize = size;
    return std::malloc(static_cast<std::size_t>(size));
}

}  // namespace

class SimulatedAdl : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        nlohmann::json plain = AdlDisplay(0, 1);
        plain["whitePoints"] = 0xF;
        plain["name"] = "Plain panel";
        InstallAdl(AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0), plain}));
        module_.reset(LoadLibraryW(L"C:\\Windows\\System32\\atiadlxx.dll"));
        ASSERT_TRUE(module_);
    }

    template <typename Function>
    Function Entry(const char* name) {
        return EntryPoint<Function>(module_.get(), name);
    }

    void CreateContext() {
        ASSERT_EQ(Entry<adl::MainControlCreate>("ADL_Main_Control_Create")(&CountingAllocate, 1),
                  adl::kOk);
    }

    UniqueModule module_;
};

TEST_F(SimulatedAdl, NothingButTheContextAnswersBeforeItExists) {
    int count = -1;
    const auto countAdapters =
        Entry<adl::AdapterNumberOfAdaptersGet>("ADL_Adapter_NumberOfAdapters_Get");
    EXPECT_EQ(countAdapters(&count), adl::kErrNotInit);
    CreateContext();
    EXPECT_EQ(countAdapters(&count), adl::kOk);
    EXPECT_EQ(count, 1);
    Entry<adl::MainControlDestroy>("ADL_Main_Control_Destroy")();
    EXPECT_EQ(countAdapters(&count), adl::kErrNotInit);
}

TEST_F(SimulatedAdl, AdapterRecordsNeedRoomForEveryAdapter) {
    CreateContext();
    const auto adapterInfo = Entry<adl::AdapterAdapterInfoGet>("ADL_Adapter_AdapterInfo_Get");
    adl::AdapterInfo record{};
    EXPECT_EQ(adapterInfo(&record, sizeof record - 1), adl::kErrInvalidParamSize);
    ASSERT_EQ(adapterInfo(&record, sizeof record), adl::kOk);
    EXPECT_EQ(record.size, 1572);
    EXPECT_EQ(record.adapterIndex, 0);
    EXPECT_STREQ(record.adapterName, "AMD Radeon(TM) Graphics");
}

TEST_F(SimulatedAdl, DisplayRecordsComeFromTheCallersCallback) {
    CreateContext();
    const auto displayInfo = Entry<adl::DisplayDisplayInfoGet>("ADL_Display_DisplayInfo_Get");
    int count = 0;
    adl::DisplayInfo* records = nullptr;
    ASSERT_EQ(displayInfo(0, &count, &records, 0), adl::kOk);
    EXPECT_EQ(g_allocations, 1);
    EXPECT_EQ(g_lastAllocationSize, 2 * 552);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(records[1].displayId.logicalIndex, 1);
    EXPECT_EQ(records[1].displayId.logicalAdapterIndex, 0);
    EXPECT_EQ(records[1].infoValue, kConnectedAndMapped);
    EXPECT_STREQ(records[1].displayName, "Plain panel");

    // ADL fills an empty pointer only: a filled one would be lost.
    EXPECT_EQ(displayInfo(0, &count, &records, 0), adl::kErrInvalidParam);
    EXPECT_EQ(g_allocations, 1);
    std::free(records);
    records = nullptr;
    EXPECT_EQ(displayInfo(7, &count, &records, 0), adl::kErrInvalidAdapterIndex);
}

TEST_F(SimulatedAdl, ACustomWhitePointNeedsTheCapabilityAndEveryChangeIsRecorded) {
    CreateContext();
    const auto gamutSet = Entry<adl::DisplayGamutSet>("ADL_Display_Gamut_Set");
    const auto gamutGet = Entry<adl::DisplayGamutGet>("ADL_Display_Gamut_Get");
    adl::GamutData white{};
    white.feature = adl::kFeatureCustomWhitePoint;
    white.customWhitePoint = {3000, 3100};
    const adl::GamutReference source{adl::kGamutReferenceSource};

    EXPECT_EQ(gamutSet(0, 1, source, &white), adl::kErrNotSupported);
    EXPECT_EQ(gamutSet(0, 0, source, &white), adl::kOk);
    EXPECT_EQ(gamutSet(0, 9, source, &white), adl::kErrInvalidDisplayIndex);

    const auto sets = Adl().GamutSets();
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].result, adl::kErrNotSupported);
    EXPECT_EQ(sets[1].gamut.customWhitePoint.y, 3100);
    adl::GamutData current{};
    ASSERT_EQ(gamutGet(0, 0, source, &current), adl::kOk);
    EXPECT_EQ(current.customWhitePoint.x, 3000);
    ASSERT_EQ(gamutGet(0, 0, adl::GamutReference{0}, &current), adl::kOk);
    EXPECT_EQ(current.customWhitePoint.x, 0);  // the destination gamut is another one
    ASSERT_EQ(gamutGet(0, 1, source, &current), adl::kOk);
    EXPECT_EQ(current.customWhitePoint.x, 0);
}

TEST_F(ExportTest, TheAdlPartReadsFromTheMachineDescription) {
    const auto machine = sim::Machine::FromJson(nlohmann::json::parse(R"({
        "adl": {
            "module": "atiadlxy.dll",
            "missingEntryPoints": ["ADL_Display_Color_Set"],
            "createResult": -2,
            "adapters": [{"index": 4, "name": "AMD Radeon RX"}],
            "displays": [{"logicalAdapterIndex": 4, "logicalDisplayIndex": 2,
                          "gamut": {"whitePoint": [3127, 3290]}}]
        }})"));
    auto& adl = machine->Adl();
    EXPECT_EQ(adl.ModuleName(), L"atiadlxy.dll");
    EXPECT_FALSE(adl.ExportsEntryPoint("ADL_Display_Color_Set"));
    EXPECT_TRUE(adl.ExportsEntryPoint("ADL_Display_Color_Get"));
    EXPECT_EQ(adl.CreateContext(&CountingAllocate), -2);
    EXPECT_EQ(adl.LiveContexts(), 0);
    const auto display = adl.FindDisplay(4, 2);
    ASSERT_TRUE(display.has_value());
    EXPECT_EQ(display->listedBy, 4);
    EXPECT_EQ(display->infoValue, kConnectedAndMapped);
    EXPECT_EQ(display->caps.supportedGamutSpace, 0xF);
    EXPECT_EQ(display->caps.supportedWhitePoint, 0x1F);
    EXPECT_EQ(display->gamut.customWhitePoint.y, 3290);
    EXPECT_TRUE(sim::Machine::BuiltInDefault()->Adl().ModuleName().empty());
}

}  // namespace tw_test

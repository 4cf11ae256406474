// The maker's firmware-side services on the simulated machine: the hardware
// library, the firmware WMI interface (sensor colour data, display-port
// status) and the data report spool.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "naturecolor/sensor_color_data_reader.h"
#include "services/hardware_hal.h"
#include "services/orv_data_report.h"
#include "services/wmi_util.h"
#include "sim/firmware_model.h"
#include "sim/machine.h"

namespace tw_test {

namespace {

sim::FirmwareModel& Firmware() {
    return sim::Machine::Current().Firmware();
}

void InstallMachine(const char* json) {
    const auto root = sim::Machine::Current().Root();
    auto machine = sim::Machine::FromJson(nlohmann::json::parse(json));
    machine->SetRoot(root);
    sim::Machine::Install(std::move(machine));
}

std::vector<std::string> Texts(const std::vector<LogRecord>& records) {
    std::vector<std::string> texts;
    for (const auto& record : records) {
        texts.push_back("[" + std::to_string(record.level) + "] " + record.text);
    }
    return texts;
}

std::vector<BYTE> Bytes(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return {bytes, bytes + size};
}

// The block HalInit handed out, freed with free as OperateColor does.
struct HalBlock {
    void* block = nullptr;
    ~HalBlock() { std::free(block); }
    void* Context() const { return static_cast<BYTE*>(block) + 8; }
};

std::filesystem::path SpoolFile() {
    return sim::Machine::Current().HostPath(
        L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Reports\\DataReport.spool");
}

std::string ReadSpool() {
    std::ifstream in(SpoolFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// --- Hardware library ---

TEST_F(ExportTest, FirmwareHalInitHandsOutAMallocBlock) {
    HalBlock hal;
    EXPECT_NE(HalInit(16, &hal.block), 0);
    ASSERT_NE(hal.block, nullptr);
    const auto calls = Firmware().HalInitCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].version, 16);
    EXPECT_EQ(calls[0].block, reinterpret_cast<std::uintptr_t>(hal.block));
    // Zeroed, and big enough for the context 8 bytes in.
    EXPECT_EQ(Bytes(hal.block, 16), std::vector<BYTE>(16, 0));
}

TEST_F(ExportTest, FirmwareHalInitCanRefuse) {
    InstallMachine(R"({"firmware": {"hal": {"init": false}}})");
    void* block = nullptr;
    EXPECT_EQ(HalInit(16, &block), 0);
    EXPECT_EQ(block, nullptr);

    Firmware().SetHalInitSucceeds(true);
    sim::Machine::Current().FailCall("HalInit", ERROR_ACCESS_DENIED);
    EXPECT_EQ(HalInit(16, &block), 0);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(HalInit(15, &block), 0);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(Firmware().HalInitCalls().size(), 3u);
}

TEST_F(ExportTest, FirmwareHalRecordsEveryCall) {
    HalBlock hal;
    ASSERT_NE(HalInit(16, &hal.block), 0);
    float gains[5] = {1.0f, 0.5f, 0.25f, 128.0f, 0.35f};
    DWORD out = 0;
    EXPECT_NE(HalSetInformation(16, hal.Context(), 6, gains, sizeof gains, &out), 0);
    std::int32_t pair[2] = {6500, -3};
    EXPECT_NE(HalSetInformation(16, hal.Context(), 2, pair, sizeof pair, &out), 0);
    EXPECT_NE(HalSetInformation(16, hal.Context(), 5, pair, sizeof pair, &out), 0);

    const auto calls = Firmware().HalSetInformationCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].version, 16);
    EXPECT_EQ(calls[0].context, hal.Context());
    EXPECT_EQ(calls[0].informationClass, 6);
    EXPECT_EQ(calls[0].size, 20);
    EXPECT_EQ(calls[0].data, Bytes(gains, sizeof gains));
    EXPECT_TRUE(calls[0].accepted);
    EXPECT_EQ(calls[1].informationClass, 2);
    EXPECT_EQ(calls[1].data, Bytes(pair, sizeof pair));
    EXPECT_EQ(calls[2].informationClass, 5);
    EXPECT_EQ(calls[2].size, 8);
}

TEST_F(ExportTest, FirmwareHalRefusesWhatTheLibraryCannotHaveMeant) {
    HalBlock hal;
    ASSERT_NE(HalInit(16, &hal.block), 0);
    float gains[5] = {};
    DWORD out = 0;
    // No block (HalInit failed), a context that is not block + 8, a wrong
    // version, a wrong size, an unknown class.
    EXPECT_EQ(HalSetInformation(16, nullptr, 6, gains, 20, &out), 0);
    EXPECT_EQ(HalSetInformation(16, hal.block, 6, gains, 20, &out), 0);
    EXPECT_EQ(HalSetInformation(15, hal.Context(), 6, gains, 20, &out), 0);
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 6, gains, 8, &out), 0);
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 2, gains, 20, &out), 0);
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 7, gains, 20, &out), 0);
    const auto calls = Firmware().HalSetInformationCalls();
    ASSERT_EQ(calls.size(), 6u);
    for (const auto& call : calls) {
        EXPECT_FALSE(call.accepted);
    }
    EXPECT_EQ(calls[0].context, nullptr);
}

TEST_F(ExportTest, FirmwareHalRefusesPerClassOrAlways) {
    InstallMachine(R"({"firmware": {"hal": {"refuseClasses": [2]}}})");
    HalBlock hal;
    ASSERT_NE(HalInit(16, &hal.block), 0);
    std::int32_t pair[2] = {1, 2};
    float gains[5] = {};
    DWORD out = 0;
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 2, pair, 8, &out), 0);
    EXPECT_NE(HalSetInformation(16, hal.Context(), 5, pair, 8, &out), 0);
    EXPECT_NE(HalSetInformation(16, hal.Context(), 6, gains, 20, &out), 0);

    sim::Machine::Current().FailCall("HalSetInformation", ERROR_ACCESS_DENIED);
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 6, gains, 20, &out), 0);
    EXPECT_NE(HalSetInformation(16, hal.Context(), 6, gains, 20, &out), 0);

    Firmware().SetHalRefusesAll(true);
    EXPECT_EQ(HalSetInformation(16, hal.Context(), 6, gains, 20, &out), 0);
    EXPECT_EQ(Firmware().HalSetInformationCalls().size(), 6u);
}

// --- Sensor colour data ---

TEST_F(ExportTest, FirmwareSensorColourIsAnUnalignedLittleEndianValue) {
    Firmware().SetBiosInfoAnswer({0, 0, 0x12345678});
    BYTE answer[256] = {};
    std::vector<BYTE> request(64, 0);
    request[0] = 6;
    request[1] = 0x27;
    EXPECT_EQ(OrvSDK::BiosWmi::GetBiosInfo(request.data(), answer), -1) << "unknown request";
    EXPECT_EQ(Bytes(answer, 6), std::vector<BYTE>(6, 0));
    request[1] = 0x26;
    ASSERT_EQ(OrvSDK::BiosWmi::GetBiosInfo(request.data(), answer), 0);
    EXPECT_EQ(Bytes(answer, 6), (std::vector<BYTE>{0, 0x78, 0x56, 0x34, 0x12, 0}));
}

// Each read asks once for the sensor colour block; a refusing status or a
// failing interface leaves the caller's value alone and logs why.
TEST_F(ExportTest, FirmwareSensorColourAnswersAndRefusals) {
    struct SensorRead {
        const char* machine;
        DWORD failure;  // of BiosWmi::GetBiosInfo, 0 for none
        int result;
        std::uint32_t cct;
        const char* error;  // the one error line, nullptr for none
    };
    const SensorRead reads[] = {
        {"{}", 0, 0, 5000, nullptr},
        {R"({"firmware": {"biosInfo": {"status": 1, "value": 6500}}})", 0, -1, 4321,
         "OutPut Params status Error!"},
        {R"({"firmware": {"biosInfo": {"status": 2, "value": 2700}}})", 0, 0, 2700, nullptr},
        {R"({"firmware": {"biosInfo": {"value": 305419896}}})", 0, 0, 0x12345678u, nullptr},
        {R"({"firmware": {"biosInfo": {"result": 7, "status": 0, "value": 6500}}})", 0, 7, 4321,
         "GetBiosInfo Failed! ret:7"},
        {"{}", 0x80041010u, static_cast<int>(0x80041010u), 4321,
         "GetBiosInfo Failed! ret:-2147217392"},
    };
    std::vector<BYTE> request(64, 0);
    request[0] = 6;
    request[1] = 0x26;
    for (const auto& read : reads) {
        SCOPED_TRACE(std::string(read.machine) + " failure " + std::to_string(read.failure));
        InstallMachine(read.machine);
        if (read.failure != 0) {
            sim::Machine::Current().FailCall("BiosWmi::GetBiosInfo", read.failure);
        }
        const std::size_t before = LogRecords().size();
        std::uint32_t cct = 4321;
        EXPECT_EQ(SensorColorDataReader::Instance().ReadSensorColorData(&cct), read.result);
        EXPECT_EQ(cct, read.cct);
        EXPECT_EQ(Firmware().BiosInfoRequests(), std::vector<std::vector<BYTE>>{request});
        std::vector<std::string> log;
        if (read.error != nullptr) {
            log.push_back(std::string("[3] ") + read.error +
                          "(SensorColorDataReader::ReadSensorColorData)");
        }
        const auto records = LogRecords();
        EXPECT_EQ(Texts({records.begin() + before, records.end()}), log);
    }
}

// --- Display-port status ---

TEST_F(ExportTest, FirmwareDpStatusWithoutAValueWritesNothing) {
    InstallMachine(R"({"firmware": {"dpStatus": {"value": null, "getResult": 3}}})");
    EXPECT_EQ(TW(GetDpStatus)(), -1);
    int status = 77;
    EXPECT_EQ(OrvSDK::BiosWmi::GetDpStatus(status), 3);
    EXPECT_EQ(status, 77);
}

TEST_F(ExportTest, FirmwareDpStatusIsReadAndSet) {
    InstallMachine(R"({"firmware": {"dpStatus": {"value": 2}}})");
    EXPECT_EQ(TW(GetDpStatus)(), 2);
    EXPECT_EQ(TW(SetDpStatus)(1), 0);
    EXPECT_EQ(TW(GetDpStatus)(), 1);
    EXPECT_EQ(Firmware().DpStatusValue(), 1);
    EXPECT_EQ(Firmware().DpStatusWrites(), (std::vector<int>{1}));
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, FirmwareDpStatusResultsPassThroughUnchanged) {
    Firmware().SetDpStatusResults(0, -5);
    EXPECT_EQ(TW(SetDpStatus)(3), -5);
    EXPECT_EQ(TW(GetDpStatus)(), 0);  // a refused status does not change the value

    // The status the component writes is returned whatever its own result.
    Firmware().SetDpStatusResults(9, 0);
    EXPECT_EQ(TW(GetDpStatus)(), 0);

    sim::Machine::Current().FailCall("BiosWmi::GetDpStatus", ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(GetDpStatus)(), -1);
    sim::Machine::Current().FailCall("BiosWmi::SetDpStatus", ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(SetDpStatus)(4), static_cast<int>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Firmware().DpStatusWrites(), (std::vector<int>{3, 4}));
    EXPECT_EQ(Firmware().DpStatusValue(), 0);
}

// --- Data report ---

TEST_F(ExportTest, DataReportLineEscapesWhatCouldBreakIt) {
    EXPECT_EQ(TW(DataReportUpload)("tab\there\\", "line\r\nend\x01\x7f caf\xe9"), 1);
    const std::string spool = ReadSpool();
    const std::regex shape(
        R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z\ttab\\there\\\\\tline\\r\\nend\\x01\\x7F caf\xe9\n$)");
    EXPECT_TRUE(std::regex_match(spool, shape)) << spool;
}

TEST_F(ExportTest, DataReportNullTextsCountAsEmpty) {
    EXPECT_EQ(TW(DataReportUpload)(nullptr, nullptr), 1);
    EXPECT_EQ(TW(DataReportUpload)("a", nullptr), 1);
    const auto lines = SplitLines(ReadSpool());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(24), "\t\t");
    EXPECT_EQ(lines[1].substr(24), "\ta\t");
}

TEST_F(ExportTest, DataReportFailureIsReportedAsZero) {
    sim::Machine::Current().FailCall("EventDataReport::SendMsg", ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(DataReportUpload)("a", "b"), 0);
    EXPECT_FALSE(std::filesystem::exists(SpoolFile()));
    EXPECT_EQ(TW(DataReportUpload)("a", "b"), 1);
    EXPECT_EQ(SplitLines(ReadSpool()).size(), 1u);
}

TEST_F(ExportTest, DataReportRecordCarriesBothTexts) {
    const LogInfo record = EventDataReport::Instance().GetMsg("first", "second");
    EXPECT_EQ(record.first, "first");
    EXPECT_EQ(record.second, "second");
    EXPECT_TRUE(EventDataReport::Instance().SendMsg(record));
}

TEST_F(ExportTest, DataReportUnwritableSpoolIsReportedAsZero) {
    // A file where the Reports folder should be: nothing can be appended.
    const auto folder = SpoolFile().parent_path();
    std::filesystem::create_directories(folder.parent_path());
    std::ofstream(folder) << "not a folder";
    EXPECT_EQ(TW(DataReportUpload)("a", "b"), 0);
}

}  // namespace tw_test

#pragma once

#include <windows.h>

#include <cstddef>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// One HalInit call: the block handed out (0 when refused).
struct HalInitCall {
    int version = 0;
    std::uintptr_t block = 0;
};

// One HalSetInformation call as the library made it.
struct HalSetInformationCall {
    int version = 0;
    const void* context = nullptr;
    int informationClass = 0;
    std::vector<BYTE> data;  // the `size` bytes at `data`
    int size = 0;
    bool accepted = false;
};

// The answer of the firmware WMI interface to the sensor colour request.
struct BiosInfoAnswer {
    int result = 0;      // GetBiosInfo's result; non-zero leaves the block untouched
    BYTE status = 0;     // answer byte 0; 1 means refused
    DWORD value = 5000;  // answer bytes 1 to 4, little-endian
};

// One GetSystemFirmwareTable call as the library made it.
struct FirmwareTableCall {
    DWORD provider = 0;
    DWORD id = 0;
    bool buffer = false;  // a buffer was passed
    DWORD bufferSize = 0;
    UINT returned = 0;
};

// The part of the machine that holds the firmware: its ACPI tables, and the
// maker's firmware interfaces: the
// hardware library (HardwareHal), the firmware WMI answer of GetBiosInfo,
// the display-port status (WmiUtil's BiosWmi) and the firmware's events
// (WmiUtil's BiosEventMonitor). Every call is recorded.
class FirmwareModel {
  public:
    static constexpr int kHalVersion = 16;
    static constexpr std::size_t kHalBlockSize = 64;
    // The offset of the context inside the block that the library passes.
    static constexpr std::size_t kHalContextOffset = 8;

    static constexpr DWORD kAcpiProvider = 0x41435049;  // 'ACPI'
    static constexpr DWORD kDlutTableId = 0x54554C44;   // "DLUT"

    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    // ACPI tables by identifier (firmware_tables.cpp). GetSystemFirmwareTable
    // answers the 'ACPI' provider from them with Windows' contract: the size
    // for a null buffer, the size needed (nothing written) for a small one,
    // the bytes written otherwise; 0 and `error` for a table that is not
    // there or an injected failure. Every call is recorded.
    void SetAcpiTable(DWORD id, std::vector<BYTE> bytes);
    void ClearAcpiTable(DWORD id);
    std::optional<std::vector<BYTE>> AcpiTable(DWORD id) const;
    UINT GetSystemFirmwareTable(DWORD provider, DWORD id, void* buffer, DWORD size,
                                std::optional<DWORD> injected, DWORD& error);
    std::vector<FirmwareTableCall> FirmwareTableCalls() const;

    // Hardware library. HalInit hands out a zeroed block from malloc, which
    // the caller frees with free. HalSetInformation accepts version 16, a
    // context that is a block of this model advanced by 8 bytes, and the
    // classes 2 and 5 with 8 bytes and 6 with 20 bytes, unless refused here.
    void SetHalInitSucceeds(bool succeeds);
    void SetHalRefusesAll(bool refuses);
    void SetHalRefusesClass(int informationClass, bool refuses = true);
    // The calls themselves (src/services/hardware_hal_sim.cpp); `injected`
    // makes the call fail as the machine's failure injection asked.
    int HalInit(int version, void** context, bool injected);
    int HalSetInformation(int version, void* context, int informationClass, const void* data,
                          int size, bool injected);
    std::vector<HalInitCall> HalInitCalls() const;
    std::vector<HalSetInformationCall> HalSetInformationCalls() const;

    // Firmware WMI: GetBiosInfo answers the sensor colour request (byte 0 = 6,
    // byte 1 = 0x26); any other request gets -1 and an untouched block.
    void SetBiosInfoAnswer(BiosInfoAnswer answer);
    // `injectedError` non-zero: the call returns it and fills nothing.
    int GetBiosInfo(const BYTE* input, BYTE* output, int injectedError);
    // The 64-byte request blocks, in order.
    std::vector<std::vector<BYTE>> BiosInfoRequests() const;

    // Display-port status: a value or none (GetDpStatus then writes nothing),
    // and the results of GetDpStatus and SetDpStatus. A SetDpStatus with
    // result 0 changes the value.
    void SetDpStatusValue(std::optional<int> value);
    void SetDpStatusResults(int getResult, int setResult);
    std::optional<int> DpStatusValue() const;
    int GetDpStatus(int& status, int injectedError);
    int SetDpStatus(int status, int injectedError);
    // Every status that SetDpStatus was asked to set, in order.
    std::vector<int> DpStatusWrites() const;

    // Firmware events. A started monitor receives every raised event id
    // through `receiver`, which only hands it to the monitor's own thread;
    // the monitor calls EventDone once it has delivered or dropped it.
    using EventReceiver = std::function<void(unsigned int event)>;
    void SetEventMonitorResults(int startResult, int stopResult);
    // The start result; 0 attaches the receiver (replacing one attached).
    int StartEventMonitor(EventReceiver receiver);
    // The stop result; 0 detaches the receiver.
    int StopEventMonitor();
    // Detaches whatever the result, for a monitor that is going away; no
    // receiver call is in progress once it returns.
    void DetachEventMonitor();
    bool EventMonitorStarted() const;
    // Hands the event to the started monitor and returns at once; dropped
    // when none is started.
    void RaiseEvent(unsigned int event);
    void EventDone();
    // Blocks until every event raised so far has been delivered or dropped.
    void AwaitEvents();

  private:
    void LoadDlut(const nlohmann::json& dlut);

    mutable std::mutex mutex_;
    std::map<DWORD, std::vector<BYTE>> acpiTables_;
    std::vector<FirmwareTableCall> firmwareTableCalls_;
    bool halInitSucceeds_ = true;
    bool halRefusesAll_ = false;
    std::set<int> halRefusedClasses_;
    std::set<std::uintptr_t> halBlocks_;
    std::vector<HalInitCall> halInitCalls_;
    std::vector<HalSetInformationCall> halSetInformationCalls_;
    BiosInfoAnswer biosInfoAnswer_;
    std::vector<std::vector<BYTE>> biosInfoRequests_;
    std::optional<int> dpStatus_ = 0;
    int dpGetResult_ = 0;
    int dpSetResult_ = 0;
    std::vector<int> dpStatusWrites_;
    int monitorStartResult_ = 0;
    int monitorStopResult_ = 0;
    std::size_t undeliveredEvents_ = 0;
    std::condition_variable eventsDone_;
    // Held around every call of the receiver, so that detaching waits for one
    // in progress; taken before mutex_ where both are.
    mutable std::mutex receiverMutex_;
    EventReceiver receiver_;  // guarded by receiverMutex_
};

}  // namespace sim

// The maker's WMI component (WmiUtil): WMI queries, the firmware WMI interface
// and the firmware event monitor.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline const std::wstring kWmiNamespaceCimV2 = L"ROOT\\CIMV2";
inline const std::wstring kWmiNamespaceWmi = L"ROOT\\WMI";

namespace OrvSDK {

class WmiQuery {
  public:
    // A query that ran but produced no value.
    static constexpr int kNoResult = -15;

    explicit WmiQuery(std::wstring wmiNamespace);
    ~WmiQuery();

    int ExcuteQuery(const std::wstring& query, const std::wstring& property,
                    std::vector<std::wstring>& result, bool flag) {
        result.clear();
        const int status = ExcuteQueryImpl(
            query, {property}, flag,
            [this, &result](std::size_t, VARIANT& value) { GetResult(value, result); });
        return (status == 0 && result.empty()) ? kNoResult : status;
    }

    // One object's values of the properties asked for, in their order: text
    // as it is, an integer (CIM's 32-bit integers arrive as VT_I4) as the
    // decimal text of its unsigned value; NULL and other types as nothing.
    using Row = std::vector<std::optional<std::wstring>>;

    // A row for every object; kNoResult when there is none.
    int ExcuteQueryRows(const std::wstring& query, const std::vector<std::wstring>& properties,
                        std::vector<Row>& rows);

  private:
    // Calls `callback` with the index of each property and its value, object
    // by object.
    int ExcuteQueryImpl(const std::wstring& query, const std::vector<std::wstring>& properties,
                        bool flag, const std::function<void(std::size_t, VARIANT&)>& callback);
    void GetResult(VARIANT& value, std::vector<std::wstring>& result);

    std::wstring namespace_;
};

class BiosWmi {
  public:
    static constexpr std::size_t kInputSize = 64;
    static constexpr std::size_t kOutputSize = 256;

    static int GetBiosInfo(const BYTE* input, BYTE* output);
    static int GetDpStatus(int& status);
    static int SetDpStatus(int status);
};

// Calls the callback with each firmware event's id on a thread of its own
// after a successful start, and never after a successful stop (a stop waits
// for a call in progress). The destructor stops the monitor.
class BiosEventMonitor {
  public:
    using Callback = std::function<void(unsigned int event)>;

    BiosEventMonitor();
    virtual ~BiosEventMonitor();
    BiosEventMonitor(const BiosEventMonitor&) = delete;
    BiosEventMonitor& operator=(const BiosEventMonitor&) = delete;
    // 0 when started; the monitor's failure code otherwise.
    int StartEventMonitor(Callback callback);
    // 0 when stopped; the monitor's failure code otherwise.
    int StopEventMonitor();

    // The monitor's state, shared with the thread that delivers its events.
    struct Events;

  private:
    std::shared_ptr<Events> events_;
};

}  // namespace OrvSDK

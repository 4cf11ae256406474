// The port status and data report exports: argument passing and
// result conversion only; no log line, no exception guard.
#include <string>

#include "services/orv_data_report.h"
#include "services/wmi_util.h"
#include "tintwell/tintwell.h"

int GetDpStatus() {
    int status = -1;
    OrvSDK::BiosWmi::GetDpStatus(status);
    return status;
}

int SetDpStatus(int status) {
    return OrvSDK::BiosWmi::SetDpStatus(status);
}

// Callers hand two texts; a null pointer is taken as an empty text rather than read.
int DataReportUpload(const char* first, const char* second) {
    const std::string firstText = first != nullptr ? first : "";
    const std::string secondText = second != nullptr ? second : "";
    auto& report = EventDataReport::Instance();
    const LogInfo record = report.GetMsg(firstText, secondText);
    return report.SendMsg(record) ? 1 : 0;
}

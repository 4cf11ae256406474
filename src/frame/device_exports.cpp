// The detection exports that the colour operator answers.
#include "frame/guard.h"
#include "settings/settings_accessors.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"

void GetDeviceType(char* buffer) {
    OperateColor::Instance().GetDeviceType(buffer);
}

bool IsDesktopComputer() {
    return OperateColor::Instance().IsDesktopComputer();
}

bool HaveOrvMonitor() {
    return OperateColor::Instance().HaveOrvMonitor();
}

void InitMonitorId() {
    Guarded("InitMonitorId", L"InitMonitorId Exception.", [] {
        const std::int32_t id = OperateColor::Instance().GetMainActiveDeviceId();
        if (id != -1) {
            NatureColorSettings().SetMonitorId(id);
        }
    });
}

// Nature colour's subscriptions to the light sensor and the firmware, and the
// front-end's status that lets their readings through.
#include "frame/guard.h"
#include "naturecolor/light_event.h"
#include "naturecolor/nature_color_monitor.h"
#include "naturecolor/nature_color_subscription.h"
#include "naturecolor/sensor_light_event_handle.h"
#include "tintwell/tintwell.h"

int StartMonitorNatureColor(unsigned int type) {
    return GuardedWithText("StartMonitorNatureColor", L"StartMonitorNatureColor Exception.msg:", -1,
                           [type] { return StartNatureColorSubscription(type); });
}

void SetNatureColorStatus(unsigned int status) {
    Guarded("SetNatureColorStatus", L"SetNatureColorStatus Exception.", [status] {
        LightEvent::Instance().SetStatus(status);
        NatureColorMonitor::Instance().SetStatus(status);
        SensorLightEventHandle::Instance().SetStatus(status);
    });
}

int UninstallNatureColorObject(unsigned int type) {
    return Guarded("UninstallNatureColorObject", L"UninstallNatureColorObject Exception.", -1,
                   [type] { return UninstallNatureColorSubscription(type); });
}

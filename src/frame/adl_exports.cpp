// The AMD display library exports: loading and unloading ADL, and the AMD
// road of the colour temperature.
#include "colorstate/color_state_record.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"

void InitAdlGamut() {
    OperateColor::Instance().InitAdlGamut();
}

void UninitAdlGamut() {
    OperateColor::Instance().UninitAdlGamut();
}

int SetTemperatureForAMD(float r, float g, float b, unsigned int blueProtectLevel,
                         double blueProtectRatio) {
    const ColorRequest request{r, g, b, blueProtectLevel, blueProtectRatio};
    return ColorStateRecord::Instance().Applied(ChangeKind::Temperature, [request] {
        return OperateColor::Instance().SetTemperatureForAMD(request);
    });
}

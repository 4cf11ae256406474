// The AMD display library exports: loading and unloading ADL, and the AMD
// road of the colour temperature.
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
    return OperateColor::Instance().SetTemperatureForAMD(
        ColorRequest{r, g, b, blueProtectLevel, blueProtectRatio});
}

// The desktop monitor road: gains for the attached monitors, applied over
// DDC/CI by the colour operator's worker.
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"

int SetTemperatureForDesktopComputer(float r, float g, float b, unsigned int blueProtectLevel,
                                     double blueProtectRatio) {
    return OperateColor::Instance().SetTemperatureForDesktopComputer(
        ColorRequest{r, g, b, blueProtectLevel, blueProtectRatio});
}

// The colour temperature exports: each reaches one road of the colour operator.
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"

namespace {

ColorRequest Request(float r, float g, float b, unsigned int level, double ratio) {
    return ColorRequest{r, g, b, level, ratio};
}

}  // namespace

int SetTemperature(int first, int second) {
    return OperateColor::Instance().SetTemperature(first, second);
}

int SetColorAdjust(int first, int second) {
    return OperateColor::Instance().SetColorAdjust(first, second);
}

int SetTemperatureForIntel(float r, float g, float b, unsigned int blueProtectLevel,
                           double blueProtectRatio) {
    return OperateColor::Instance().SetTemperatureForIntel(
        Request(r, g, b, blueProtectLevel, blueProtectRatio));
}

int SetTemperatureForNvidia(float r, float g, float b, unsigned int blueProtectLevel,
                            double blueProtectRatio) {
    return OperateColor::Instance().SetTemperatureForNvidia(
        Request(r, g, b, blueProtectLevel, blueProtectRatio));
}

int SetColorEnhance(bool enable) {
    return OperateColor::Instance().SetColorEnhance(enable);
}

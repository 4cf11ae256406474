// The colour temperature exports: each reaches one road of the colour operator.
#include "colorstate/color_state_record.h"
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
    const ColorRequest request = Request(r, g, b, blueProtectLevel, blueProtectRatio);
    return ColorStateRecord::Instance().Applied(ChangeKind::Temperature, [request] {
        return OperateColor::Instance().SetTemperatureForIntel(request);
    });
}

int SetTemperatureForNvidia(float r, float g, float b, unsigned int blueProtectLevel,
                            double blueProtectRatio) {
    const ColorRequest request = Request(r, g, b, blueProtectLevel, blueProtectRatio);
    return ColorStateRecord::Instance().Applied(ChangeKind::Temperature, [request] {
        return OperateColor::Instance().SetTemperatureForNvidia(request);
    });
}

int SetColorEnhance(bool enable) {
    return OperateColor::Instance().SetColorEnhance(enable);
}

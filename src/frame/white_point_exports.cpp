// The white point exports: the factory record, and its application on the
// Intel and AMD roads.
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"
#include "whitepoint/white_point_calibration.h"

int InitWhitePointInfo() {
    return OperateColor::Instance().InitWhitePointInfo();
}

int SetWhitePointGoldenData(const char* text) {
    return OperateColor::Instance().SetWhitePointGoldenData(text) ? 0 : -1;
}

int SetWhitePointForIntel() {
    return WhitePointCalibration::Instance().SetWhitePointForIntel();
}

int ResetWhitePointForIntel() {
    return WhitePointCalibration::Instance().ResetWhitePointForIntel();
}

int SetWhitePointForAmd() {
    return OperateColor::Instance().SetWhitePointForAmd();
}

int ResetWhitePointForAmd() {
    return OperateColor::Instance().ResetWhitePointForAmd();
}

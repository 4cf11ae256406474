// The white point exports: the factory record, and its application on the
// Intel and AMD roads.
#include "colorstate/color_state_record.h"
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
    return ColorStateRecord::Instance().Applied(ChangeKind::WhitePoint, [] {
        return WhitePointCalibration::Instance().SetWhitePointForIntel();
    });
}

int ResetWhitePointForIntel() {
    return ColorStateRecord::Instance().Applied(ChangeKind::WhitePoint, [] {
        return WhitePointCalibration::Instance().ResetWhitePointForIntel();
    });
}

int SetWhitePointForAmd() {
    return ColorStateRecord::Instance().Applied(
        ChangeKind::WhitePoint, [] { return OperateColor::Instance().SetWhitePointForAmd(); });
}

int ResetWhitePointForAmd() {
    return ColorStateRecord::Instance().Applied(
        ChangeKind::WhitePoint, [] { return OperateColor::Instance().ResetWhitePointForAmd(); });
}

#include "whitepoint/white_point_calibration.h"

WhitePointCalibration& WhitePointCalibration::Instance() {
    static WhitePointCalibration instance;
    return instance;
}

// The colour field exports: argument passing, and mapping of the engines'
// yes or no to 0 and -1 where they answer that way.
#include "colorfield/color_field.h"
#include "colorfield/lut_handle_3d.h"
#include "tintwell/tintwell.h"

namespace {

int Result(bool succeeded) {
    return succeeded ? 0 : -1;
}

}  // namespace

int SetColorFieldGoldenFilePath(const char* path) {
    return Result(LutHandle3D::Instance().SetColorFieldGoldenFilePath(path));
}

int SetColorFieldTempLutFilePath(const char* path) {
    return Result(LutHandle3D::Instance().SetColorFieldTempLutFilePath(path));
}

int ResetDisplayerLut3D() {
    return Result(LutHandle3D::Instance().ResetDisplayerLut3D());
}

int IsLcdChanged(unsigned int mode, unsigned int setType) {
    return Result(ColorField::Instance().IsLcdChanged(mode, setType));
}

int SetColorFieldMode(unsigned int mode, const char* pIccFilePath, const char* pIccCheckFilePath) {
    return ColorField::Instance().SetColorFieldMode(mode, pIccFilePath, pIccCheckFilePath);
}

int GetCurrentIccFileName(char* pIccFileName) {
    return ColorField::Instance().GetCurrentIccFileName(pIccFileName);
}

int SetDisplayerColorField(unsigned int mode, unsigned int setType) {
    return ColorField::Instance().SwitchDisplayerColorField(mode, setType);
}

// The 3D table exports as a front-end meets them: on the simulated laptop the
// firmware's tables match its panel and the Intel driver takes the identity
// table; a Windows machine without the maker's firmware table or the Intel
// driver (Wine) refuses both, and says why.
#include "test_platform.h"

namespace tw_test {

using LutExports = ExportTest;

TEST_F(LutExports, NullPathsAndOtherSetTypesAreRefusedBeforeAnyWork) {
    EXPECT_EQ(TW(SetColorFieldGoldenFilePath)(nullptr), -1);
    EXPECT_EQ(TW(SetColorFieldTempLutFilePath)(nullptr), -1);
    EXPECT_TRUE(LoggedContaining(3, "Set Golden File Path Failed! filePath is nullptr!"));
    EXPECT_TRUE(LoggedContaining(3, "Set Temp Lut File Path Failed! filePath is nullptr!"));
    EXPECT_EQ(TW(SetColorFieldGoldenFilePath)("\\golden.bin"), 0);
    const std::size_t lines = LogRecords().size();
    EXPECT_EQ(TW(IsLcdChanged)(1, 0), -1);
    EXPECT_EQ(LogRecords().size(), lines);
}

TEST_F(LutExports, ThePanelAndTheDriverDecideTheFirmwareRoad) {
    if (OnWine()) {
        EXPECT_EQ(TW(IsLcdChanged)(1, 1), 0);
        EXPECT_TRUE(
            LoggedContaining(3, "ReadBiosLutDataBlock Failed!(LutHandle3D::GetSourceDataBlock)"));
        EXPECT_EQ(TW(ResetDisplayerLut3D)(), -1);
        EXPECT_TRUE(LoggedContaining(3, "CreateInstance Failed!(LutHandle3D::SetHardwareLut3D)"));
    } else {
        EXPECT_EQ(TW(IsLcdChanged)(1, 1), -1);
        EXPECT_EQ(TW(ResetDisplayerLut3D)(), 0);
    }
}

}  // namespace tw_test

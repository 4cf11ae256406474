// The display side of a gamut switch on a machine without the maker's
// monitor: the simulated laptop's panel, or under Wine the test process's
// monitor configuration stand-in, whose one physical monitor is a generic
// one. Either way no monitor takes the mode.
#include "test_platform.h"

namespace tw_test {

TEST_F(ExportTest, DdcciColorFieldWithoutTheMakersMonitorIsRefused) {
    EXPECT_EQ(TW(SetDisplayerColorField)(2, 0), 3);
    EXPECT_EQ(TW(SetDisplayerColorField)(1, 2), 3);
    EXPECT_TRUE(Logged(3,
                       "PC Displayer ColorField Mode Not Support on this version."
                       "(ColorField::SwitchDisplayerColorField)"));
}

}  // namespace tw_test

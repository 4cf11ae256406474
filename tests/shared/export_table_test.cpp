#include <algorithm>
#include <string>
#include <vector>

#include "test_platform.h"

namespace tw_test {

namespace {

std::vector<std::string> ImplementedNames() {
    std::vector<std::string> names = {
#define TW_EXPORT(name) #name,
#include "frame/export_list.h"
#undef TW_EXPORT
    };
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST_F(ExportTest, ExportTableHoldsExactlyTheImplementedNames) {
    std::vector<std::string> exported = ExportedNames();
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported, ImplementedNames());
}

TEST_F(ExportTest, EveryImplementedNameResolves) {
    for (const std::string& name : ImplementedNames()) {
        EXPECT_NE(ExportAddress(name.c_str()), nullptr) << name;
    }
}

}  // namespace tw_test

#include <string>

#include "../shared/test_platform.h"
#include "util/text_conversion.h"

namespace tw_test {

TEST_F(ExportTest, HexStringIsUpperCaseHighNibbleFirst) {
    const unsigned char bytes[] = {0x0A, 0xFF, 0x00, 0x5C};
    EXPECT_EQ(DE::BytesToHexString(bytes, 2), "0AFF");
    EXPECT_EQ(DE::BytesToHexString(bytes, 4), "0AFF005C");
}

TEST_F(ExportTest, HexStringOfNothingIsEmpty) {
    const unsigned char byte = 1;
    EXPECT_EQ(DE::BytesToHexString(nullptr, 4), "");
    EXPECT_EQ(DE::BytesToHexString(&byte, 0), "");
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, HexStringRefusesCountsWhoseDoubleOverflows) {
    const unsigned char byte = 1;
    EXPECT_EQ(DE::BytesToHexString(&byte, std::uint64_t{1} << 63), "");
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 4);
    EXPECT_EQ(records[0].text, "size * 2 is too big(DE::BytesToHexString)");
}

TEST_F(ExportTest, AnsiTextRoundTripsThroughWindows1252) {
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(WideToAnsi(L""), "");
    EXPECT_EQ(AnsiToWide("caf\xe9 \x80"), L"caf\u00e9 \u20ac");
    EXPECT_EQ(WideToAnsi(L"caf\u00e9 \u20ac"), "caf\xe9 \x80");
    EXPECT_EQ(AnsiToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST_F(ExportTest, CharactersOutsideTheCodePageBecomeTheDefaultCharacter) {
    EXPECT_EQ(WideToAnsi(L"\u4e2d\u6587 ok"), "?? ok");
    EXPECT_EQ(AnsiToWide("\x81\x8d"), L"\u0081\u008d");
}

}  // namespace tw_test

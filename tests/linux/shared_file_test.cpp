// Whole-file writes and shared reads on the simulated machine's file tree, as
// the Windows build does them (tests/wine_internal holds the same cases).
#include <array>
#include <filesystem>
#include <string>

#include "../shared/test_platform.h"
#include "platform/files.h"
#include "sim/machine.h"

namespace tw_test {

TEST_F(ExportTest, WholeFileWritesReplaceTheContentAndReadsStartAtTheBeginning) {
    const std::wstring folder = L"C:\\ProgramData\\Vozaz\\Lut";
    std::filesystem::create_directories(sim::Machine::Current().HostPath(folder));
    const std::wstring file = folder + L"\\cache.bin";
    EXPECT_TRUE(platform::WriteWholeFile(file, "a longer first content"));
    EXPECT_TRUE(platform::WriteWholeFile(file, "short"));
    EXPECT_EQ(platform::ReadWholeFile(file), "short");
    EXPECT_FALSE(platform::WriteWholeFile(folder + L"\\missing\\cache.bin", "x"));
    EXPECT_FALSE(platform::FileExists(folder + L"\\missing"));
    EXPECT_TRUE(platform::FileExists(folder));

    platform::SharedFileReader reader(file);
    ASSERT_TRUE(reader.IsOpen());
    std::array<char, 8> buffer{};
    EXPECT_EQ(reader.Read(buffer.data(), 2), 2u);
    EXPECT_EQ(reader.Size(), 5u);
    EXPECT_EQ(reader.Read(buffer.data(), buffer.size()), 5u);
    EXPECT_EQ(std::string(buffer.data(), 5), "short");
    EXPECT_FALSE(platform::SharedFileReader(folder).IsOpen());
    EXPECT_FALSE(platform::SharedFileReader(folder + L"\\missing").IsOpen());
}

}  // namespace tw_test

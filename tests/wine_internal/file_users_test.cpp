// The cache files' permissions against Wine's real security API. Wine 8
// accepts the new access control list but keeps reporting the file's default
// one (SYSTEM, the user, Everyone), so only the results can be checked here:
// a written file is accepted, a missing one refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "services/basic_lib.h"
#include "util/text_conversion.h"

TEST(WineFileUsers, AWrittenFileIsOpenedToUsersAndAMissingOneIsRefused) {
    const auto file = std::filesystem::temp_directory_path() /
                      (L"tintwell-users-" + std::to_wstring(GetCurrentProcessId()) + L".bin");
    std::ofstream(file) << "table";
    EXPECT_EQ(EnableFileUsersPriviledge(WideToAnsi(file.wstring())),
              kEnableFileUsersPriviledgeDone);
    std::filesystem::remove(file);
    EXPECT_EQ(EnableFileUsersPriviledge(WideToAnsi(file.wstring())),
              kEnableFileUsersPriviledgeFailed);
}

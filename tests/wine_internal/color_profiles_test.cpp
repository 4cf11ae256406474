// Profile installation against Wine's real colour management (mscms over
// Little CMS). Wine 8 implements neither WcsGetDefaultColorProfile nor the
// Wcs association calls and ends the process when they are called, so these
// tests stop short of everything that asks for or changes an association:
// SetColorFieldMode, QueryCurrentIccFile and AssociateIccFile.
#include <windows.h>

#include <icm.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "colorfield/color_field.h"

namespace {

namespace fs = std::filesystem;

// LCS_sRGB, which MinGW spells as a multi-character constant.
constexpr DWORD kSrgbColorSpace = 0x73524742;

std::wstring StandardProfilePath() {
    WCHAR path[MAX_PATH] = {};
    DWORD size = sizeof path;
    EXPECT_TRUE(GetStandardColorSpaceProfileW(nullptr, kSrgbColorSpace, path, &size));
    return path;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WineColorProfiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  (L"tintwell-profiles-" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        ColorField::Instance().ReleaseProfileHandles();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path Copy(const std::wstring& name, std::size_t length = std::string::npos) const {
        const std::string bytes = ReadAll(StandardProfilePath()).substr(0, length);
        std::ofstream(folder_ / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return folder_ / name;
    }

  private:
    fs::path folder_;
};

}  // namespace

TEST_F(WineColorProfiles, TheStandardProfileOpensValidatesAndACopyInstalls) {
    ColorField& field = ColorField::Instance();
    EXPECT_NE(field.GetProfileHandle(StandardProfilePath()), nullptr);

    const fs::path copy = Copy(L"tintwell sRGB copy.icm");
    ASSERT_EQ(field.InstallIccFile(copy.wstring()), 0);
    const fs::path installed = fs::path(StandardProfilePath()).parent_path() / copy.filename();
    EXPECT_EQ(ReadAll(installed), ReadAll(copy));
    std::error_code ignored;
    fs::remove(installed, ignored);
}

TEST_F(WineColorProfiles, ACutProfileIsNotOpenedAndNotInstalled) {
    const fs::path cut = Copy(L"tintwell cut.icm", 100);
    ColorField& field = ColorField::Instance();
    EXPECT_EQ(field.GetProfileHandle(cut.wstring()), nullptr);
    EXPECT_EQ(field.InstallIccFile(cut.wstring()), 2);
    EXPECT_EQ(field.InstallIccFile((cut.parent_path() / L"missing.icm").wstring()), 2);
}

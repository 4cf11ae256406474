// The ICC digest check and the file access below it, linked against Wine's
// real file system, PathCchCanonicalize and CNG (the Windows build's SHA-256).
#include <windows.h>

#include <pathcch.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "../shared/digest_records.h"
#include "colorfield/color_field.h"
#include "colorfield/sha256_interface.h"
#include "platform/files.h"
#include "util/text_conversion.h"

namespace {

using tw_test::DigestRecord;
using tw_test::Sha256Of;

const std::string kProfile = "acsp profile bytes \x00\x01 of the P3 mode";

// A fresh folder in the Wine user's temporary folder, removed afterwards.
class WineDigest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  (L"tintwell-digest-" + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::wstring WidePath(const std::wstring& name) const { return (folder_ / name).wstring(); }
    std::string Path(const std::wstring& name) const { return WideToAnsi(WidePath(name)); }
    void Write(const std::wstring& name, std::string_view bytes) const {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static int Check(const std::string& icc, const std::string& digest) {
        return ColorField::Instance().CheckIsIccFileNormal(icc, digest);
    }

  private:
    std::filesystem::path folder_;
};

}  // namespace

TEST_F(WineDigest, CngGivesTheReferenceDigests) {
    const auto vectors = tw_test::Sha256Vectors();
    for (const auto& vector : vectors) {
        EXPECT_EQ(tw_test::HexOf(Sha256Of(vector.message)), vector.digestHex);
    }
    const auto& longMessage = vectors.back();
    Write(L"long.icc", longMessage.message);
    tw_test::Digest digest{};
    EXPECT_EQ(Sha256Interface::GetSha256Value(Path(L"long.icc"), digest.data(), digest.size()), 0);
    EXPECT_EQ(tw_test::HexOf(digest), longMessage.digestHex);
}

TEST_F(WineDigest, PathCanonicalisationCasesHoldOnWine) {
    for (const auto& [path, canonical] : tw_test::kCanonicalCases) {
        std::array<wchar_t, MAX_PATH> out{};
        EXPECT_EQ(PathCchCanonicalize(out.data(), out.size(), path), S_OK) << WideToAnsi(path);
        EXPECT_EQ(std::wstring(out.data()), canonical) << WideToAnsi(path);
    }
    std::array<wchar_t, MAX_PATH> out{};
    EXPECT_EQ(PathCchCanonicalize(out.data(), 0, L"C:\\a"), E_INVALIDARG);
    EXPECT_EQ(PathCchCanonicalize(out.data(), 5, L"C:\\ab"),
              HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(PathCchCanonicalize(out.data(), out.size(), std::wstring(257, L'a').c_str()),
              HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
}

TEST_F(WineDigest, TheCheckPassesForTheDescribedFileAndFailsOtherwise) {
    const std::string icc = Path(L"P3.icc");
    const std::string digest = Path(L"digest.bin");
    EXPECT_EQ(Check(icc, digest), 1);
    Write(L"P3.icc", kProfile);
    EXPECT_EQ(Check(icc, digest), 2);
    const std::string right = DigestRecord("P3.icc", Sha256Of(kProfile));
    const std::string wrong = DigestRecord("old P3.icc", Sha256Of("older"));
    Write(L"digest.bin", wrong + right);
    EXPECT_EQ(Check(icc, digest), 2);
    Write(L"digest.bin", right + wrong + right.substr(0, 80));
    EXPECT_EQ(Check(icc, digest), 0);
    std::string forward = icc;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    EXPECT_EQ(Check(forward, digest), 0);
    Write(L"P3.icc", kProfile + " ");
    EXPECT_EQ(Check(icc, digest), 2);
    Write(L"P3.icc", "");
    Write(L"digest.bin", DigestRecord("P3.icc", Sha256Of("")));
    EXPECT_EQ(Check(icc, digest), 2);
}

// From its digest until it is installed the profile is held open sharing
// only reading: another program can neither write, delete nor rename it in
// between, and a profile another program holds open for writing cannot be
// vouched for.
TEST_F(WineDigest, AVerifiedProfileCannotChangeWhileItIsHeld) {
    Write(L"P3.icc", kProfile);
    Write(L"digest.bin", DigestRecord("P3.icc", Sha256Of(kProfile)));
    const std::wstring icc = WidePath(L"P3.icc");
    {
        const platform::SharedFileReader held(icc, platform::Sharing::ReadOnly);
        ASSERT_TRUE(held.IsOpen());
        struct Attempt {
            const char* what;
            std::function<bool()> run;
        };
        const Attempt refused[] = {
            {"write", [&] { return platform::WriteWholeFile(icc, "other"); }},
            {"delete", [&] { return DeleteFileW(icc.c_str()) != FALSE; }},
            {"rename over",
             [&] {
                 Write(L"other.icc", "other");
                 return MoveFileExW(WidePath(L"other.icc").c_str(), icc.c_str(),
                                    MOVEFILE_REPLACE_EXISTING) != FALSE;
             }},
        };
        for (const Attempt& attempt : refused) {
            EXPECT_FALSE(attempt.run()) << attempt.what;
        }
        EXPECT_TRUE(platform::SharedFileReader(icc).IsOpen()) << "readers still read";
        EXPECT_TRUE(CopyFileW(icc.c_str(), WidePath(L"copy.icc").c_str(), FALSE))
            << "as installs do";
    }
    EXPECT_EQ(Check(Path(L"P3.icc"), Path(L"digest.bin")), 0);
    const HANDLE writer =
        CreateFileW(icc.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Check(Path(L"P3.icc"), Path(L"digest.bin")), 2);
    CloseHandle(writer);
}

// Relative paths, ".." and forward slashes resolve once, against the current
// directory, to the file that is then checked.
TEST_F(WineDigest, EveryPathResolvesToTheOneFullPathItIsCheckedBy) {
    Write(L"P3.icc", kProfile);
    Write(L"digest.bin", DigestRecord("P3.icc", Sha256Of(kProfile)));
    std::filesystem::create_directories(WidePath(L"Work"));
    Write(L"Work\\P3.icc", kProfile + " but another file");
    std::array<wchar_t, MAX_PATH> previous{};
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous.data()), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(WidePath(L"Work").c_str()));
    struct Case {
        std::string icc;
        std::string digest;
        int result;
    };
    const Case cases[] = {
        {"..\\P3.icc", "..\\digest.bin", 0},
        {"../P3.icc", "../Work/../digest.bin", 0},
        {"P3.icc", "..\\digest.bin", 2},
        {"..\\" + std::string(300, 'p') + ".icc", "..\\digest.bin", 1},
        {"..\\P3.icc", "..\\" + std::string(300, 'd') + ".bin", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Check(c.icc, c.digest), c.result) << c.icc << " " << c.digest;
    }
    SetCurrentDirectoryW(previous.data());
}

TEST_F(WineDigest, WholeFileWritesReplaceTheContentAndReadsStartAtTheBeginning) {
    EXPECT_TRUE(platform::WriteWholeFile(WidePath(L"cache.bin"), "a longer first content"));
    EXPECT_TRUE(platform::WriteWholeFile(WidePath(L"cache.bin"), "short"));
    EXPECT_EQ(platform::ReadWholeFile(WidePath(L"cache.bin")), "short");
    EXPECT_FALSE(platform::WriteWholeFile(WidePath(L"missing\\cache.bin"), "x"));
    EXPECT_FALSE(platform::FileExists(WidePath(L"missing")));
    EXPECT_TRUE(platform::FileExists(WidePath(L"")));

    platform::SharedFileReader reader(WidePath(L"cache.bin"));
    ASSERT_TRUE(reader.IsOpen());
    std::array<char, 8> buffer{};
    EXPECT_EQ(reader.Read(buffer.data(), 2), 2u);
    EXPECT_EQ(reader.Size(), 5u);
    EXPECT_EQ(reader.Read(buffer.data(), buffer.size()), 5u);
    EXPECT_EQ(std::string(buffer.data(), 5), "short");
    EXPECT_FALSE(platform::SharedFileReader(WidePath(L"")).IsOpen());
    EXPECT_FALSE(platform::SharedFileReader(WidePath(L"missing")).IsOpen());
}

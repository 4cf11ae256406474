// The ICC digest check and the file access below it, linked against Wine's
// real file system, PathCchCanonicalize and CNG (the Windows build's SHA-256).
#include <windows.h>

#include <pathcch.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
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

// Deny-none sharing: a writer that holds the profile open (the front-end
// copying it in, say) does not stop the check from reading it.
TEST_F(WineDigest, AProfileHeldOpenForWritingIsStillRead) {
    Write(L"P3.icc", kProfile);
    Write(L"digest.bin", DigestRecord("P3.icc", Sha256Of(kProfile)));
    const HANDLE writer =
        CreateFileW(WidePath(L"P3.icc").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Check(Path(L"P3.icc"), Path(L"digest.bin")), 0);
    CloseHandle(writer);
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

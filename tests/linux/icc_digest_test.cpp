// The ICC digest check against files on the simulated machine: the digest
// file's records as the front-end writes them, hostile ones included, and the
// lines the check logs.
#include <windows.h>

#include <pathcch.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../shared/digest_records.h"
#include "../shared/test_platform.h"
#include "colorfield/color_field.h"
#include "colorfield/sha256_interface.h"
#include "sim/machine.h"

namespace tw_test {

namespace {

constexpr const char* kIccPath = "C:\\Program Files\\Vozaz\\Icc\\sRGB.icc";
constexpr const char* kDigestPath = "C:\\Program Files\\Vozaz\\Icc\\digest.bin";
constexpr const char* kCheck = "(ColorField::CheckIsIccFileNormal)";
const std::string kProfile = "acsp profile bytes \x00\x01\x02 of the sRGB mode";

std::filesystem::path Host(const std::string& windowsPath) {
    return sim::Machine::Current().HostPath(std::wstring(windowsPath.begin(), windowsPath.end()));
}

void WriteFile(const std::string& windowsPath, std::string_view bytes) {
    const auto file = Host(windowsPath);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Texts(const std::vector<LogRecord>& records) {
    std::vector<std::string> texts;
    for (const auto& record : records) {
        EXPECT_EQ(record.level, 3) << record.text;
        texts.push_back(record.text);
    }
    return texts;
}

class IccDigestTest : public ExportTest {
  protected:
    static int Check(const std::string& icc = kIccPath, const std::string& digest = kDigestPath) {
        return ColorField::Instance().CheckIsIccFileNormal(icc, digest);
    }
    static std::string Modified(const std::string& icc = kIccPath) {
        return "Icc File Be Modified! fileName:" + icc + kCheck;
    }
};

}  // namespace

TEST_F(IccDigestTest, TheFileItsRecordDescribesIsNormalAndOneChangedByteIsNot) {
    WriteFile(kIccPath, kProfile);
    WriteFile(kDigestPath, DigestRecord("AdobeRGB.icc", Sha256Of("other")) +
                               DigestRecord("sRGB.icc", Sha256Of(kProfile)));
    EXPECT_EQ(Check(), 0);
    EXPECT_TRUE(LogRecords().empty());

    std::string changed = kProfile;
    changed[5] ^= 0x01;
    WriteFile(kIccPath, changed);
    EXPECT_EQ(Check(), 2);
    EXPECT_EQ(Texts(LogRecords()), std::vector<std::string>{Modified()});
}

TEST_F(IccDigestTest, AMissingIccFileIsReportedFirstAndAMissingDigestFileSecond) {
    EXPECT_EQ(Check(), 1);
    WriteFile(kDigestPath, DigestRecord("sRGB.icc", Sha256Of(kProfile)));
    EXPECT_EQ(Check(), 1);
    std::filesystem::remove(Host(kDigestPath));
    WriteFile(kIccPath, kProfile);
    EXPECT_EQ(Check(), 2);
    const std::string iccMissing = std::string("Icc File:") + kIccPath + " Not Found!" + kCheck;
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  iccMissing, iccMissing,
                  std::string("Icc File:") + kDigestPath + " Not Found!" + kCheck}));
}

// Byte 62 of the name field ends the name whatever it holds, so a 63-byte
// file name can never match and a 62-byte one matches with anything after it.
TEST_F(IccDigestTest, OnlyTheFirst62BytesOfARecordNameCount) {
    const std::string name62 = std::string(58, 'n') + ".icc";
    const std::string icc62 = "C:\\Icc\\" + name62;
    const std::string icc63 = "C:\\Icc\\" + name62 + "X";
    WriteFile(icc62, kProfile);
    WriteFile(icc63, kProfile);
    WriteFile(kDigestPath, DigestRecord(name62 + "X", Sha256Of(kProfile)));
    EXPECT_EQ(Check(icc62), 0);
    EXPECT_EQ(Check(icc63), 2);
    EXPECT_EQ(Texts(LogRecords()), std::vector<std::string>{Modified(icc63)});
}

struct DigestFileCase {
    const char* what;
    std::string icc;
    std::string digests;
    int result;
};

// The first record whose name holds the file's name decides, by case and by
// the whole name; a tail shorter than a record is no record. A digest of all
// zeros is what a missing record leaves behind, so no file may pass by
// hashing to it, which is why the empty file must fail first.
TEST_F(IccDigestTest, TheRecordThatDecidesAndTheFilesThatNeverPass) {
    const std::string right = DigestRecord("sRGB.icc", Sha256Of(kProfile));
    const std::string wrong = DigestRecord("old_sRGB.icc", Sha256Of("an older profile"));
    const std::string upperCase = DigestRecord("SRGB.ICC", Sha256Of(kProfile));
    const std::string partOfTheName = DigestRecord("RGB.icc", Sha256Of(kProfile));
    const std::string p3 = DigestRecord("P3.icc", Sha256Of("p3"));
    const DigestFileCase cases[] = {
        {"an earlier record naming more", kProfile, wrong + right, 2},
        {"the right record first", kProfile, right + wrong, 0},
        {"a longer name holding the file name", kProfile,
         upperCase + partOfTheName + DigestRecord("profiles\\sRGB.icc.v2", Sha256Of(kProfile)), 0},
        {"only other case or part of the name", kProfile, upperCase + partOfTheName, 2},
        {"the match in a short tail", kProfile, p3 + right.substr(0, 101), 2},
        {"only a short tail", kProfile, right.substr(0, 101), 2},
        {"no records", kProfile, "", 2},
        {"a short tail after the match", kProfile, right + right.substr(0, 50), 0},
        {"an empty file against the digest of nothing", "", DigestRecord("sRGB.icc", Sha256Of("")),
         2},
        {"no record of the file", kProfile, DigestRecord("P3.icc", Sha256Of(kProfile)), 2},
        {"a record of zeros", kProfile, DigestRecord("sRGB.icc", Digest{}), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(kIccPath, c.icc);
        WriteFile(kDigestPath, c.digests);
        const std::size_t before = LogRecords().size();
        EXPECT_EQ(Check(), c.result);
        const auto records = LogRecords();
        const std::vector<std::string> lines = Texts(std::vector<LogRecord>(
            records.begin() + static_cast<std::ptrdiff_t>(before), records.end()));
        EXPECT_EQ(lines, c.result == 0 ? std::vector<std::string>{}
                                       : std::vector<std::string>{Modified()});
    }
}

// Relative paths, dot components and either slash resolve once against the
// current directory, and that one path is what is checked, hashed and named.
TEST_F(IccDigestTest, EveryPathResolvesToTheOneFullPathItIsCheckedBy) {
    WriteFile(kIccPath, kProfile);
    WriteFile(kDigestPath, DigestRecord("sRGB.icc", Sha256Of(kProfile)));
    WriteFile("C:\\Colour\\Icc\\sRGB.icc", kProfile);
    const std::string work = "C:\\Program Files\\Vozaz\\Icc\\Work";
    WriteFile(work + "\\sRGB.icc", kProfile + " but another file");
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\Program Files\\Vozaz\\Icc\\Work"));
    const std::string longIcc = "C:\\" + std::string(200, 'd') + "\\" + std::string(60, 'f');
    WriteFile(longIcc, kProfile);
    struct Case {
        std::string icc;
        std::string digest;
        int result;
        std::string line;  // the one line logged, if any
    };
    const std::string unresolved =
        " Not Found! It does not resolve to a full path shorter than "
        "260 characters.";
    const Case cases[] = {
        {"C:/Program Files/Vozaz/Icc/sRGB.icc", "C:/Program Files/Vozaz/Icc/digest.bin", 0, ""},
        {"C:\\Program Files\\Vozaz\\..\\Vozaz\\.\\Icc\\sRGB.icc",
         "C:\\Program Files\\Vozaz\\Icc\\..\\Icc\\digest.bin", 0, ""},
        {"..\\sRGB.icc", "../digest.bin", 0, ""},
        {"..\\..\\..\\..\\..\\Program Files\\Vozaz\\Icc\\sRGB.icc", kDigestPath, 0, ""},
        // Either slash separates: the name looked up is "sRGB.icc".
        {"C:\\Colour/Icc/sRGB.icc", kDigestPath, 0, ""},
        {"sRGB.icc", "..\\digest.bin", 2, Modified(work + "\\sRGB.icc")},
        {work, kDigestPath, 2, Modified(work)},
        {longIcc, kDigestPath, 1, "Icc File:" + longIcc + unresolved + kCheck},
        {kIccPath, "..\\" + std::string(300, 'x'), 2,
         "Icc File:..\\" + std::string(300, 'x') + unresolved + kCheck},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icc + " " + c.digest);
        const std::size_t from = LogRecords().size();
        EXPECT_EQ(Check(c.icc, c.digest), c.result);
        const auto texts = Texts(LogRecords());
        const std::vector<std::string> logged(texts.begin() + static_cast<std::ptrdiff_t>(from),
                                              texts.end());
        if (c.line.empty()) {
            EXPECT_EQ(logged, std::vector<std::string>{});
        } else {
            ASSERT_FALSE(logged.empty());
            EXPECT_EQ(logged.back(), c.line);
        }
    }
}

TEST_F(IccDigestTest, FilesThatCannotBeReadShowAsModified) {
    WriteFile(kIccPath, kProfile);
    std::filesystem::create_directories(Host(kDigestPath));
    EXPECT_EQ(Check(), 2);
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{std::string("Open digestFile Failed!digestFileName:") +
                                            kDigestPath +
                                            "(Sha256Interface::GetSha256DataFromDigestFile)",
                                        Modified()}));
}

TEST_F(IccDigestTest, TheFileDigestIsTheSha256OfTheWholeContent) {
    for (const auto& vector : Sha256Vectors()) {
        EXPECT_EQ(HexOf(Sha256Of(vector.message)), vector.digestHex);
        Digest digest{};
        WriteFile(kIccPath, vector.message);
        const int expected = vector.message.empty() ? -1 : 0;
        EXPECT_EQ(Sha256Interface::GetSha256Value(kIccPath, digest.data(), digest.size()),
                  expected);
        EXPECT_EQ(HexOf(digest), vector.message.empty() ? HexOf(Digest{}) : vector.digestHex);
    }
}

TEST_F(IccDigestTest, TheDigestFunctionsRefuseOutputsTooSmallWithoutTouchingThem) {
    WriteFile(kIccPath, kProfile);
    WriteFile(kDigestPath, DigestRecord("sRGB.icc", Sha256Of(kProfile)));
    Digest untouched{};
    untouched.fill(0xEE);
    Digest out = untouched;
    EXPECT_EQ(Sha256Interface::GetSha256Value(kIccPath, out.data(), 31), -1);
    EXPECT_EQ(Sha256Interface::GetSha256Value(kIccPath, nullptr, 32), -1);
    EXPECT_EQ(Sha256Interface::GetSha256DataFromDigestFile(out.data(), 31, kDigestPath, kIccPath),
              -1);
    EXPECT_EQ(Sha256Interface::GetSha256DataFromDigestFile(out.data(), 32, kDigestPath, ""), -1);
    // A digest file without the name is read without an error, and out stays as it was.
    EXPECT_EQ(
        Sha256Interface::GetSha256DataFromDigestFile(out.data(), 32, kDigestPath, "C:\\P3.icc"), 0);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(Texts(LogRecords()),
              std::vector<std::string>(2, "input param error(Sha256Interface::GetSha256Value)"));
}

TEST_F(IccDigestTest, TheFileNameIsWhatFollowsTheLastSeparator) {
    std::string name = "unchanged";
    EXPECT_EQ(Sha256Interface::GetFileNameFromPath("", name), -1);
    EXPECT_EQ(name, "unchanged");
    const std::array<std::pair<const char*, const char*>, 5> cases = {{
        {"sRGB.icc", "sRGB.icc"},
        {"C:\\Icc\\sRGB.icc", "sRGB.icc"},
        {"C:\\Icc\\", ""},
        {"C:/Icc/sRGB.icc", "sRGB.icc"},
        {"C:\\Icc/v2/sRGB.icc", "Icc/v2/sRGB.icc"},
    }};
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(Sha256Interface::GetFileNameFromPath(path, name), 0);
        EXPECT_EQ(name, expected) << path;
    }
}

TEST_F(IccDigestTest, PathCanonicalisationFollowsWindows) {
    for (const auto& [path, canonical] : kCanonicalCases) {
        std::array<wchar_t, 260> out{};
        EXPECT_EQ(PathCchCanonicalize(out.data(), out.size(), path), S_OK);
        EXPECT_EQ(std::wstring(out.data()), canonical);
    }
    std::array<wchar_t, 260> out{};
    EXPECT_EQ(PathCchCanonicalize(out.data(), 0, L"C:\\a"), E_INVALIDARG);
    EXPECT_EQ(PathCchCanonicalize(out.data(), 5, L"C:\\ab"),
              HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(PathCchCanonicalize(out.data(), 3, L"C:"), S_OK);
    EXPECT_EQ(std::wstring(out.data()), L"C:");
    EXPECT_EQ(PathCchCanonicalize(out.data(), out.size(), std::wstring(257, L'a').c_str()),
              HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(
        PathCchCanonicalize(out.data(), out.size(), (L"C:\\" + std::wstring(256, L'a')).c_str()),
        S_OK);
    EXPECT_EQ(
        PathCchCanonicalize(out.data(), out.size(), (L"C:\\" + std::wstring(257, L'a')).c_str()),
        HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(Sha256Interface::CanonicalizePath("C:\\Icc\\..\\caf\xe9.icc"), "C:\\caf\xe9.icc");
    EXPECT_EQ(Sha256Interface::CanonicalizePath(std::string(300, 'a')), "");
}

}  // namespace tw_test

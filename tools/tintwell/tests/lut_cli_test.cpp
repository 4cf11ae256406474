// `tintwell lut`: golden files and firmware blocks written by `make`, read
// back by `inspect` from files, hostile bytes and the machine's firmware.
#include <cstdint>
#include <string>
#include <vector>

#include "cli_harness.h"

namespace {

using namespace cli_test;

constexpr std::size_t kTableLength = 24725;
constexpr std::size_t kGoldenLength = 16 + 3 * kTableLength;

std::string TableJson(int index, int type, const std::string& serial, const std::string& vendor,
                      const std::string& year, const std::string& week, bool digestOk = true) {
    return R"({"index": )" + std::to_string(index) + R"(, "type": )" + std::to_string(type) +
           R"(, "payloadLength": 24565, "serial": ")" + serial + R"(", "vendor": ")" + vendor +
           R"(", "year": ")" + year + R"(", "week": ")" + week +
           R"(", "headerChecksumOk": true, "digestOk": )" + (digestOk ? "true" : "false") + "}";
}

std::string Json(const std::vector<std::string>& tables) {
    std::string json = R"({"control": {"headerLength": 16, "tableCount": )" +
                       std::to_string(tables.size()) +
                       R"(, "tableSize": 24725, "checksumOk": true}, "tables": [)";
    for (std::size_t i = 0; i < tables.size(); ++i) {
        json += (i == 0 ? "" : ", ") + tables[i];
    }
    return json + "]}\n";
}

std::string DefaultPanelJson() {
    return Json({TableJson(0, 1, "68000000", "BOE#", "2023", "36"),
                 TableJson(1, 2, "68000000", "BOE#", "2023", "36"),
                 TableJson(2, 3, "68000000", "BOE#", "2023", "36")});
}

class LutCli : public TintwellCli {
  protected:
    std::string Make(std::vector<std::string> options, const std::string& name = "golden.bin") {
        const std::string file = ScratchPath(name);
        options.insert(options.begin(), {"lut", "make", "--out", file});
        const Outcome run = Tintwell(options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return file;
    }
    std::string WriteBytes(const std::string& name, const std::string& bytes) const {
        return WriteScratchFile(name, bytes);
    }
    void UseFirmware(const std::string& dlut) {
        UseMachine(WriteScratchFile("machine.json", R"({"firmware": {"dlut": )" + dlut + "}}"));
    }
};

TEST_F(LutCli, MadeGoldenFileInspectsWithEveryCheckPassing) {
    const std::string golden = Make({});
    EXPECT_EQ(ReadFile(golden).size(), kGoldenLength);
    const Outcome run = Tintwell({"lut", "inspect", golden, "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, DefaultPanelJson());

    const Outcome text = Tintwell({"lut", "inspect", golden});
    EXPECT_EQ(Lines(text.out).size(), 4u);
    EXPECT_EQ(Lines(text.out)[1],
              "table 0: type 1, payload 24565 bytes, panel BOE# 68000000 week 36 year 2023, "
              "header checksum ok, digest ok");
}

TEST_F(LutCli, IdentityAndModesComeFromTheOptionsAsWritten) {
    const std::string block = Make({"--vendor", "abc#", "--serial", "0a0b0c0d", "--week", "5",
                                    "--year", "2019", "--mode", "3", "--mode", "1", "--block"});
    EXPECT_EQ(ReadFile(block).size(), 52 + 16 + 2 * kTableLength);
    const Outcome run = Tintwell({"lut", "inspect", "--block", "--json", block});
    EXPECT_EQ(run.out, Json({TableJson(0, 3, "0a0b0c0d", "abc#", "2019", "05"),
                             TableJson(1, 1, "0a0b0c0d", "abc#", "2019", "05")}));

    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--serial", "123"}, {"--vendor", "BOE"}, {"--week", "100"}, {"--mode", "256"}}) {
        std::vector<std::string> arguments{"lut", "make", "--out", ScratchPath("bad.bin")};
        arguments.insert(arguments.end(), bad.begin(), bad.end());
        EXPECT_EQ(Tintwell(arguments).exitCode, kExitUsage) << bad[0];
    }
    EXPECT_FALSE(fs::exists(ScratchPath("bad.bin")));
}

TEST_F(LutCli, AlteredBytesShowInTheChecksOrRefuseTheFile) {
    std::string bytes = ReadFile(Make({}));
    bytes[16 + kTableLength + 24724] ^= 1;  // the last digest byte of table 1
    const Outcome digest = Tintwell({"lut", "inspect", "--json", WriteBytes("d.bin", bytes)});
    EXPECT_EQ(digest.exitCode, 0);
    EXPECT_NE(digest.out.find(TableJson(1, 2, "68000000", "BOE#", "2023", "36", false)),
              std::string::npos)
        << digest.out;

    bytes.pop_back();
    const Outcome truncated = Tintwell({"lut", "inspect", WriteBytes("t.bin", bytes)});
    EXPECT_EQ(truncated.exitCode, kExitLibraryFailure);
    EXPECT_NE(truncated.err.find("3 tables of 24725 bytes do not fit in 74190 bytes"),
              std::string::npos)
        << truncated.err;
}

TEST_F(LutCli, HostileHeadersAreRefusedWithTheirReason) {
    // 65535 tables of 4 GiB - 1: the product overflows 32 bits.
    std::string huge(16, '\xFF');
    huge[14] = '\x0D';
    huge[15] = '\xF2';
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "too short for a control header: 0 bytes"},
        {std::string(15, '\0'), "too short for a control header: 15 bytes"},
        {std::string(16, '\0'), "a table size of 0 bytes cannot hold a table header"},
        {huge, "65535 tables of 4294967295 bytes do not fit in 16 bytes"}};
    for (const auto& [bytes, reason] : cases) {
        const Outcome run = Tintwell({"lut", "inspect", WriteBytes("h.bin", bytes)});
        EXPECT_EQ(run.exitCode, kExitLibraryFailure) << reason;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(
        Tintwell({"lut", "inspect", "--block", WriteBytes("b.bin", std::string(67, 'x'))}).exitCode,
        kExitLibraryFailure);
    EXPECT_EQ(Tintwell({"lut", "inspect", ScratchPath("missing.bin")}).exitCode, kExitUsage);
    EXPECT_EQ(Tintwell({"lut", "inspect"}).exitCode, kExitUsage);
}

TEST_F(LutCli, TextFieldsOfAnyBytesStayValidJson) {
    std::string bytes = ReadFile(Make({"--mode", "1"}));
    bytes[16 + 46] = '"';
    bytes[16 + 47] = '\\';
    bytes[16 + 48] = '\n';
    bytes[16 + 49] = '\xE9';
    const Outcome run = Tintwell({"lut", "inspect", "--json", WriteBytes("q.bin", bytes)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find(R"("serial": "\"\\\u000a\u00e90000", )"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"("headerChecksumOk": false, "digestOk": false)"), std::string::npos);
}

TEST_F(LutCli, DefaultLaptopFirmwareCarriesItsPanelsTables) {
    const Outcome run = Tintwell({"lut", "inspect", "--firmware", "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, DefaultPanelJson());
}

TEST_F(LutCli, FirmwareTableFromEachKindOfDescription) {
    const std::string golden = Make({"--serial", "12345678", "--mode", "2"});
    const std::string block = Make({"--serial", "12345678", "--mode", "2", "--block"}, "block.bin");
    const std::string expected = Json({TableJson(0, 2, "12345678", "BOE#", "2023", "36")});

    UseFirmware(R"({"file": ")" + block + R"("})");
    EXPECT_EQ(Tintwell({"lut", "inspect", "--firmware", "--json"}).out, expected);
    UseFirmware(R"({"make": {"serial": "12345678", "modes": [2]}})");
    EXPECT_EQ(Tintwell({"lut", "inspect", "--firmware", "--json"}).out, expected);

    UseFirmware(R"({"hex": "44 4C 55 54"})");
    const Outcome tiny = Tintwell({"lut", "inspect", "--firmware"});
    EXPECT_EQ(tiny.exitCode, kExitLibraryFailure);
    EXPECT_NE(tiny.err.find("too short for a control header: 4 bytes"), std::string::npos)
        << tiny.err;

    UseFirmware(R"({"size": 131125})");
    const Outcome filler = Tintwell({"lut", "inspect", "--firmware"});
    EXPECT_EQ(filler.exitCode, kExitLibraryFailure);
    EXPECT_NE(filler.err.find("table size of 0 bytes"), std::string::npos) << filler.err;
}

TEST_F(LutCli, FirmwareWithoutTheTableOrRefusingTheReadIsReported) {
    UseMachine(WriteScratchFile("bare.json", "{}"));
    const Outcome missing = Tintwell({"lut", "inspect", "--firmware"});
    EXPECT_EQ(missing.exitCode, kExitLibraryFailure);
    EXPECT_NE(missing.err.find("no DLUT table (error 1168)"), std::string::npos) << missing.err;

    UseMachine(WriteScratchFile(
        "refusing.json",
        R"({"failures": [{"call": "GetSystemFirmwareTable", "error": 31, "always": true}]})"));
    const Outcome refused = Tintwell({"lut", "inspect", "--firmware"});
    EXPECT_EQ(refused.exitCode, kExitLibraryFailure);
    EXPECT_NE(refused.err.find("(error 31)"), std::string::npos) << refused.err;
}

TEST_F(LutCli, ApplyAndResetPrintWhatReachedTheDriver) {
    CreateProgramDataFolder();
    const Outcome apply = Tintwell({"lut", "apply", "2"});
    EXPECT_EQ(apply.exitCode, 0) << apply.err;
    ASSERT_EQ(Lines(apply.out).size(), 1u);
    EXPECT_EQ(Lines(apply.out)[0].rfind("load device 12345: 4913 entries, red (", 0), 0u);
    EXPECT_TRUE(fs::exists(ProgramDataFolder() / "P3.bin"));

    const Outcome reset = Tintwell({"lut", "reset"});
    EXPECT_EQ(reset.exitCode, 0) << reset.err;
    EXPECT_EQ(reset.out,
              "load device 12345: 4913 entries, red (1023, 0, 0), white (1023, 1023, 1023), taken\n"
              "restore device 12345: 4913 entries, red (1023, 0, 0), white (1023, 1023, 1023), "
              "taken\n");
}

// The default laptop whose firmware carries tables measured on another panel.
TEST_F(LutCli, TablesOfAnotherPanelAreNamedAndNotApplied) {
    std::string laptop = ReadFile(std::string(TINTWELL_EXAMPLE_MACHINES) + "/default-laptop.json");
    const std::string measured = R"("serial": "68000000")";
    laptop.replace(laptop.find(measured), measured.size(), R"("serial": "12345678")");
    UseMachine(WriteScratchFile("replaced-panel.json", laptop));
    CreateProgramDataFolder();
    const Outcome inspect = Tintwell({"lut", "inspect", "--firmware", "--machine", "--json"});
    EXPECT_EQ(inspect.exitCode, 0) << inspect.err;
    EXPECT_NE(inspect.out.find(R"("digestOk": true, "matchesPanel": false})"), std::string::npos)
        << inspect.out;

    const Outcome apply = Tintwell({"lut", "apply", "2"});
    EXPECT_EQ(apply.exitCode, kExitLibraryFailure);
    EXPECT_EQ(apply.out, "");
}

}  // namespace

// What `tintwell whitepoint` needs beyond the exports: the record the library
// holds and the panel it checks it against, what applying it did to the
// machine, and where a Windows path lies on this machine.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tintwell_cli {

// The record as the library parsed it, with the text it was read from.
struct RecordInUse {
    std::string text;
    std::string header1;
    std::string header2;
    // White x, y, red x, y, green x, y, blue x, y, each times 10000.
    std::array<std::uint32_t, 8> coordinates{};
    std::uint32_t value9 = 0;
    std::uint32_t value10 = 0;
    std::string serial;
    std::string vendor;
    std::string year;
    std::string week;
    std::uint16_t checksum = 0;
    std::string trailing;
};

// The panel identity as OperateColor reads it from the EDID.
struct PanelText {
    std::string vendor;
    std::string serial;
    std::string year;
    std::string week;
};

struct WhitePointReading {
    bool ready = false;
    bool golden = false;  // the golden text serves, not the firmware's
    std::optional<RecordInUse> record;
    PanelText panel;
};

// InitWhitePointInfo, then what the library holds; `goldenText` is the text
// handed to it, if any. Nothing where the tool cannot reach the library's
// internals (the Windows tool holds only the exports).
std::optional<WhitePointReading> ReadWhitePoint(const std::optional<std::string>& goldenText);

// The host path of a Windows path: itself on Windows, on Linux the simulated
// machine's mapping into its root.
std::filesystem::path HostPath(std::wstring_view windowsPath);

// Notes what the machine holds when made, and tells what changed since, a
// line each: the maker's hardware library calls (the Intel road) and the
// ADL gamut changes.
// Nothing where the machine cannot be read back (the real one).
class WhitePointTrace {
  public:
    WhitePointTrace();
    ~WhitePointTrace();
    WhitePointTrace(const WhitePointTrace&) = delete;
    WhitePointTrace& operator=(const WhitePointTrace&) = delete;

    std::vector<std::string> Lines() const;

  private:
    struct Marks;
    std::unique_ptr<Marks> marks_;
};

}  // namespace tintwell_cli

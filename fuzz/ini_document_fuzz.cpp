// Any bytes in the INI file: parsing never fails, and a value written is the
// value read back, whatever surrounded it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sim::IniDocument document = sim::IniDocument::Parse(bytes);
    document.Find(L"CIRCLE", L"R");
    document.KeyNames(L"CIRCLE");
    document.SectionNames();

    document.Set(L"CIRCLE", L"R", L"0.5");
    const auto reparsed = sim::IniDocument::Parse(document.Serialize());
    if (reparsed.Find(L"circle", L"r") != L"0.5") {
        std::abort();
    }
    return 0;
}

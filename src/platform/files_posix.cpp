#include "platform/files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sim/machine.h"

namespace platform {

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return wide;
}

}  // namespace

bool AppendToFile(const std::wstring& path, std::string_view bytes) {
    const auto file = sim::Machine::Current().HostPath(path);
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    std::ifstream in(sim::Machine::Current().HostPath(path), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    std::string narrow;
    for (const wchar_t* p = name; *p != L'\0'; ++p) {
        narrow += static_cast<char>(*p);
    }
    const char* value = std::getenv(narrow.c_str());
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return Widen(value);
}

std::wstring ProgramDataFolder() {
    return L"C:\\ProgramData";
}

}  // namespace platform

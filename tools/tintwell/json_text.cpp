#include "json_text.h"

#include <array>
#include <charconv>

namespace tintwell_cli {

std::string Escaped(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            escaped += "\\u00";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Shortest(float value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

std::string JsonArray(const std::vector<std::string>& lines) {
    std::string array = "[";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        array += (n == 0 ? "\"" : ", \"") + Escaped(lines[n]) + '"';
    }
    return array + ']';
}

}  // namespace tintwell_cli

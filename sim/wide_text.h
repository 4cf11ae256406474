// Wide text helpers of the machine model: descriptions are UTF-8 JSON, the
// API answers in wide text, and Windows compares names case-blind.
#pragma once

#include <cwctype>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sim {

// Decodes UTF-8; a malformed sequence becomes U+FFFD.
inline std::wstring WideFromUtf8(std::string_view text) {
    std::wstring wide;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int trailing = lead < 0x80    ? 0
                             : lead >= 0xF0 ? 3
                             : lead >= 0xE0 ? 2
                             : lead >= 0xC0 ? 1
                                            : -1;
        char32_t codePoint = trailing == 0 ? lead : lead & (0x3F >> trailing);
        bool valid = trailing >= 0 && i + trailing < text.size();
        for (int k = 1; valid && k <= trailing; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        wide += valid ? static_cast<wchar_t>(codePoint) : L'\uFFFD';
        i += valid ? trailing + 1 : 1;
    }
    return wide;
}

// A string member of a description, or `fallback` when it is absent.
inline std::wstring WideMember(const nlohmann::json& object, const char* key,
                               std::wstring_view fallback = {}) {
    const auto found = object.find(key);
    return found == object.end() ? std::wstring(fallback) : WideFromUtf8(found->get<std::string>());
}

inline bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace sim

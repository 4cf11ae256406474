#include "sim/ini_document.h"

#include <algorithm>

#include "sim/codepage.h"

namespace sim {

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";
// What the profile functions take for white space around names, values and
// whole lines: the C blanks from tab to carriage return, the space, and the
// DOS end-of-file mark some old editors leave behind.
constexpr std::wstring_view kBlanks = L"\t\n\v\f\r\x1a ";

std::wstring_view TrimStart(std::wstring_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    return first == std::wstring_view::npos ? std::wstring_view{} : text.substr(first);
}

std::wstring_view TrimEnd(std::wstring_view text) {
    const auto last = text.find_last_not_of(kBlanks);
    return last == std::wstring_view::npos ? std::wstring_view{} : text.substr(0, last + 1);
}

std::wstring_view Trim(std::wstring_view text) {
    return TrimEnd(TrimStart(text));
}

// Names and values are C strings once read, so a NUL byte in the file ends them.
std::wstring_view UpToNul(std::wstring_view text) {
    return text.substr(0, text.find(L'\0'));
}

wchar_t FoldCase(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b,
                              [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

// A header runs from its '[' to the last ']' of the line; a line with no ']'
// starts no section and reads as a key of the section it is in.
std::optional<std::wstring_view> SectionHeader(std::wstring_view line) {
    line = Trim(line);
    const auto close = line.rfind(L']');
    if (line.empty() || line.front() != L'[' || close == std::wstring_view::npos) {
        return std::nullopt;
    }
    return UpToNul(Trim(line.substr(1, close - 1)));
}

struct KeyLine {
    std::wstring_view key;
    std::optional<std::wstring_view> value;  // none when the line has no '='
};

// Every line that is neither blank nor a header is a key, comments included.
std::optional<KeyLine> ParseKeyLine(std::wstring_view line) {
    line = Trim(line);
    if (line.empty() || SectionHeader(line)) {
        return std::nullopt;
    }
    const auto equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        return KeyLine{UpToNul(line), std::nullopt};
    }
    return KeyLine{UpToNul(TrimEnd(line.substr(0, equals))),
                   UpToNul(TrimStart(line.substr(equals + 1)))};
}

bool IsBlank(std::wstring_view line) {
    return Trim(line).empty();
}

std::wstring Decode(std::string_view bytes, IniDocument::Encoding& encoding) {
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        encoding = IniDocument::Encoding::Utf16Le;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return text;
    }
    encoding = IniDocument::Encoding::Ansi;
    for (unsigned char byte : bytes) {
        text += Cp1252ToWide(byte);
    }
    return text;
}

void EncodeAnsi(std::wstring_view text, std::string& out) {
    for (wchar_t c : text) {
        out += static_cast<char>(WideToCp1252(c).value_or(kCp1252DefaultChar));
    }
}

void EncodeUtf16Le(std::wstring_view text, std::string& out) {
    const auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    };
    for (wchar_t c : text) {
        const auto codePoint = static_cast<char32_t>(c);
        if (codePoint >= 0x10000) {
            put(0xD800 + ((codePoint - 0x10000) >> 10));
            put(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            put(codePoint);
        }
    }
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    const std::wstring text = Decode(bytes, document.encoding_);
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            document.lines_.push_back({text.substr(start), L""});
            break;
        }
        const std::size_t endingLength = text.compare(end, 2, L"\r\n") == 0 ? 2 : 1;
        document.lines_.push_back(
            {text.substr(start, end - start), text.substr(end, endingLength)});
        start = end + endingLength;
    }
    return document;
}

std::string IniDocument::Serialize() const {
    std::string out;
    if (encoding_ == Encoding::Utf16Le) {
        out = "\xFF\xFE";
    }
    for (const Line& line : lines_) {
        const std::wstring whole = line.text + line.ending;
        if (encoding_ == Encoding::Utf16Le) {
            EncodeUtf16Le(whole, out);
        } else {
            EncodeAnsi(whole, out);
        }
    }
    return out;
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::wstring_view section) const {
    const std::wstring_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto header = SectionHeader(lines_[i].text);
        if (!header || !SameName(*header, wanted)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionHeader(lines_[end].text)) {
            ++end;
        }
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const Range& range, std::wstring_view key) const {
    const std::wstring_view wanted = Trim(key);
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto parsed = ParseKeyLine(lines_[i].text);
        if (parsed && SameName(parsed->key, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> IniDocument::Find(std::wstring_view section,
                                              std::wstring_view key) const {
    const auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto line = FindKey(*range, key);
    if (!line) {
        return std::nullopt;
    }
    const auto value = ParseKeyLine(lines_[*line].text)->value;
    return value ? std::optional<std::wstring>(*value) : std::nullopt;
}

std::vector<std::wstring> IniDocument::SectionNames() const {
    std::vector<std::wstring> names;
    for (const Line& line : lines_) {
        if (const auto header = SectionHeader(line.text); header && !header->empty()) {
            names.emplace_back(*header);
        }
    }
    return names;
}

std::vector<std::wstring> IniDocument::KeyNames(std::wstring_view section) const {
    std::vector<std::wstring> names;
    if (const auto range = FindSection(section)) {
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            const auto parsed = ParseKeyLine(lines_[i].text);
            if (parsed && parsed->value && !parsed->key.starts_with(L';')) {
                names.emplace_back(parsed->key);
            }
        }
    }
    return names;
}

void IniDocument::Insert(std::size_t at, std::wstring text) {
    if (at > 0 && lines_[at - 1].ending.empty()) {
        lines_[at - 1].ending = kLineEnd;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{std::move(text), std::wstring(kLineEnd)});
}

// New names and values lose their leading blanks but keep trailing ones, as
// Wine stores them; lookups trim both ends.
bool IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    const std::wstring entry = std::wstring(TrimStart(key)) + L"=";
    const std::wstring_view text = TrimStart(value);
    const auto range = FindSection(section);
    if (!range) {
        Insert(lines_.size(), L"[" + std::wstring(TrimStart(section)) + L"]");
        Insert(lines_.size(), entry + std::wstring(text));
        return true;
    }
    if (const auto line = FindKey(*range, key)) {
        const KeyLine stored = *ParseKeyLine(lines_[*line].text);
        if (stored.value == text) {
            return false;
        }
        // The file's own spelling of the key is kept; a key without '=' gains one.
        lines_[*line].text = std::wstring(stored.key) + L"=" + std::wstring(text);
        return true;
    }
    std::size_t after = range->end;
    while (after > range->header + 1 && IsBlank(lines_[after - 1].text)) {
        --after;
    }
    Insert(after, entry + std::wstring(text));
    return true;
}

bool IniDocument::RemoveKey(std::wstring_view section, std::wstring_view key) {
    const auto range = FindSection(section);
    if (!range) {
        return false;
    }
    const auto line = FindKey(*range, key);
    if (!line) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

bool IniDocument::RemoveSection(std::wstring_view section) {
    const auto range = FindSection(section);
    if (!range) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

}  // namespace sim

// An INI file as Windows' private-profile functions see it. Lines are kept as
// they were read, so a write changes only the line it must: comments, unknown
// keys, blank lines and the order of everything else survive.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class IniDocument {
  public:
    enum class Encoding { Ansi, Utf16Le };

    static IniDocument Parse(std::string_view bytes);
    std::string Serialize() const;

    // Section and key names compare case-blind; the first match wins.
    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;
    std::vector<std::wstring> SectionNames() const;
    std::vector<std::wstring> KeyNames(std::wstring_view section) const;

    void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    void RemoveKey(std::wstring_view section, std::wstring_view key);
    void RemoveSection(std::wstring_view section);

  private:
    struct Line {
        std::wstring text;
        std::wstring ending;  // "\r\n", "\n", "\r" or empty on an unterminated last line
    };
    struct Range {
        std::size_t header;
        std::size_t end;  // one past the section's last line
    };

    std::optional<Range> FindSection(std::wstring_view section) const;
    std::optional<std::size_t> FindKey(const Range& range, std::wstring_view key) const;
    void Insert(std::size_t at, std::wstring text);

    std::vector<Line> lines_;
    Encoding encoding_ = Encoding::Ansi;
};

}  // namespace sim

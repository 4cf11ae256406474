// An INI file as Windows' private-profile functions see it. Lines are kept as
// they were read, so a write changes only the line it must: comments, unknown
// keys, blank lines and the order of everything else survive. Which line is a
// section header, which a key and what a key's value is follow Wine's reading
// of hand-edited files, the reference the shared tests run against.
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

    // Section and key names compare case-blind; only the first matching
    // section is searched and its first matching key wins, even one without
    // '=' (which has no value). The value comes as stored, quotes included.
    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;
    std::vector<std::wstring> SectionNames() const;
    // The keys that have a value, comments left out.
    std::vector<std::wstring> KeyNames(std::wstring_view section) const;

    // Each returns whether the document changed; an unchanged document is
    // not written back, so a file that already holds the value keeps its bytes.
    bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    bool RemoveKey(std::wstring_view section, std::wstring_view key);
    bool RemoveSection(std::wstring_view section);

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

// Typed reads and writes of one key of the library's INI file, through the
// Windows private-profile functions on every access: nothing is cached.
#pragma once

#include <optional>
#include <string>

inline const std::wstring kIniFilePath = L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini";

class ConfigIni {
  public:
    explicit ConfigIni(std::wstring path) : path_(std::move(path)) {}
    virtual ~ConfigIni() = default;

    int GetValue(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    long GetValue(const std::wstring& section, const std::wstring& key, long defaultValue) const;
    float GetValue(const std::wstring& section, const std::wstring& key, float defaultValue) const;
    double GetValue(const std::wstring& section, const std::wstring& key,
                    double defaultValue) const;
    // Accepts a decimal comma as well as a point.
    double GetDoubleValue(const std::wstring& section, const std::wstring& key,
                          double defaultValue) const;
    // The stored text, narrowed byte by byte, into a buffer of `size` bytes.
    bool GetValue(const std::wstring& section, const std::wstring& key, char* buffer,
                  int size) const;

    bool SetValue(const std::wstring& section, const std::wstring& key, int value) const;
    bool SetValue(const std::wstring& section, const std::wstring& key, long value) const;
    bool SetValue(const std::wstring& section, const std::wstring& key, float value) const;
    bool SetValue(const std::wstring& section, const std::wstring& key, double value) const;

    const std::wstring& Path() const { return path_; }

  private:
    std::optional<std::wstring> ReadText(const std::wstring& section,
                                         const std::wstring& key) const;
    template <typename T>
    T ReadNumber(const std::wstring& section, const std::wstring& key, T defaultValue,
                 const char* source, bool decimalComma = false) const;
    template <typename T>
    bool WriteNumber(const std::wstring& section, const std::wstring& key, T value) const;

    std::wstring path_;
};

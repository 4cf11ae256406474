// File access that the two C runtimes spell differently. Paths are Windows
// paths; on Linux the simulated machine maps them into its directory tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Appends bytes to a file, creating the file and its missing folders first.
bool AppendToFile(const std::wstring& path, std::string_view bytes);

std::optional<std::string> ReadWholeFile(const std::wstring& path);

// True when the path names a file or folder, as _access(path, 0) == 0.
bool FileExists(const std::wstring& path);

// Replaces the file's content with bytes, sharing it with other readers and
// writers; the folder must exist. False when it cannot open or write.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// What a reader lets other openers do while it is open.
enum class Sharing {
    // Another process writing or replacing the file does not make the open fail.
    Everything,
    // Others may read; writes, deletes and renames fail until the reader
    // closes, so what it read stays what the file holds.
    ReadOnly,
};

// A binary input stream; a folder does not open.
class SharedFileReader {
  public:
    explicit SharedFileReader(const std::wstring& path, Sharing sharing = Sharing::Everything);
    ~SharedFileReader();
    SharedFileReader(const SharedFileReader&) = delete;
    SharedFileReader& operator=(const SharedFileReader&) = delete;

    bool IsOpen() const;
    // The end position, i.e. the size; the position is back at the start
    // afterwards. 0 when the size cannot be taken.
    std::uint64_t Size();
    // Reads from the current position until size bytes or the end of the
    // file; the number of bytes read.
    std::size_t Read(void* buffer, std::size_t size);

  private:
    struct Stream;  // the platform's open file
    std::unique_ptr<Stream> stream_;
};

// The value of an environment variable, or nothing when it is unset or
// empty (Windows reads both as absent).
std::optional<std::wstring> EnvironmentValue(const wchar_t* name);

// The machine's program-data folder ("C:\ProgramData" on a standard install).
std::wstring ProgramDataFolder();

}  // namespace platform

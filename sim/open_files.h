// Windows' sharing rule for the files the simulated machine opens: an open
// names what it does with the file and what it lets later openers do, and it
// is refused while another open handle and it do not allow each other. The
// host file system knows nothing of this, so every simulated open of a file
// that the library verifies or writes goes through here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

namespace sim {

// The same bits serve as access and as sharing, as FILE_SHARE_READ,
// FILE_SHARE_WRITE and FILE_SHARE_DELETE do.
enum FileUse : std::uint32_t {
    kFileRead = 1,
    kFileWrite = 2,
    kFileDelete = 4,
    kShareAll = kFileRead | kFileWrite | kFileDelete,
};

class OpenFiles;

// One open handle's claim on a file, given up when it goes.
class FileClaim {
  public:
    FileClaim(FileClaim&& other) noexcept;
    FileClaim& operator=(FileClaim&&) = delete;
    FileClaim(const FileClaim&) = delete;
    FileClaim& operator=(const FileClaim&) = delete;
    ~FileClaim();

  private:
    friend class OpenFiles;
    FileClaim(std::filesystem::path file, std::uint64_t id) : file_(std::move(file)), id_(id) {}
    std::filesystem::path file_;
    std::uint64_t id_;
};

class OpenFiles {
  public:
    // One table for the process, as handles outlive any one machine a test
    // installs.
    static OpenFiles& Instance();

    // Nothing when an open handle does not share `use`, or `share` does not
    // allow what an open handle does (ERROR_SHARING_VIOLATION on Windows).
    std::optional<FileClaim> Open(const std::filesystem::path& file, std::uint32_t use,
                                  std::uint32_t share);

    // Another program replacing the file's content as an editor saves: it
    // writes a new file and renames it over the old one, so it needs to
    // write and delete the old one. False when an open handle refuses that.
    bool ReplaceAsAnotherProgram(const std::filesystem::path& file, std::string_view bytes);

  private:
    friend class FileClaim;
    struct Handle {
        std::uint32_t use;
        std::uint32_t share;
    };
    static std::filesystem::path Key(const std::filesystem::path& file);
    void Close(const std::filesystem::path& file, std::uint64_t id);

    std::mutex mutex_;
    std::uint64_t nextId_ = 1;
    std::map<std::filesystem::path, std::map<std::uint64_t, Handle>> handles_;
};

}  // namespace sim

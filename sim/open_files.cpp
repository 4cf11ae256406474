#include "sim/open_files.h"

#include <fstream>
#include <system_error>
#include <utility>

#include "util/no_destructor.h"

namespace sim {

FileClaim::FileClaim(FileClaim&& other) noexcept
    : file_(std::move(other.file_)), id_(std::exchange(other.id_, 0)) {}

FileClaim::~FileClaim() {
    if (id_ != 0) {
        OpenFiles::Instance().Close(file_, id_);
    }
}

OpenFiles& OpenFiles::Instance() {
    // Claims may end during static destruction; in static storage, the table
    // goes with the image that holds it when a library is unloaded.
    static NoDestructor<OpenFiles> table;
    return table.Get();
}

std::filesystem::path OpenFiles::Key(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::absolute(file, ignored).lexically_normal();
}

std::optional<FileClaim> OpenFiles::Open(const std::filesystem::path& file, std::uint32_t use,
                                         std::uint32_t share) {
    const auto key = Key(file);
    const std::lock_guard lock(mutex_);
    auto& open = handles_[key];
    for (const auto& [id, handle] : open) {
        if ((use & ~handle.share) != 0 || (handle.use & ~share) != 0) {
            return std::nullopt;
        }
    }
    const std::uint64_t id = nextId_++;
    open.emplace(id, Handle{use, share});
    return FileClaim(key, id);
}

void OpenFiles::Close(const std::filesystem::path& file, std::uint64_t id) {
    const std::lock_guard lock(mutex_);
    const auto open = handles_.find(file);
    if (open == handles_.end()) {
        return;
    }
    open->second.erase(id);
    if (open->second.empty()) {
        handles_.erase(open);
    }
}

bool OpenFiles::ReplaceAsAnotherProgram(const std::filesystem::path& file, std::string_view bytes) {
    const auto claim = Open(file, kFileWrite | kFileDelete, kShareAll);
    if (!claim) {
        return false;
    }
    auto temporary = file;
    temporary += ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    return !error;
}

}  // namespace sim

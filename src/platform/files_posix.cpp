#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sim/machine.h"
#include "sim/open_files.h"

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
    const auto claim = sim::OpenFiles::Instance().Open(file, sim::kFileWrite, sim::kShareAll);
    if (!claim) {
        return false;
    }
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

bool FileExists(const std::wstring& path) {
    return ::access(sim::Machine::Current().HostPath(path).c_str(), F_OK) == 0;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    const auto file = sim::Machine::Current().HostPath(path);
    const auto claim = sim::OpenFiles::Instance().Open(file, sim::kFileWrite, sim::kShareAll);
    if (!claim) {
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

struct SharedFileReader::Stream {
    Stream(int descriptor, sim::FileClaim fileClaim)
        : fd(descriptor), claim(std::move(fileClaim)) {}
    ~Stream() { ::close(fd); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    int fd;
    sim::FileClaim claim;
};

// Windows will not open a folder as a file; neither does the simulated one.
SharedFileReader::SharedFileReader(const std::wstring& path, Sharing sharing) {
    const auto file = sim::Machine::Current().HostPath(path);
    const std::uint32_t share = sharing == Sharing::ReadOnly ? sim::kFileRead : sim::kShareAll;
    auto claim = sim::OpenFiles::Instance().Open(file, sim::kFileRead, share);
    if (!claim) {
        return;
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    auto stream = std::make_unique<Stream>(fd, std::move(*claim));
    struct stat status {};
    if (::fstat(fd, &status) == 0 && !S_ISDIR(status.st_mode)) {
        stream_ = std::move(stream);
    }
}

SharedFileReader::~SharedFileReader() = default;

bool SharedFileReader::IsOpen() const {
    return stream_ != nullptr;
}

std::uint64_t SharedFileReader::Size() {
    if (!stream_) {
        return 0;
    }
    const off_t end = ::lseek(stream_->fd, 0, SEEK_END);
    ::lseek(stream_->fd, 0, SEEK_SET);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

std::size_t SharedFileReader::Read(void* buffer, std::size_t size) {
    if (!stream_) {
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(stream_->fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
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

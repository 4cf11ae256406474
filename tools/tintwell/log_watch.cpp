#include "log_watch.h"

#include <fstream>
#include <system_error>

namespace tintwell_cli {

namespace {

struct Level {
    const char* mark;
    const char* name;
};
constexpr Level kComplaintLevels[] = {{"[2] ", "warning: "}, {"[3] ", "error: "}};

std::uintmax_t SizeOrZero(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

LogWatch::LogWatch() : path_(LibraryLogPath()), start_(SizeOrZero(path_)) {}

std::vector<std::string> LogWatch::Complaints() const {
    std::ifstream in(path_, std::ios::binary);
    // A log that shrank was replaced: all of it is new.
    if (SizeOrZero(path_) >= start_) {
        in.seekg(static_cast<std::streamoff>(start_));
    }
    std::vector<std::string> complaints;
    for (std::string line; std::getline(in, line);) {
        // Each line is "<time> [<level>] <text>".
        const std::size_t space = line.find(' ');
        for (const Level& level : kComplaintLevels) {
            if (space != std::string::npos && line.compare(space + 1, 4, level.mark) == 0) {
                complaints.push_back(level.name + line.substr(space + 5));
            }
        }
    }
    return complaints;
}

}  // namespace tintwell_cli

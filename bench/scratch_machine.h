#pragma once

#include <cstdlib>
#include <filesystem>

// Points the simulated machine at a fresh folder with the program-data
// folder in place, once per benchmark process.
inline void UseScratchMachine() {
    static const std::filesystem::path root = [] {
        auto path = std::filesystem::temp_directory_path() / "tintwell-bench";
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path / "C/ProgramData/Vozaz/OrvLumivex");
        setenv("TINTWELL_ROOT", path.c_str(), 1);
        setenv("TINTWELL_LOG_FILE", (path / "bench.log").c_str(), 1);
        return path;
    }();
}

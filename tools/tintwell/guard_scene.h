// The demo's guard scene on the simulated machine: the screen at a colour
// temperature, other programs and the monitor taking it away, the library's
// guard putting it back, and giving way to a program that keeps at it. The
// timeline samples, every few milliseconds, what each road holds against
// what was applied.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tintwell_cli {

struct GuardSample {
    std::chrono::milliseconds time{0};  // since the scene began
    std::string road;                   // "gamma ramp" or "DDC/CI gains"
    double applied = 0;                 // the blue gain applied, 0 … 1
    double held = 0;                    // the blue gain the road holds
};

struct GuardSceneResult {
    int applied = -1;  // the road's result
    std::vector<GuardSample> samples;
    // What happened, in order: "0.40 s  another program loads its ramp".
    std::vector<std::string> timeline;
    std::vector<std::string> guardLines;  // the guard's warnings
    std::size_t drifts = 0;
    std::size_t putBacks = 0;
    bool gaveWay = false;
};

// Plays the scene with `gains` (the manual temperature's) on the first
// display's gamma ramp and, where a served monitor is, on its DDC/CI gains.
GuardSceneResult PlayGuardScene(double r, double g, double b);

// The samples as CSV and as an SVG plot, applied against held per road.
void WriteGuardFiles(const GuardSceneResult& scene, const std::filesystem::path& csv,
                     const std::filesystem::path& svg);

}  // namespace tintwell_cli

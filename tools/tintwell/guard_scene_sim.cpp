#include <windows.h>

#include <highlevelmonitorconfigurationapi.h>
#include <physicalmonitorenumerationapi.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "guard_scene.h"
#include "log_watch.h"
#include "sim/display_events.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"
#include "tintwell/tintwell.h"

namespace tintwell_cli {

namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr unsigned kGuardInterval = 200;
constexpr milliseconds kSampleEvery{20};
constexpr milliseconds kSceneLength{5000};
// Between the guard's passes, as the world's changes come.
constexpr milliseconds kOtherProgramAt{690};
constexpr milliseconds kMonitorEventAt{1690};
// The front-end restores, as it does on WM_DISPLAYCHANGE, which also ends
// any back-off; the stubborn program starts after it.
constexpr milliseconds kFrontEndRestoresAt{2400};
constexpr milliseconds kStubbornFrom{2690};
constexpr milliseconds kStubbornEvery{430};
constexpr unsigned kStubbornTimes = 6;
constexpr std::size_t kBlueTop = 3 * 256 - 1;
constexpr double kRampTop = 65535.0;
constexpr double kGainTop = 100.0;
constexpr const char* kRampRoad = "gamma ramp";
constexpr const char* kGainRoad = "DDC/CI gains";
constexpr const wchar_t* kDisplay = L"\\\\.\\DISPLAY1";

sim::Machine& Machine() {
    return sim::Machine::Current();
}

std::optional<double> HeldRampBlue() {
    const HDC dc = CreateDCW(nullptr, kDisplay, nullptr, nullptr);
    if (dc == nullptr) {
        return std::nullopt;
    }
    std::array<WORD, 3 * 256> ramp{};
    const bool read = GetDeviceGammaRamp(dc, ramp.data()) != FALSE;
    DeleteDC(dc);
    return read ? std::optional(ramp[kBlueTop] / kRampTop) : std::nullopt;
}

HMONITOR FirstDisplayMonitor() {
    HMONITOR found = nullptr;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            *reinterpret_cast<HMONITOR*>(data) = monitor;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::optional<double> HeldMonitorBlue() {
    PHYSICAL_MONITOR monitor{};
    const HMONITOR display = FirstDisplayMonitor();
    DWORD count = 0;
    if (display == nullptr || !GetNumberOfPhysicalMonitorsFromHMONITOR(display, &count) ||
        count != 1 || !GetPhysicalMonitorsFromHMONITOR(display, 1, &monitor)) {
        return std::nullopt;
    }
    DWORD minimum = 0, current = 0, maximum = 0;
    const bool read = GetMonitorRedGreenOrBlueGain(monitor.hPhysicalMonitor, MC_BLUE_GAIN, &minimum,
                                                   &current, &maximum) != FALSE;
    DestroyPhysicalMonitors(1, &monitor);
    return read ? std::optional(current / kGainTop) : std::nullopt;
}

std::string Seconds(milliseconds time) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << static_cast<double>(time.count()) / 1000.0
         << " s";
    return text.str();
}

void Schedule(bool monitor, milliseconds start) {
    auto& events = Machine().Events();
    events.Schedule({sim::OtherProgramRamp{kDisplay, sim::RampOfGains({1, 1, 1})},
                     start + kOtherProgramAt, std::nullopt, std::nullopt});
    if (monitor) {
        events.Schedule(
            {sim::MonitorPowerCycle{{kDisplay, 0}}, start + kMonitorEventAt, std::nullopt, 1});
    } else {
        events.Schedule({sim::RampReset{}, start + kMonitorEventAt, std::nullopt, std::nullopt});
    }
    events.Schedule({sim::OtherProgramRamp{kDisplay, sim::RampOfGains({1, 1, 1})},
                     start + kStubbornFrom, kStubbornEvery, kStubbornTimes});
}

// A change of what a road holds against what was applied becomes a line.
void NoteTransition(GuardSceneResult& scene, std::map<std::string, bool>& holding,
                    const GuardSample& sample) {
    const bool holds = std::abs(sample.applied - sample.held) < 0.002;
    const auto [previous, first] = holding.try_emplace(sample.road, holds);
    if (first || previous->second == holds) {
        return;
    }
    previous->second = holds;
    if (holds) {
        ++scene.putBacks;
    } else {
        ++scene.drifts;
    }
    scene.timeline.push_back(
        Seconds(sample.time) + "  " + sample.road +
        (holds ? " holds again" : " lost (blue " + std::to_string(sample.held).substr(0, 5) + ")"));
}

}  // namespace

GuardSceneResult PlayGuardScene(double r, double g, double b) {
    GuardSceneResult scene;
    const LogWatch log;
    const bool monitor = HeldMonitorBlue().has_value() && HaveOrvMonitor();
    scene.applied = SetTemperatureForNvidia(static_cast<float>(r), static_cast<float>(g),
                                            static_cast<float>(b), 0, 1.0);
    if (monitor) {
        SetTemperatureForDesktopComputer(static_cast<float>(r), static_cast<float>(g),
                                         static_cast<float>(b), 0, 1.0);
        std::this_thread::sleep_for(500ms);
    }
    const double appliedRamp = HeldRampBlue().value_or(0);
    const double appliedGains = monitor ? HeldMonitorBlue().value_or(0) : 0;
    if (scene.applied != 0 || StartColorStateGuard(kGuardInterval) != 0) {
        return scene;
    }
    const milliseconds start = Machine().Clock().Now();
    Schedule(monitor, start);
    std::map<std::string, bool> holding;
    bool restored = false;
    for (milliseconds at{0}; at < kSceneLength; at += kSampleEvery) {
        std::this_thread::sleep_until(std::chrono::steady_clock::now() + kSampleEvery);
        const milliseconds now = Machine().Clock().Now() - start;
        if (!restored && now >= kFrontEndRestoresAt) {
            restored = true;
            scene.timeline.push_back(Seconds(now) + "  the front-end calls RestoreColorState: " +
                                     std::to_string(RestoreColorState()));
        }
        if (const auto held = HeldRampBlue()) {
            scene.samples.push_back({now, kRampRoad, appliedRamp, *held});
            NoteTransition(scene, holding, scene.samples.back());
        }
        if (monitor) {
            if (const auto held = HeldMonitorBlue()) {
                scene.samples.push_back({now, kGainRoad, appliedGains, *held});
                NoteTransition(scene, holding, scene.samples.back());
            }
        }
    }
    StopColorStateGuard();
    scene.guardLines = log.Complaints();
    scene.gaveWay = std::ranges::any_of(scene.guardLines, [](const std::string& line) {
        return line.find("another program keeps changing") != std::string::npos;
    });
    return scene;
}

void WriteGuardFiles(const GuardSceneResult& scene, const std::filesystem::path& csv,
                     const std::filesystem::path& svg) {
    std::filesystem::create_directories(csv.parent_path());
    std::ofstream table(csv);
    table << "time_ms,road,applied_blue,held_blue\n";
    for (const GuardSample& sample : scene.samples) {
        table << sample.time.count() << ',' << sample.road << ',' << sample.applied << ','
              << sample.held << '\n';
    }
    constexpr double kWidth = 800, kHeight = 300, kLeft = 50, kBottom = 30, kTop = 20;
    const double span = static_cast<double>(kSceneLength.count());
    const auto x = [&](milliseconds t) { return kLeft + (kWidth - kLeft - 10) * t.count() / span; };
    const auto y = [&](double v) { return kHeight - kBottom - (kHeight - kBottom - kTop) * v; };
    std::ofstream plot(svg);
    plot << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
         << kHeight << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
         << "<text x=\"" << kLeft << "\" y=\"14\">blue gain applied (dashed) and held (solid) "
         << "per road; the guard every " << kGuardInterval << " ms</text>\n"
         << "<line x1=\"" << kLeft << "\" y1=\"" << y(0) << "\" x2=\"" << kWidth - 10 << "\" y2=\""
         << y(0) << "\" stroke=\"black\"/>\n";
    for (int second = 0; second <= kSceneLength.count() / 1000; ++second) {
        plot << "<text x=\"" << x(milliseconds(second * 1000)) << "\" y=\"" << kHeight - 10 << "\">"
             << second << " s</text>\n";
    }
    const std::map<std::string, const char*> colours{{kRampRoad, "#1f77b4"},
                                                     {kGainRoad, "#d62728"}};
    for (const auto& [road, colour] : colours) {
        std::string applied, held;
        for (const GuardSample& sample : scene.samples) {
            if (sample.road == road) {
                applied +=
                    std::to_string(x(sample.time)) + "," + std::to_string(y(sample.applied)) + " ";
                held += std::to_string(x(sample.time)) + "," + std::to_string(y(sample.held)) + " ";
            }
        }
        if (held.empty()) {
            continue;
        }
        plot << "<polyline fill=\"none\" stroke=\"" << colour
             << "\" stroke-dasharray=\"6 4\" points=\"" << applied << "\"/>\n"
             << "<polyline fill=\"none\" stroke=\"" << colour << "\" points=\"" << held
             << "\"><title>" << road << "</title></polyline>\n";
    }
    plot << "</svg>\n";
}

}  // namespace tintwell_cli

// Every export called as a careless or hostile caller would call it: null
// for every pointer, texts of awkward lengths, relative, missing and folder
// paths, odd sizes, the extremes of every integer and floating type, unknown
// modes and calls out of order. Each case calls its export twice, in a child
// process of its own, on every example machine: it may not crash, trip a
// sanitizer, leak or outlast its limit. Invalid input must be answered with
// a failure and leave the INI file and the machine's hardware record as they
// were; a value a setter accepts must read back as it was given.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "child_case.h"
#include "example_machine.h"

namespace tw_test {

namespace {

constexpr std::chrono::seconds kCaseLimit{10};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const std::vector<int> kHostileInts = {INT_MIN, -1, INT_MAX};
const std::vector<unsigned> kUnknownModes = {4u, 0x7fffffffu, UINT_MAX};
const std::vector<double> kNonFinite = {kNaN, kInf, -kInf};
const std::vector<double> kFiniteDoubles = {-0.0, DBL_TRUE_MIN, DBL_MIN, 1e30, DBL_MAX, -DBL_MAX};
const std::vector<float> kFiniteFloats = {-0.0f, FLT_TRUE_MIN, FLT_MIN, 1e30f, FLT_MAX, -FLT_MAX};
const std::vector<std::size_t> kTextLengths = {0, 259, 260, 261, 1023, 1024, 32767, 70000};

// Paths a front-end should not hand over, with the texts of awkward length.
std::vector<std::pair<std::string, std::string>> HostilePaths() {
    std::vector<std::pair<std::string, std::string>> paths = {
        {"relative", "sRGB.icc"},
        {"dot dot", ".."},
        {"climbing", "..\\..\\Windows\\System32\\sRGB.icc"},
        {"folder", "C:\\Profiles"},
        {"missing", "C:\\Profiles\\missing.icc"},
    };
    for (std::size_t length : kTextLengths) {
        std::string text = "C:\\Profiles\\";
        text.resize(std::max(length, text.size()), 'a');
        text.resize(length);
        paths.emplace_back(std::to_string(length) + " characters", text);
    }
    return paths;
}

std::string Shown(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The two calls' answers must both be among `answers` when it is given;
// with `untouched`, the INI file and the hardware record must be as before;
// `holds` is asked afterwards with the second answer.
struct SweepCase {
    std::string exportName;
    std::string label;
    std::function<int()> call;
    std::optional<std::set<int>> answers;
    bool untouched = false;
    std::function<bool(int)> holds = {};
    std::function<void()> before = {};
};

SweepCase Refused(std::string name, std::string label, std::function<int()> call,
                  std::set<int> answers) {
    return {std::move(name), std::move(label), std::move(call), std::move(answers), true};
}

SweepCase Untouched(std::string name, std::string label, std::function<int()> call) {
    return {std::move(name), std::move(label), std::move(call), std::nullopt, true};
}

SweepCase Survives(std::string name, std::string label, std::function<int()> call) {
    return {std::move(name), std::move(label), std::move(call), std::nullopt};
}

SweepCase Holds(std::string name, std::string label, std::function<int()> call,
                std::function<bool(int)> holds) {
    return {std::move(name), std::move(label), std::move(call), std::nullopt,
            false,           std::move(holds)};
}

using IntGetter = int(int);
using IntSetter = int(int);

// Settings of whole numbers: any int is kept as given; a getter answers
// its default while nothing is stored and writes nothing.
void AddIntSettings(std::vector<SweepCase>& cases) {
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"GetTemperatureConfig", "SetTemperatureConfig"},
        {"GetTemperatureSliderConfig", "SetTemperatureSliderConfig"},
        {"GetTemperatureDefaultConfig", nullptr},
        {"GetTemperatureSliderDefaultConfig", nullptr},
        {"GetCircleIsDefault", "SetCircleIsDefault"},
        {"GetCircleIsCold", "SetCircleIsCold"},
        {"GetCircleIsWarm", "SetCircleIsWarm"},
        {"GetIsEnableEyeProtect", "SetIsEnableEyeProtect"},
        {"GetEyeProtect", "SetEyeProtect"},
        {"GetIsEnableEyeProtectDefault", nullptr},
        {"GetEyeProtectDefault", nullptr},
        {"GetBlueProtect", "SetBlueProtect"},
        {"GetBlueProtectSlider", "SetBlueProtectSlider"},
        {"GetBlueProtectDefault", nullptr},
        {"GetBlueProtectSliderDefault", nullptr},
        {"GetIsEnableWhitePoint", "SetIsEnableWhitePoint"},
        {"GetIsFirstAdjust", "SetIsFirstAdjust"},
        {"GetCurrentDpInOutMode", "SetCurrentDpInOutMode"},
        {"GetCurrentColorFieldMode", "SetGetCurrentColorFieldMode"},
        {"GetIsColorFieldFirstDefaultAdjust", "SetIsColorFieldFirstDefaultAdjust"},
        {"GetResetColorFieldMode", "SetResetColorFieldMode"},
        {"GetColorFieldSetType", "SetColorFieldSetType"},
        {"GetIsNatureColor", "SetIsNatureColor"},
        {"GetMonitorId", "SetMonitorId"},
        {"GetIsInitAmbientCct", "SetIsInitAmbientCct"},
    };
    for (const auto& [getName, setName] : pairs) {
        const std::string getter = getName;
        for (int value : kHostileInts) {
            cases.push_back(Holds(
                getter, "default " + std::to_string(value),
                [getter, value] { return Export<IntGetter>(getter.c_str())(value); },
                [](int) { return ExportTest::ReadIniOrEmpty().empty(); }));
            if (setName == nullptr) {
                continue;
            }
            const std::string setter = setName;
            cases.push_back(Holds(
                setter, std::to_string(value),
                [setter, value] { return Export<IntSetter>(setter.c_str())(value); },
                [getter, value](int result) {
                    const int read = Export<IntGetter>(getter.c_str())(value ^ 1);
                    return result == 0 ? read == value : result == -1 && read == (value ^ 1);
                }));
        }
    }
}

bool SameNumber(double read, double given) {
    return read == given || (std::isnan(read) && std::isnan(given));
}

// Settings of fractions, as doubles or floats: a non-finite value is
// refused and nothing is written; any finite one reads back exactly; a
// getter answers any default, also a non-finite one, while nothing is
// stored.
template <typename Number>
void AddNumberSetting(std::vector<SweepCase>& cases, const std::string& getter,
                      const std::string& setter, const std::vector<Number>& finite) {
    using Getter = Number(Number);
    using Setter = int(Number);
    for (double value : kNonFinite) {
        const auto number = static_cast<Number>(value);
        cases.push_back(Refused(setter, Shown(value),
                                [setter, number] { return Export<Setter>(setter.c_str())(number); },
                                {-1}));
        cases.push_back(Holds(
            getter, "default " + Shown(value),
            [getter, number] {
                return SameNumber(Export<Getter>(getter.c_str())(number), number) ? 0 : 1;
            },
            [](int) { return ExportTest::ReadIniOrEmpty().empty(); }));
    }
    for (Number number : finite) {
        cases.push_back(Holds(
            setter, Shown(number),
            [setter, number] { return Export<Setter>(setter.c_str())(number); },
            [getter, number](int result) {
                const Number read = Export<Getter>(getter.c_str())(Number(0.5));
                return result == 0 ? read == number : result == -1 && read == Number(0.5);
            }));
    }
}

// A stored text read into buffers of every size: null and sizes that
// cannot take the text and its end are refused, the buffer as it was; no
// size writes past the text.
void AddStoredTexts(std::vector<SweepCase>& cases, const std::string& getter,
                    const std::string& key) {
    using TextGetter = int(char*, int);
    constexpr std::size_t kGuarded = 64;
    const std::string stored = "0.25";
    const auto store = [key, stored] {
        ExportTest::WriteIni("[CIRCLE]\n" + key + "=" + stored + "\n");
    };
    const auto read = [getter, stored](std::size_t bufferSize, int size) {
        std::vector<char> buffer(bufferSize, 'x');
        const int result = Export<TextGetter>(getter.c_str())(buffer.data(), size);
        const std::size_t kept = result == 0 ? stored.size() + 1 : 0;
        const bool asRead = result != 0 || std::string(buffer.data()) == stored;
        const bool beyond = static_cast<std::size_t>(std::count(buffer.begin() + kept, buffer.end(),
                                                                'x')) == buffer.size() - kept;
        return asRead && beyond ? result : 1;
    };
    const int fits = static_cast<int>(stored.size()) + 1;
    for (int size : {0, -1, INT_MIN, 1, fits - 1}) {
        SweepCase refused = Refused(getter, "size " + std::to_string(size),
                                    [read, size] { return read(kGuarded, size); }, {-1});
        refused.before = store;
        cases.push_back(std::move(refused));
    }
    SweepCase null =
        Refused(getter, "null buffer",
                [getter] { return Export<TextGetter>(getter.c_str())(nullptr, kGuarded); }, {-1});
    null.before = store;
    cases.push_back(std::move(null));
    const std::vector<std::pair<std::string, std::size_t>> taken = {{"its size", fits},
                                                                    {"1 MiB", 1 << 20}};
    for (const auto& [label, size] : taken) {
        SweepCase reading = Survives(getter, "size " + label,
                                     [read, size] { return read(size, static_cast<int>(size)); });
        reading.answers = std::set<int>{0};
        reading.before = store;
        cases.push_back(std::move(reading));
    }
}

void AddFractionSettings(std::vector<SweepCase>& cases) {
    for (const char* name : {"CircleAngle", "CircleRadiusScale", "CircleR", "CircleG", "CircleB"}) {
        AddNumberSetting<double>(cases, std::string("Get") + name, std::string("Set") + name,
                                 kFiniteDoubles);
        const std::string key = std::string(name).substr(std::strlen("Circle"));
        AddStoredTexts(cases, "GetCircleStr" + key, key);
    }
    for (const char* name : {"WhitePointR", "WhitePointG", "WhitePointB", "SensorColor",
                             "SensorLight", "SensorR", "SensorG", "SensorB"}) {
        AddNumberSetting<float>(cases, std::string("Get") + name, std::string("Set") + name,
                                kFiniteFloats);
    }
}

using Road = int(float, float, float, unsigned, double);

// The colour temperature roads: a non-finite gain or ratio is refused with
// the road's failure result (the desktop road answers 0 and drops it);
// negative, huge and tiny gains and any level may be answered either way.
void AddRoads(std::vector<SweepCase>& cases) {
    const std::vector<std::pair<const char*, int>> roads = {
        {"SetTemperatureForIntel", -101},
        {"SetTemperatureForNvidia", -1},
        {"SetTemperatureForAMD", -1},
        {"SetTemperatureForDesktopComputer", 0}};
    for (const auto& [roadName, failure] : roads) {
        const std::string road = roadName;
        for (double value : kNonFinite) {
            const auto f = static_cast<float>(value);
            cases.push_back(Refused(road, "red " + Shown(value),
                                    [road, f] { return Export<Road>(road.c_str())(f, 1, 1, 0, 1); },
                                    {failure}));
            cases.push_back(Refused(road, "blue " + Shown(value),
                                    [road, f] { return Export<Road>(road.c_str())(1, 1, f, 0, 1); },
                                    {failure}));
            cases.push_back(
                Refused(road, "ratio " + Shown(value),
                        [road, value] { return Export<Road>(road.c_str())(1, 1, 1, 0, value); },
                        {failure}));
        }
        for (float gain : {-1.0f, -0.0f, FLT_TRUE_MIN, 1e30f, FLT_MAX}) {
            cases.push_back(Survives(road, "gains " + Shown(gain), [road, gain] {
                return Export<Road>(road.c_str())(gain, gain, gain, 0, 1);
            }));
        }
        for (unsigned level : {0x7fffffffu, UINT_MAX}) {
            cases.push_back(Survives(road, "level " + std::to_string(level), [road, level] {
                return Export<Road>(road.c_str())(0.9f, 0.8f, 0.7f, level, 1e30);
            }));
        }
    }
    for (const char* name : {"SetTemperature", "SetColorAdjust"}) {
        const std::string hal = name;
        for (int value : kHostileInts) {
            cases.push_back(Survives(hal, std::to_string(value), [hal, value] {
                return Export<int(int, int)>(hal.c_str())(value, value);
            }));
        }
    }
    for (bool enable : {true, false}) {
        cases.push_back(Survives("SetColorEnhance", enable ? "on" : "off",
                                 [enable] { return TW(SetColorEnhance)(enable); }));
    }
}

int Void(const std::function<void()>& call) {
    call();
    return 0;
}

// The library's frame, logging, detection and port status.
void AddFrame(std::vector<SweepCase>& cases) {
    cases.push_back(
        Survives("EnterColorObject", "twice", [] { return Void(TW(EnterColorObject)); }));
    cases.push_back(
        Untouched("ExitColorObject", "before entering", [] { return Void(TW(ExitColorObject)); }));
    cases.push_back(Holds(
        "StopLogger", "then a line", [] { return Void(TW(StopLogger)); },
        [](int) { return TW(LcdLogMessage)(1, L"after the stop") == 0; }));
    for (int level : kHostileInts) {
        cases.push_back(Survives("LcdLogMessage", "level " + std::to_string(level),
                                 [level] { return TW(LcdLogMessage)(level, L"level"); }));
    }
    cases.push_back(
        Survives("LcdLogMessage", "null text", [] { return TW(LcdLogMessage)(1, nullptr); }));
    for (std::size_t length : kTextLengths) {
        cases.push_back(Survives("LcdLogMessage", std::to_string(length) + " characters", [length] {
            const std::wstring text(length, L'\u00e9');
            return TW(LcdLogMessage)(1, text.c_str());
        }));
    }
    for (const char* name :
         {"GetDisplayType", "GetPhyMonitorCount", "GetDpStatus", "SetDefaultNatureColor",
          "InitWhitePointInfo", "ResetDisplayerLut3D"}) {
        const std::string detection = name;
        cases.push_back(Survives(detection, "twice",
                                 [detection] { return Export<int()>(detection.c_str())(); }));
    }
    for (const char* name : {"IsDesktopComputer", "HaveOrvMonitor"}) {
        const std::string question = name;
        cases.push_back(Survives(question, "twice", [question] {
            return static_cast<int>(Export<bool()>(question.c_str())());
        }));
    }
    cases.push_back(Survives("InitMonitorId", "twice", [] { return Void(TW(InitMonitorId)); }));
    cases.push_back(Untouched("GetDeviceType", "null buffer", [] {
        return Void([] { TW(GetDeviceType)(nullptr); });
    }));
    cases.push_back(Survives("GetDeviceType", "its 1024 bytes", [] {
        std::vector<char> buffer(1024, 'x');
        TW(GetDeviceType)(buffer.data());
        return std::memchr(buffer.data(), '\0', buffer.size()) != nullptr ||
                       std::count(buffer.begin(), buffer.end(), 'x') == 1024
                   ? 0
                   : 1;
    }));
    for (int status : kHostileInts) {
        cases.push_back(Survives("SetDpStatus", std::to_string(status),
                                 [status] { return TW(SetDpStatus)(status); }));
    }
    cases.push_back(Survives("DataReportUpload", "null texts",
                             [] { return TW(DataReportUpload)(nullptr, nullptr); }));
    for (std::size_t length : kTextLengths) {
        cases.push_back(
            Survives("DataReportUpload", std::to_string(length) + " characters", [length] {
                const std::string text(length, 'r');
                return TW(DataReportUpload)(text.c_str(), text.c_str());
            }));
    }
}

// ADL, out of order and twice.
void AddAdl(std::vector<SweepCase>& cases) {
    cases.push_back(
        Untouched("UninitAdlGamut", "before its start", [] { return Void(TW(UninitAdlGamut)); }));
    cases.push_back(Survives("InitAdlGamut", "twice", [] { return Void(TW(InitAdlGamut)); }));
    cases.push_back(Refused("SetTemperatureForAMD", "before ADL's start",
                            [] { return TW(SetTemperatureForAMD)(0.9f, 0.8f, 0.7f, 0, 1); }, {-1}));
    cases.push_back(Refused("SetWhitePointForAmd", "before ADL's start",
                            [] { return TW(SetWhitePointForAmd)(); }, {-1}));
    cases.push_back(Refused("ResetWhitePointForAmd", "before ADL's start",
                            [] { return TW(ResetWhitePointForAmd)(); }, {-1}));
}

using Merge = int(float, float, float, double*, double*, double*);

// Nature colour: its table, its merge, its configuration and its
// subscription, out of order and with unknown types.
void AddNatureColor(std::vector<SweepCase>& cases) {
    for (double value : kNonFinite) {
        const auto f = static_cast<float>(value);
        cases.push_back(Untouched("AddCctMappingInfo", "kelvin " + Shown(value), [f] {
            return Void([f] { TW(AddCctMappingInfo)(f, 1, 1, 1); });
        }));
        cases.push_back(Untouched("AddCctMappingInfo", "green " + Shown(value), [value] {
            return Void([value] { TW(AddCctMappingInfo)(5000, 1, value, 1); });
        }));
        cases.push_back(Refused("MergeCircleCtAndSensorCt", "red " + Shown(value),
                                [f] {
                                    double r = 0, g = 0, b = 0;
                                    return TW(MergeCircleCtAndSensorCt)(f, 1, 1, &r, &g, &b);
                                },
                                {-1}));
        cases.push_back(Untouched("SetNatureColorAll", "threshold " + Shown(value), [f] {
            return Void([f] { TW(SetNatureColorAll)(50, 100, 0, f, 200, 100); });
        }));
    }
    for (double value : kFiniteDoubles) {
        cases.push_back(Survives("AddCctMappingInfo", "extreme " + Shown(value), [value] {
            TW(AddCctMappingInfo)(static_cast<float>(value), value, value, value);
            return TW(SetDefaultNatureColor)() == 0 ? 0 : 1;
        }));
    }
    cases.push_back(
        Survives("ClearMappingInfo", "twice", [] { return Void(TW(ClearMappingInfo)); }));
    const std::vector<std::pair<std::string, std::function<int()>>> nulls = {
        {"null red",
         [] {
             double g, b;
             return TW(MergeCircleCtAndSensorCt)(1, 1, 1, nullptr, &g, &b);
         }},
        {"null green",
         [] {
             double r, b;
             return TW(MergeCircleCtAndSensorCt)(1, 1, 1, &r, nullptr, &b);
         }},
        {"null blue",
         [] {
             double r, g;
             return TW(MergeCircleCtAndSensorCt)(1, 1, 1, &r, &g, nullptr);
         }},
        {"all null",
         [] { return TW(MergeCircleCtAndSensorCt)(1, 1, 1, nullptr, nullptr, nullptr); }},
    };
    for (const auto& [label, call] : nulls) {
        cases.push_back(Refused("MergeCircleCtAndSensorCt", label, call, {-1}));
    }
    for (unsigned count : {0u, UINT_MAX}) {
        cases.push_back(
            Survives("SetNatureColorAll", "frames and pace " + std::to_string(count), [count] {
                TW(SetNatureColorAll)(count, count, count, 1e30f, -1, FLT_MAX);
                return TW(SetDefaultNatureColor)() == 0 ? 0 : 1;
            }));
    }
    for (unsigned type : {2u, 0x7fffffffu, UINT_MAX}) {
        cases.push_back(Refused("StartMonitorNatureColor", "type " + std::to_string(type),
                                [type] { return TW(StartMonitorNatureColor)(type); }, {-1}));
        cases.push_back(Refused("UninstallNatureColorObject", "type " + std::to_string(type),
                                [type] { return TW(UninstallNatureColorObject)(type); }, {-1}));
    }
    for (unsigned type : {0u, 1u}) {
        cases.push_back(Survives("StartMonitorNatureColor",
                                 "type " + std::to_string(type) + " twice",
                                 [type] { return TW(StartMonitorNatureColor)(type); }));
        cases.push_back(Untouched("UninstallNatureColorObject",
                                  "type " + std::to_string(type) + " before its start",
                                  [type] { return TW(UninstallNatureColorObject)(type); }));
    }
    for (unsigned status : {0u, UINT_MAX}) {
        cases.push_back(Untouched("SetNatureColorStatus", std::to_string(status), [status] {
            return Void([status] { TW(SetNatureColorStatus)(status); });
        }));
    }
}

// The 3D tables and the gamut switch: null, hostile paths and unknown modes.
void AddColorField(std::vector<SweepCase>& cases) {
    for (const char* name : {"SetColorFieldGoldenFilePath", "SetColorFieldTempLutFilePath"}) {
        const std::string setter = name;
        cases.push_back(
            Refused(setter, "null",
                    [setter] { return Export<int(const char*)>(setter.c_str())(nullptr); }, {-1}));
        for (const auto& [label, path] : HostilePaths()) {
            cases.push_back(Survives(setter, label + ", then a refresh", [setter, path] {
                Export<int(const char*)>(setter.c_str())(path.c_str());
                return TW(IsLcdChanged)(1, 1);
            }));
        }
    }
    for (unsigned mode : kUnknownModes) {
        cases.push_back(Refused(
            "SetColorFieldMode", "mode " + std::to_string(mode),
            [mode] { return TW(SetColorFieldMode)(mode, kExampleProfile, kExampleDigest); }, {1}));
        cases.push_back(Refused("SetDisplayerColorField", "mode " + std::to_string(mode),
                                [mode] { return TW(SetDisplayerColorField)(mode, 0); }, {3}));
        cases.push_back(Survives("IsLcdChanged", "mode " + std::to_string(mode),
                                 [mode] { return TW(IsLcdChanged)(mode, 1); }));
        cases.push_back(Refused("IsLcdChanged", "set type " + std::to_string(mode),
                                [mode] { return TW(IsLcdChanged)(1, mode); }, {-1}));
    }
    cases.push_back(Refused("SetDisplayerColorField", "set type 2",
                            [] { return TW(SetDisplayerColorField)(1, 2); }, {3}));
    cases.push_back(Refused("SetColorFieldMode", "null profile",
                            [] { return TW(SetColorFieldMode)(1, nullptr, kExampleDigest); }, {1}));
    cases.push_back(Refused("SetColorFieldMode", "null digest",
                            [] { return TW(SetColorFieldMode)(1, kExampleProfile, nullptr); },
                            {1}));
    cases.push_back(Refused("SetColorFieldMode", "all null",
                            [] { return TW(SetColorFieldMode)(1, nullptr, nullptr); }, {1}));
    for (const auto& [label, path] : HostilePaths()) {
        cases.push_back(Refused(
            "SetColorFieldMode", "profile " + label,
            [path] { return TW(SetColorFieldMode)(2, path.c_str(), kExampleDigest); }, {1, 2}));
        cases.push_back(Refused(
            "SetColorFieldMode", "digest " + label,
            [path] { return TW(SetColorFieldMode)(2, kExampleProfile, path.c_str()); }, {1, 2}));
    }
    cases.push_back(Refused("GetCurrentIccFileName", "null buffer",
                            [] { return TW(GetCurrentIccFileName)(nullptr); }, {-1}));
    cases.push_back(Survives("GetCurrentIccFileName", "its 1024 bytes", [] {
        std::vector<char> buffer(1024, 'x');
        const int result = TW(GetCurrentIccFileName)(buffer.data());
        return result != 0 || std::memchr(buffer.data(), '\0', buffer.size()) != nullptr ? result
                                                                                         : 1;
    }));
}

// The factory white point: the golden record as any text, and the steps out
// of order.
void AddWhitePoint(std::vector<SweepCase>& cases) {
    cases.push_back(Refused("SetWhitePointGoldenData", "null",
                            [] { return TW(SetWhitePointGoldenData)(nullptr); }, {-1}));
    for (std::size_t length : kTextLengths) {
        cases.push_back(
            Survives("SetWhitePointGoldenData", std::to_string(length) + " characters", [length] {
                const std::string text(length, '9');
                TW(SetWhitePointGoldenData)(text.c_str());
                return TW(InitWhitePointInfo)();
            }));
    }
    cases.push_back(Survives("SetWhitePointGoldenData", "numbers beyond any range", [] {
        TW(SetWhitePointGoldenData)("nan,inf,-inf,1e400,-1e400,4294967296,-0,0x10");
        return TW(InitWhitePointInfo)();
    }));
    cases.push_back(Refused("SetWhitePointForIntel", "before the record is read",
                            [] { return TW(SetWhitePointForIntel)(); }, {-1}));
    cases.push_back(Survives("ResetWhitePointForIntel", "before the record is read",
                             [] { return TW(ResetWhitePointForIntel)(); }));
}

// Reading back, restoring with nothing applied, and the guard's bounds.
void AddColorState(std::vector<SweepCase>& cases) {
    cases.push_back(
        Refused("VerifyColorState", "null", [] { return TW(VerifyColorState)(nullptr); }, {-1}));
    cases.push_back(Untouched("VerifyColorState", "nothing applied", [] {
        unsigned drifted = 1;
        return TW(VerifyColorState)(&drifted) == 0 && drifted == 0 ? 0 : 1;
    }));
    cases.push_back(Untouched("RestoreColorState", "nothing applied or stored",
                              [] { return TW(RestoreColorState)(); }));
    for (unsigned interval : {0u, 99u, 3'600'001u, UINT_MAX}) {
        cases.push_back(Refused("StartColorStateGuard", "interval " + std::to_string(interval),
                                [interval] { return TW(StartColorStateGuard)(interval); }, {-1}));
    }
    cases.push_back(Holds(
        "StartColorStateGuard", "then a stop", [] { return TW(StartColorStateGuard)(100); },
        [](int started) { return started == 0 && TW(StopColorStateGuard)() == 0; }));
    cases.push_back(Refused("StopColorStateGuard", "none running",
                            [] { return TW(StopColorStateGuard)(); }, {-1}));
}

std::vector<SweepCase> SweepCases() {
    std::vector<SweepCase> cases;
    AddColorState(cases);
    AddIntSettings(cases);
    AddFractionSettings(cases);
    AddRoads(cases);
    AddFrame(cases);
    AddAdl(cases);
    AddNatureColor(cases);
    AddColorField(cases);
    AddWhitePoint(cases);
    return cases;
}

std::string RunCase(const std::string& machineFile, const SweepCase& sweep) {
    InstallExampleMachine(machineFile);
    if (sweep.before) {
        sweep.before();
    }
    const std::string ini = ExportTest::ReadIniOrEmpty();
    const std::string record = HardwareRecord();
    std::string report;
    int result = 0;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        result = sweep.call();
        if (sweep.answers && sweep.answers->count(result) == 0) {
            report +=
                "call " + std::to_string(attempt) + " answered " + std::to_string(result) + "; ";
        }
    }
    if (sweep.untouched && ExportTest::ReadIniOrEmpty() != ini) {
        report += "the INI file changed to: " + ExportTest::ReadIniOrEmpty() + "; ";
    }
    if (sweep.untouched && HardwareRecord() != record) {
        report += "the hardware record changed from " + record + " to " + HardwareRecord() + "; ";
    }
    if (sweep.holds && !sweep.holds(result)) {
        report += "what it left does not hold; ";
    }
    return report;
}

std::set<std::string> ExportNames() {
    return {
#define TW_EXPORT(name) #name,
#include "frame/export_list.h"
#undef TW_EXPORT
    };
}

class ExportSweep : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST(ExportSweepCases, EveryExportHasCases) {
    std::set<std::string> swept;
    for (const SweepCase& sweep : SweepCases()) {
        swept.insert(sweep.exportName);
    }
    for (const std::string& name : ExportNames()) {
        EXPECT_EQ(swept.count(name), 1u) << name << " has no sweep case";
    }
    for (const std::string& name : swept) {
        EXPECT_EQ(ExportNames().count(name), 1u) << name << " is not an export";
    }
}

TEST_P(ExportSweep, HostileCallsAreSurvivedAndInvalidOnesRefused) {
    const std::vector<SweepCase> cases = SweepCases();
    for (const SweepCase& sweep : cases) {
        const ChildOutcome outcome =
            RunInChild([&] { return RunCase(GetParam(), sweep); }, kCaseLimit);
        EXPECT_TRUE(outcome.Passed())
            << sweep.exportName << " (" << sweep.label << "): " << outcome.Describe();
    }
    std::cout << GetParam() << ": " << cases.size() << " cases\n";
}

INSTANTIATE_TEST_SUITE_P(ExampleMachines, ExportSweep, ::testing::ValuesIn(ExampleMachineFiles()),
                         ExampleMachineName);

}  // namespace tw_test

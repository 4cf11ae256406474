// Numbers a careless or hostile caller passes: a value that is not finite is
// refused with the export's failure result and a line naming the argument,
// and reaches neither the INI file nor any hardware; extreme finite values
// are written out in full wherever the library formats them.
#include <cfloat>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "test_platform.h"

namespace tw_test {

namespace {

constexpr const char* kStoredSettings =
    "[CIRCLE]\r\nR=0.5\r\n[NATURECOLOR]\r\nSensorColor=5000\r\n";

struct NonFiniteCase {
    const char* name;
    std::function<int(double)> call;
    int refused;           // the export's failure result
    const char* argument;  // as the refusal line names it
};

std::vector<NonFiniteCase> NonFiniteCases() {
    double out[3] = {};
    const auto f = [](double value) { return static_cast<float>(value); };
    return {
        {"SetCircleR", [](double v) { return TW(SetCircleR)(v); }, -1, "R"},
        {"SetCircleG", [](double v) { return TW(SetCircleG)(v); }, -1, "G"},
        {"SetCircleB", [](double v) { return TW(SetCircleB)(v); }, -1, "B"},
        {"SetCircleAngle", [](double v) { return TW(SetCircleAngle)(v); }, -1, "Angle"},
        {"SetCircleRadiusScale", [](double v) { return TW(SetCircleRadiusScale)(v); }, -1,
         "RadiusScale"},
        {"SetSensorR", [f](double v) { return TW(SetSensorR)(f(v)); }, -1, "SensorR"},
        {"SetSensorG", [f](double v) { return TW(SetSensorG)(f(v)); }, -1, "SensorG"},
        {"SetSensorB", [f](double v) { return TW(SetSensorB)(f(v)); }, -1, "SensorB"},
        {"SetSensorColor", [f](double v) { return TW(SetSensorColor)(f(v)); }, -1, "SensorColor"},
        {"SetSensorLight", [f](double v) { return TW(SetSensorLight)(f(v)); }, -1, "SensorLight"},
        {"SetWhitePointR", [f](double v) { return TW(SetWhitePointR)(f(v)); }, -1, "WhitePointR"},
        {"SetWhitePointG", [f](double v) { return TW(SetWhitePointG)(f(v)); }, -1, "WhitePointG"},
        {"SetWhitePointB", [f](double v) { return TW(SetWhitePointB)(f(v)); }, -1, "WhitePointB"},
        {"IntelRed", [f](double v) { return TW(SetTemperatureForIntel)(f(v), 1, 1, 0, 1); }, -101,
         "r"},
        {"IntelRatio", [](double v) { return TW(SetTemperatureForIntel)(1, 1, 1, 255, v); }, -101,
         "blueProtectRatio"},
        {"NvidiaGreen", [f](double v) { return TW(SetTemperatureForNvidia)(1, f(v), 1, 0, 1); }, -1,
         "g"},
        {"NvidiaRatio", [](double v) { return TW(SetTemperatureForNvidia)(1, 1, 1, 255, v); }, -1,
         "blueProtectRatio"},
        {"AmdBlue", [f](double v) { return TW(SetTemperatureForAMD)(1, 1, f(v), 0, 1); }, -1, "b"},
        {"AmdRatio", [](double v) { return TW(SetTemperatureForAMD)(1, 1, 1, 255, v); }, -1,
         "blueProtectRatio"},
        // The desktop road answers 0 whatever happens; the request is dropped.
        {"DesktopBlue",
         [f](double v) { return TW(SetTemperatureForDesktopComputer)(1, 1, f(v), 0, 1); }, 0, "b"},
        {"DesktopRatio",
         [](double v) { return TW(SetTemperatureForDesktopComputer)(1, 1, 1, 255, v); }, 0,
         "blueProtectRatio"},
        {"MergeRed",
         [f, out](double v) mutable {
             return TW(MergeCircleCtAndSensorCt)(f(v), 1, 1, &out[0], &out[1], &out[2]);
         },
         -1, "r"},
        {"CctMappingRow",
         [](double v) {
             TW(AddCctMappingInfo)(5000, 1, v, 1);
             return -1;
         },
         -1, "g"},
        {"NatureColorAll",
         [f](double v) {
             TW(SetNatureColorAll)(50, 100, 0, 100, f(v), 50);
             return -1;
         },
         -1, "ctLowLuma"},
    };
}

}  // namespace

TEST_F(ExportTest, NonFiniteArgumentsAreRefusedAndReachNeitherTheSettingsNorTheHardware) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (const NonFiniteCase& c : NonFiniteCases()) {
        for (double value : values) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(value));
            WriteIni(kStoredSettings);
            const std::string hardware = HardwareRecord();
            const std::size_t records = LogRecords().size();
            EXPECT_EQ(c.call(value), c.refused);
            EXPECT_TRUE(LoggedContaining(
                3, std::string("Refused: ") + c.argument + " is not a finite number", records));
            EXPECT_EQ(ReadIniOrEmpty(), kStoredSettings);
            EXPECT_EQ(HardwareRecord(), hardware);
        }
    }
    TW(ClearMappingInfo)();
}

// The nature colour table is dumped with "%f": every finite double has up to
// 309 digits before the point.
TEST_F(ExportTest, ExtremeNumbersAreWrittenInFullInTheTableDump) {
    struct Extreme {
        double value;
        std::string text;
    };
    const std::string largestDouble =
        "1797693134862315708145274237317043567980705675258449965989174768031572607800285387605"
        "8955863276687817154045895351438246423432132688946418276846754670353751698604991057655"
        "1282076245490090389328944075868508455133942304583236903222948165808559332123348274797"
        "826204144723168738177180919299881250404026184124858368.000000";
    const std::vector<Extreme> extremes = {
        {DBL_MAX, largestDouble},
        {-DBL_MAX, "-" + largestDouble},
        {FLT_MAX, "340282346638528859811704183484516925440.000000"},
        {-FLT_MAX, "-340282346638528859811704183484516925440.000000"},
        {std::numeric_limits<double>::denorm_min(), "0.000000"},
        {-std::numeric_limits<double>::denorm_min(), "-0.000000"},
        {1e30, "1000000000000000019884624838656.000000"},
    };
    for (const Extreme& extreme : extremes) {
        SCOPED_TRACE(extreme.text);
        const std::size_t records = LogRecords().size();
        TW(AddCctMappingInfo)(FLT_MAX, extreme.value, extreme.value, extreme.value);
        EXPECT_TRUE(
            LoggedContaining(0,
                             "cct, r, g, b = 340282346638528859811704183484516925440.000000, " +
                                 extreme.text + ", " + extreme.text + ", " + extreme.text,
                             records));
        TW(ClearMappingInfo)();
    }
}

}  // namespace tw_test

// The files of a nature scene: the CCT mapping table and the script of
// readings it reads, and the frames it writes. A malformed file throws
// SceneInputError naming the line, so the command can answer with the usage
// code.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tintwell_cli {

class SceneInputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct TableRow {
    float cct = 0.0f;
    double r = 1.0;
    double g = 1.0;
    double b = 1.0;
};

struct Reading {
    float lux = 0.0f;
    float kelvin = 0.0f;
};

struct ScriptEntry {
    long long timeMs = 0;
    Reading reading;
};

// One frame as it reached the hardware: its time on the machine clock since
// the scene started, the CCT it stored and the three channel gains.
struct FrameRow {
    long long timeMs = 0;
    float cct = 0.0f;
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// `cct,r,g,b` rows in ascending CCT, a header line optional.
std::vector<TableRow> ReadTable(std::istream& in);
// Warm to neutral to cool, for a scene that names no table.
std::vector<TableRow> DefaultTable();
// `time_ms,lux,kelvin` rows in time order, a header line optional.
std::vector<ScriptEntry> ReadScript(std::istream& in);
// `LUX:KELVIN` as the command line gives it.
Reading ParseReading(std::string_view text);

void WriteFramesCsv(std::ostream& out, const std::vector<FrameRow>& frames);
// The same rows as a JSON array of {"timeMs", "cct", "r", "g", "b"}.
void WriteFramesJson(std::ostream& out, const std::vector<FrameRow>& frames);

}  // namespace tintwell_cli

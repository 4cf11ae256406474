#include "scene_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>

namespace tintwell_cli {

namespace {

constexpr char kSeparator = ',';
constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kTableHeader = "cct,r,g,b";
constexpr std::string_view kScriptHeader = "time_ms,lux,kelvin";
constexpr std::string_view kFramesHeader = "time_ms,cct,r,g,b";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto end = line.find(kSeparator, start);
        fields.push_back(Trim(line.substr(start, end - start)));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}

[[noreturn]] void Fail(std::size_t lineNumber, const std::string& reason) {
    throw SceneInputError("line " + std::to_string(lineNumber) + ": " + reason);
}

// The header names the columns in their order; spaces around them do not count.
bool IsHeader(std::string_view line, std::string_view header) {
    const auto fields = SplitFields(line);
    const auto names = SplitFields(header);
    return std::ranges::equal(fields, names, [](std::string_view a, std::string_view b) {
        return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == y; });
    });
}

// The data lines of a CSV file with `header`'s columns, with their line
// numbers: blank lines are skipped, the header may open the file.
template <typename Row, typename ParseRow>
std::vector<Row> ReadRows(std::istream& in, std::string_view header, ParseRow parse) {
    std::vector<Row> rows;
    const std::size_t columns = SplitFields(header).size();
    std::size_t lineNumber = 0;
    bool first = true;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (Trim(line).empty()) {
            continue;
        }
        if (std::exchange(first, false) && IsHeader(line, header)) {
            continue;
        }
        const auto fields = SplitFields(line);
        if (fields.size() != columns) {
            Fail(lineNumber,
                 "expected " + std::to_string(columns) + " fields (" + std::string(header) + ")");
        }
        rows.push_back(parse(fields, lineNumber));
    }
    if (in.bad()) {
        throw SceneInputError("cannot read the file");
    }
    return rows;
}

template <typename T>
T Field(const std::vector<std::string_view>& fields, std::size_t index, std::string_view name,
        std::size_t lineNumber) {
    const auto value = ParseNumber<T>(fields[index]);
    if (!value) {
        Fail(lineNumber,
             std::string(name) + " '" + std::string(fields[index]) + "' is not a number");
    }
    return *value;
}

void RequireAtLeast(double value, double least, std::string_view name, std::size_t lineNumber) {
    if (value < least) {
        Fail(lineNumber, std::string(name) + " must be at least " + std::to_string(least));
    }
}

TableRow ParseTableRow(const std::vector<std::string_view>& fields, std::size_t lineNumber) {
    const TableRow row{
        Field<float>(fields, 0, "cct", lineNumber), Field<double>(fields, 1, "r", lineNumber),
        Field<double>(fields, 2, "g", lineNumber), Field<double>(fields, 3, "b", lineNumber)};
    if (row.cct <= 0.0f) {
        Fail(lineNumber, "cct must be above 0 K");
    }
    for (const double gain : {row.r, row.g, row.b}) {
        RequireAtLeast(gain, 0.0, "a gain", lineNumber);
    }
    return row;
}

ScriptEntry ParseScriptRow(const std::vector<std::string_view>& fields, std::size_t lineNumber) {
    const ScriptEntry entry{Field<long long>(fields, 0, "time_ms", lineNumber),
                            {Field<float>(fields, 1, "lux", lineNumber),
                             Field<float>(fields, 2, "kelvin", lineNumber)}};
    RequireAtLeast(static_cast<double>(entry.timeMs), 0.0, "time_ms", lineNumber);
    RequireAtLeast(entry.reading.lux, 0.0, "lux", lineNumber);
    if (entry.reading.kelvin <= 0.0f) {
        Fail(lineNumber, "kelvin must be above 0");
    }
    return entry;
}

// Shortest text that reads back as the same value.
template <typename T>
std::string Format(T value) {
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

}  // namespace

std::vector<TableRow> ReadTable(std::istream& in) {
    auto rows = ReadRows<TableRow>(in, kTableHeader, ParseTableRow);
    if (rows.empty()) {
        throw SceneInputError("the table has no rows");
    }
    const auto descending = std::ranges::adjacent_find(
        rows, [](const TableRow& a, const TableRow& b) { return b.cct < a.cct; });
    if (descending != rows.end()) {
        throw SceneInputError("rows must be in ascending CCT; " + Format(descending[1].cct) +
                              " follows " + Format(descending->cct));
    }
    return rows;
}

std::vector<TableRow> DefaultTable() {
    return {{2700.0f, 1.0, 0.80, 0.60}, {3000.0f, 1.0, 0.84, 0.68}, {3500.0f, 1.0, 0.88, 0.77},
            {4000.0f, 1.0, 0.92, 0.84}, {4500.0f, 1.0, 0.95, 0.90}, {5000.0f, 1.0, 0.97, 0.95},
            {5500.0f, 1.0, 0.99, 0.98}, {6000.0f, 0.98, 0.99, 1.0}, {6500.0f, 0.95, 0.97, 1.0}};
}

std::vector<ScriptEntry> ReadScript(std::istream& in) {
    auto entries = ReadRows<ScriptEntry>(in, kScriptHeader, ParseScriptRow);
    const auto backwards = std::ranges::adjacent_find(
        entries, [](const ScriptEntry& a, const ScriptEntry& b) { return b.timeMs < a.timeMs; });
    if (backwards != entries.end()) {
        throw SceneInputError("rows must be in time order; " + Format(backwards[1].timeMs) +
                              " ms follows " + Format(backwards->timeMs) + " ms");
    }
    return entries;
}

Reading ParseReading(std::string_view text) {
    const auto colon = text.find(':');
    const auto lux = ParseNumber<float>(text.substr(0, colon));
    const auto kelvin =
        colon == std::string_view::npos ? std::nullopt : ParseNumber<float>(text.substr(colon + 1));
    if (!lux || !kelvin || *lux < 0.0f || *kelvin <= 0.0f) {
        throw SceneInputError("reading '" + std::string(text) +
                              "' is not LUX:KELVIN with lux at least 0 and kelvin above 0");
    }
    return {*lux, *kelvin};
}

void WriteFramesCsv(std::ostream& out, const std::vector<FrameRow>& frames) {
    out << kFramesHeader << "\n";
    for (const FrameRow& frame : frames) {
        out << frame.timeMs << kSeparator << Format(frame.cct) << kSeparator << Format(frame.r)
            << kSeparator << Format(frame.g) << kSeparator << Format(frame.b) << "\n";
    }
}

void WriteFramesJson(std::ostream& out, const std::vector<FrameRow>& frames) {
    out << "[";
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const FrameRow& frame = frames[n];
        out << (n == 0 ? "" : ", ") << "{\"timeMs\": " << frame.timeMs
            << ", \"cct\": " << Format(frame.cct) << ", \"r\": " << Format(frame.r)
            << ", \"g\": " << Format(frame.g) << ", \"b\": " << Format(frame.b) << "}";
    }
    out << "]";
}

}  // namespace tintwell_cli

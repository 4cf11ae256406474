#include "svg_plot.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

namespace tintwell_cli {

namespace {

constexpr double kWidth = 900.0;
constexpr double kHeight = 500.0;
constexpr double kLeft = 90.0;
constexpr double kRight = kWidth - 90.0;
constexpr double kTop = 70.0;
constexpr double kBottom = kHeight - 60.0;
constexpr double kTickLength = 6.0;
constexpr int kTicksWanted = 6;
constexpr double kMillisecondsPerSecond = 1000.0;
// A flat series still gets an axis this wide around its value.
constexpr double kFlatCctSpan = 100.0;
constexpr double kFlatGainSpan = 0.1;

struct Series {
    const char* name;
    const char* colour;
    std::function<double(const FrameRow&)> value;
    bool onGainAxis;
    // Dashed, so that the CCT stays visible where a gain's line covers it.
    const char* dashes;
};

const std::vector<Series>& AllSeries() {
    static const std::vector<Series> series = {
        {"CCT (K)", "#222222", [](const FrameRow& f) { return double{f.cct}; }, false, "8 4"},
        {"red gain", "#d62728", [](const FrameRow& f) { return f.r; }, true, "none"},
        {"green gain", "#2ca02c", [](const FrameRow& f) { return f.g; }, true, "none"},
        {"blue gain", "#1f77b4", [](const FrameRow& f) { return f.b; }, true, "none"},
    };
    return series;
}

// A linear map from values to pixels, with ticks at round steps that cover
// the values.
class Axis {
  public:
    Axis(double low, double high, double flatSpan, double pixelLow, double pixelHigh)
        : pixelLow_(pixelLow), pixelHigh_(pixelHigh) {
        if (high - low < flatSpan / 2) {
            low -= flatSpan / 2;
            high += flatSpan / 2;
        }
        step_ = NiceStep((high - low) / kTicksWanted);
        low_ = std::floor(low / step_) * step_;
        high_ = std::ceil(high / step_) * step_;
    }

    double ToPixel(double value) const {
        return pixelLow_ + (value - low_) / (high_ - low_) * (pixelHigh_ - pixelLow_);
    }
    std::vector<double> Ticks() const {
        std::vector<double> ticks;
        const auto count = static_cast<int>(std::lround((high_ - low_) / step_));
        for (int i = 0; i <= count; ++i) {
            ticks.push_back(low_ + i * step_);
        }
        return ticks;
    }
    std::string Label(double value) const {
        const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step_))));
        std::ostringstream text;
        text << std::fixed << std::setprecision(decimals) << value;
        return text.str();
    }

  private:
    // 1, 2 or 5 times a power of ten.
    static double NiceStep(double rough) {
        const double power = std::pow(10.0, std::floor(std::log10(rough)));
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (rough <= factor * power) {
                return factor * power;
            }
        }
        return 10.0 * power;
    }

    double pixelLow_;
    double pixelHigh_;
    double low_ = 0.0;
    double high_ = 1.0;
    double step_ = 1.0;
};

struct Axes {
    Axis time;
    Axis cct;
    Axis gain;
};

// The axis that covers every value the series on it take.
Axis ValueAxis(const std::vector<FrameRow>& frames, bool gainAxis, double flatSpan) {
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const Series& series : AllSeries()) {
        if (series.onGainAxis != gainAxis) {
            continue;
        }
        for (const FrameRow& frame : frames) {
            low = std::min(low, series.value(frame));
            high = std::max(high, series.value(frame));
        }
    }
    return Axis(low, high, flatSpan, kBottom, kTop);
}

Axes MakeAxes(const std::vector<FrameRow>& frames) {
    return {Axis(0.0, frames.back().timeMs / kMillisecondsPerSecond, 1.0, kLeft, kRight),
            ValueAxis(frames, false, kFlatCctSpan), ValueAxis(frames, true, kFlatGainSpan)};
}

void Line(std::ostream& out, double x1, double y1, double x2, double y2) {
    out << "<line x1=\"" << x1 << "\" y1=\"" << y1 << "\" x2=\"" << x2 << "\" y2=\"" << y2
        << "\" stroke=\"#555555\"/>\n";
}

void Text(std::ostream& out, double x, double y, const char* anchor, const std::string& text,
          const std::string& extra = {}) {
    out << "<text x=\"" << x << "\" y=\"" << y << "\" text-anchor=\"" << anchor << "\"" << extra
        << ">" << text << "</text>\n";
}

void DrawTimeAxis(std::ostream& out, const Axis& axis) {
    Line(out, kLeft, kBottom, kRight, kBottom);
    for (const double tick : axis.Ticks()) {
        const double x = axis.ToPixel(tick);
        Line(out, x, kBottom, x, kBottom + kTickLength);
        Text(out, x, kBottom + 20, "middle", axis.Label(tick));
    }
    Text(out, (kLeft + kRight) / 2, kHeight - 15, "middle", "time on the machine clock (s)");
}

void DrawValueAxis(std::ostream& out, const Axis& axis, double x, double direction,
                   const char* title) {
    Line(out, x, kTop, x, kBottom);
    const char* anchor = direction < 0 ? "end" : "start";
    for (const double tick : axis.Ticks()) {
        const double y = axis.ToPixel(tick);
        Line(out, x, y, x + direction * kTickLength, y);
        Text(out, x + direction * (kTickLength + 4), y + 4, anchor, axis.Label(tick));
    }
    const double titleX = x + direction * 70;
    const double titleY = (kTop + kBottom) / 2;
    std::ostringstream rotate;
    rotate << " transform=\"rotate(-90 " << titleX << " " << titleY << ")\"";
    Text(out, titleX, titleY, "middle", title, rotate.str());
}

void DrawSeries(std::ostream& out, const std::vector<FrameRow>& frames, const Axes& axes,
                const Series& series) {
    const Axis& values = series.onGainAxis ? axes.gain : axes.cct;
    out << "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" << series.colour
        << "\" stroke-dasharray=\"" << series.dashes << "\" points=\"";
    for (const FrameRow& frame : frames) {
        out << axes.time.ToPixel(frame.timeMs / kMillisecondsPerSecond) << ","
            << values.ToPixel(series.value(frame)) << " ";
    }
    out << "\"/>\n";
}

void DrawLegend(std::ostream& out) {
    constexpr double kEntryWidth = 150.0;
    constexpr double kSwatch = 24.0;
    double x = kLeft;
    for (const Series& series : AllSeries()) {
        out << "<line x1=\"" << x << "\" y1=\"" << kTop - 26 << "\" x2=\"" << x + kSwatch
            << "\" y2=\"" << kTop - 26 << "\" stroke-width=\"2\" stroke=\"" << series.colour
            << "\" stroke-dasharray=\"" << series.dashes << "\"/>\n";
        Text(out, x + kSwatch + 6, kTop - 22, "start", series.name);
        x += kEntryWidth;
    }
}

}  // namespace

void WriteSvgPlot(std::ostream& out, const std::vector<FrameRow>& frames) {
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
        << kHeight << "\" viewBox=\"0 0 " << kWidth << " " << kHeight
        << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    Text(out, kWidth / 2, 22, "middle", "Nature colour: CCT and gains per frame",
         " font-size=\"16\"");
    if (frames.empty()) {
        Text(out, kWidth / 2, kHeight / 2, "middle", "no frame reached the hardware");
    } else {
        const Axes axes = MakeAxes(frames);
        DrawTimeAxis(out, axes.time);
        DrawValueAxis(out, axes.cct, kLeft, -1.0, "CCT (K)");
        DrawValueAxis(out, axes.gain, kRight, 1.0, "gain");
        for (const Series& series : AllSeries()) {
            DrawSeries(out, frames, axes, series);
        }
        DrawLegend(out);
    }
    out << "</svg>\n";
}

}  // namespace tintwell_cli

// The SVG picture of embervane-compare.
#include "compare/Plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kWidth = 640, kLeft = 80, kRight = 20, kTop = 20, kPlotHeight = 280;
constexpr double kLegendTop = kTop + kPlotHeight + 55, kLegendRow = 18;
constexpr const char* kColours[] = {"#1f77b4", "#ff7f0e", "#2ca02c",
                                    "#d62728", "#9467bd", "#8c564b"};

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string XmlText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '&':
                escaped += "&amp;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about five, and no finer than
// `finest`.
double TickStep(double range, double finest) {
    const double raw = std::max(range / 5, finest);
    const double power = std::pow(10, std::floor(std::log10(raw)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (raw <= multiple * power * (1 + 1e-9)) {
            return multiple * power;
        }
    }
    return 10 * power;
}

// One end of an axis: from `low` to `high`, mapped onto [from, to] pixels.
struct Axis {
    double low, high, from, to;
    double operator()(double value) const {
        return from + (to - from) * (value - low) / (high - low);
    }
};

std::string Text(double x, double y, const char* anchor, const std::string& text,
                 const std::string& extra = "") {
    return Format("<text x=\"%.1f\" ", x) + Format("y=\"%.1f\" ", y) + "text-anchor=\"" + anchor +
           "\"" + extra + ">" + XmlText(text) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* colour) {
    return Format("<line x1=\"%.1f\" ", x1) + Format("y1=\"%.1f\" ", y1) +
           Format("x2=\"%.1f\" ", x2) + Format("y2=\"%.1f\" stroke=\"", y2) + colour + "\"/>\n";
}

}  // namespace

std::string PlotSvg(const std::vector<PlotSeries>& series, const std::string& xLabel,
                    const std::string& yLabel) {
    double xLow = INFINITY, xHigh = -INFINITY, yHigh = 0;
    bool integral = true;  // x holds whole numbers only: no tick between them
    for (const PlotSeries& s : series) {
        for (size_t i = 0; i < s.x.size(); ++i) {
            xLow = std::min(xLow, s.x[i]);
            xHigh = std::max(xHigh, s.x[i]);
            integral = integral && s.x[i] == std::floor(s.x[i]);
            yHigh = std::max({yHigh, s.y[i], s.high.empty() ? 0.0 : s.high[i]});
        }
    }
    if (!(xLow < xHigh)) {  // no point, or one x for all: a range around it
        xLow = std::isfinite(xLow) ? xLow - 1 : 0;
        xHigh = xLow + 2;
    }
    const double yStep = TickStep(yHigh > 0 ? yHigh : 1, 0);
    const double margin = (xHigh - xLow) * 0.04;  // keeps the end points off the axes
    const Axis x{xLow - margin, xHigh + margin, kLeft, kWidth - kRight};
    const Axis y{0, std::ceil((yHigh > 0 ? yHigh * 1.05 : 1) / yStep) * yStep, kTop + kPlotHeight,
                 kTop};
    const double height = kLegendTop + kLegendRow * static_cast<double>(series.size()) + 10;
    std::string svg =
        Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" ", kWidth) +
        Format("height=\"%.0f\" font-family=\"sans-serif\" font-size=\"12\">\n", height) +
        "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (double tick = 0; tick <= y.high * (1 + 1e-9); tick += yStep) {
        svg += Line(kLeft - 5, y(tick), kWidth - kRight, y(tick), "#dddddd");
        svg += Text(kLeft - 8, y(tick) + 4, "end", Format(yStep < 1 ? "%g" : "%.0f", tick));
    }
    const double xStep = TickStep(xHigh - xLow, integral ? 1 : 0);
    for (double tick = std::ceil(xLow / xStep) * xStep; tick <= xHigh + xStep * 1e-9;
         tick += xStep) {
        svg += Line(x(tick), y(0), x(tick), y(0) + 5, "black");
        svg += Text(x(tick), y(0) + 18, "middle", Format(xStep < 1 ? "%g" : "%.0f", tick));
    }
    svg +=
        Line(kLeft, kTop, kLeft, y(0), "black") + Line(kLeft, y(0), kWidth - kRight, y(0), "black");
    svg += Text((kLeft + kWidth - kRight) / 2, y(0) + 38, "middle", xLabel);
    svg += Text(18, kTop + kPlotHeight / 2, "middle", yLabel,
                Format(" transform=\"rotate(-90 18 %.1f)\"", kTop + kPlotHeight / 2));
    for (size_t which = 0; which < series.size(); ++which) {
        const PlotSeries& s = series[which];
        const char* colour = kColours[which % std::size(kColours)];
        std::string points;
        for (size_t i = 0; i < s.x.size(); ++i) {
            points += Format("%.1f,", x(s.x[i])) + Format("%.1f ", y(s.y[i]));
            svg += Format("<circle cx=\"%.1f\" ", x(s.x[i])) +
                   Format("cy=\"%.1f\" r=\"3\" fill=\"", y(s.y[i])) + colour + "\"/>\n";
            if (!s.low.empty()) {
                svg += Line(x(s.x[i]), y(s.low[i]), x(s.x[i]), y(s.high[i]), colour);
            }
        }
        svg += "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + colour + "\"/>\n";
        const double row = kLegendTop + kLegendRow * static_cast<double>(which);
        svg += Line(kLeft, row - 4, kLeft + 20, row - 4, colour);
        svg += Text(kLeft + 26, row, "start", s.name);
    }
    return svg + "</svg>\n";
}

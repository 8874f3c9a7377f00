// The comparison's report and plot.
#include "compare/Comparison.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

#include "compare/RunLog.h"
#include "measure/Statistics.h"

namespace {

constexpr double kSignificance = 0.05;

struct Metric {
    const char* name;
    const char* format;  // of a median or an interval's end
    double Turn::*field;
};
constexpr Metric kMetrics[] = {{"kps", "%.1f", &Turn::kps},
                               {"fps", "%.2f", &Turn::fps},
                               {"frame_ms_p99", "%.2f", &Turn::frameMsP99}};

std::string Format(const char* format, double value) {
    char text[256];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Field(const RunLog& log, const char* name) {
    const auto field = log.run.find(name);
    return field == log.run.end() ? "?" : field->second;
}

std::string Workload(const RunLog& log) {
    return std::to_string(log.particles) + " particles at " + std::to_string(log.width) + "x" +
           std::to_string(log.height);
}

// "median [low, high]", padded to a column.
std::string Centre(const Metric& metric, const std::vector<double>& values) {
    const MedianInterval interval = MedianInterval95(values);
    std::string text = Format(metric.format, Median(values));
    if (interval.known) {
        text.append(" [").append(Format(metric.format, interval.low));
        text.append(", ").append(Format(metric.format, interval.high)).append("]");
    } else {
        text.append(" [too few turns]");
    }
    text.resize(std::max<size_t>(text.size() + 2, 32), ' ');
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

}  // namespace

int CompareLogs(const std::vector<std::string>& paths, const CompareOptions& options,
                std::ostream& out, std::ostream& err) {
    std::vector<RunLog> logs(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        std::ifstream in(paths[i]);
        if (!in) {
            err << "embervane-compare: cannot read " << paths[i] << "\n";
            return 1;
        }
        const std::string refusal = ReadRunLog(in, paths[i], &logs[i]);
        if (!refusal.empty()) {
            err << "embervane-compare: " << refusal << "\n";
            return 1;
        }
    }
    if (logs.size() == 2 && Workload(logs[0]) != Workload(logs[1]) && !options.anyWorkload) {
        err << "embervane-compare: " << paths[0] << " measured " << Workload(logs[0]) << ", "
            << paths[1] << " " << Workload(logs[1])
            << ": another workload is another measure (--any-workload compares them anyway)\n";
        return 1;
    }
    for (size_t i = 0; i < logs.size(); ++i) {
        out << (logs.size() == 1 ? ""
                : i == 0         ? "old "
                                 : "new ")
            << paths[i] << ": " << Field(logs[i], "renderer") << ", GL "
            << Field(logs[i], "gl_version") << ", " << Field(logs[i], "vendor") << "; Embervane "
            << Field(logs[i], "version") << ", " << Workload(logs[i]) << ", swap interval "
            << Field(logs[i], "swap_interval") << "; " << logs[i].turns.size() << " turns\n";
    }
    std::string heading(15, ' ');
    for (size_t i = 0; i < logs.size(); ++i) {
        heading += logs.size() == 1 ? "median [95% interval]"
                   : i == 0         ? "old median [95% interval]      "
                                    : "new median [95% interval]      change";
    }
    out << "\n" << heading << "\n";
    bool tooFew = false;
    for (const Metric& metric : kMetrics) {
        std::vector<std::vector<double>> sides;
        for (const RunLog& log : logs) {
            sides.emplace_back();
            for (const Turn& turn : log.turns) {
                sides.back().push_back(turn.*metric.field);
            }
            tooFew = tooFew || sides.back().size() < kMinimumIntervalSamples;
        }
        std::string line = metric.name;
        line.resize(15, ' ');
        for (const std::vector<double>& side : sides) {
            line += Centre(metric, side);
        }
        if (sides.size() == 2) {
            const UTest test = MannWhitneyU(sides[0], sides[1]);
            const double change = (Median(sides[1]) / Median(sides[0]) - 1) * 100;
            line += test.p > kSignificance ? "~" : Format("%+.2f%%", change);
            line.resize(line.size() + (test.p > kSignificance ? 8 : 1), ' ');
            char detail[64];
            std::snprintf(detail, sizeof(detail), "(p=%.3f n=%zu+%zu)", test.p, sides[0].size(),
                          sides[1].size());
            line += detail;
        }
        out << line.erase(line.find_last_not_of(' ') + 1) << "\n";
    }
    if (tooFew) {
        out << "\n[too few turns]: a 95% interval of the median needs " << kMinimumIntervalSamples
            << " turns at least\n";
    }
    if (logs.size() == 2) {
        out << "\nchange: of the new median against the old; ~: no difference that the U test "
               "can tell from noise (p > 0.05)\n";
    }
    if (!options.plotPath.empty()) {
        std::vector<std::vector<double>> kps;
        for (const RunLog& log : logs) {
            kps.emplace_back();
            for (const Turn& turn : log.turns) {
                kps.back().push_back(turn.kps);
            }
        }
        std::ofstream plot(options.plotPath);
        plot << PlotSvg(paths, kps);
        if (!plot.flush()) {
            err << "embervane-compare: cannot write " << options.plotPath << "\n";
            return 1;
        }
    }
    return 0;
}

std::string PlotSvg(const std::vector<std::string>& names,
                    const std::vector<std::vector<double>>& kps) {
    constexpr double kWidth = 640, kHeight = 360, kLeft = 70, kRight = 20, kTop = 20, kBottom = 60;
    constexpr const char* kColours[] = {"#1f77b4", "#ff7f0e"};
    size_t turns = 1;
    double high = 0;
    for (const std::vector<double>& side : kps) {
        turns = std::max(turns, side.size());
        for (const double value : side) {
            high = std::max(high, value);
        }
    }
    high = high > 0 ? high * 1.1 : 1;
    const auto x = [&](size_t turn) {
        return kLeft + (kWidth - kLeft - kRight) * (turns > 1 ? turn / (turns - 1.0) : 0.5);
    };
    const auto y = [&](double value) {
        return kTop + (kHeight - kTop - kBottom) * (1 - value / high);
    };
    std::string svg =
        Format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" ", kWidth) +
        Format("height=\"%.0f\" font-family=\"sans-serif\" font-size=\"12\">\n", kHeight);
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += Format("<path d=\"M%.1f ", kLeft) + Format("%.1f ", kTop) + Format("V%.1f ", y(0)) +
           Format("H%.1f\" stroke=\"black\" fill=\"none\"/>\n", kWidth - kRight);
    svg += Format("<text x=\"%.1f\" ", kLeft - 8) +
           Format("y=\"%.1f\" text-anchor=\"end\">", y(0)) + "0</text>\n";
    svg += Format("<text x=\"%.1f\" ", kLeft - 8) +
           Format("y=\"%.1f\" text-anchor=\"end\">", kTop + 4) + Format("%.0f</text>\n", high);
    svg += Format("<text x=\"15\" y=\"%.1f\" ", kHeight / 2) +
           Format("transform=\"rotate(-90 15 %.1f)\" text-anchor=\"middle\">kps</text>\n",
                  kHeight / 2);
    svg += Format("<text x=\"%.1f\" ", (kWidth + kLeft) / 2) +
           Format("y=\"%.1f\" text-anchor=\"middle\">turn</text>\n", kHeight - 35);
    for (size_t side = 0; side < kps.size() && side < 2; ++side) {
        std::string points;
        for (size_t turn = 0; turn < kps[side].size(); ++turn) {
            points += Format("%.1f,", x(turn)) + Format("%.1f ", y(kps[side][turn]));
            svg += Format("<circle cx=\"%.1f\" ", x(turn)) +
                   Format("cy=\"%.1f\" r=\"3\" ", y(kps[side][turn])) + "fill=\"" + kColours[side] +
                   "\"/>\n";
        }
        svg += "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + kColours[side] +
               "\"/>\n";
        svg += Format("<text x=\"%.1f\" ", kLeft + side * (kWidth - kLeft) / 2) +
               Format("y=\"%.1f\" fill=\"", kHeight - 10) + kColours[side] + "\">" +
               XmlText(names[side]) + "</text>\n";
    }
    return svg + "</svg>\n";
}

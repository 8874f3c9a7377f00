// Reading the program's lines and writing the driver's.
#include "driver/BenchLines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "compare/RunLog.h"
#include "measure/RunIdentity.h"

namespace {

int Integer(const std::map<std::string, std::string>& fields, const char* name) {
    const auto field = fields.find(name);
    return field == fields.end() ? 0 : std::atoi(field->second.c_str());
}

}  // namespace

ProgramLine ReadProgramLine(const std::string& line) {
    ProgramLine read;
    const bool run = line.rfind("run ", 0) == 0;
    const bool turn = line.rfind("orbit=", 0) == 0;
    const bool summary = line.rfind("summary ", 0) == 0;
    const std::map<std::string, std::string> fields = ParseLogfmt(line);
    if (!(run || turn || summary) || fields.empty()) {
        return read;
    }
    read.kind = run ? ProgramLine::kRun : turn ? ProgramLine::kTurn : ProgramLine::kSummary;
    read.particles = Integer(fields, "particles");
    read.width = Integer(fields, "width");
    read.height = Integer(fields, "height");
    read.summed = Integer(fields, "summed") == 1;
    const auto fps = fields.find("fps");
    read.fps = fps == fields.end() ? 0 : std::atof(fps->second.c_str());
    read.turns = Integer(fields, "turns");
    return read;
}

std::string KeysToReach(int from, int to) {
    return std::string(std::abs(to - from) / 500, to > from ? '+' : '-');
}

std::vector<std::string> RunLineFilter::Pass(const std::string& line) {
    const ProgramLine::Kind kind = ReadProgramLine(line).kind;
    if (kind == ProgramLine::kRun) {
        held_ = line;
        return {};
    }
    std::vector<std::string> lines;
    if (kind == ProgramLine::kTurn || kind == ProgramLine::kSummary) {
        lines = Flush();
    }
    lines.push_back(line);
    return lines;
}

std::vector<std::string> RunLineFilter::Flush() {
    std::vector<std::string> lines;
    if (!held_.empty()) {
        lines.push_back(held_);
        held_.clear();
    }
    return lines;
}

std::string ProcessorModel(const std::string& cpuinfo) {
    for (size_t at = 0; at < cpuinfo.size();) {
        const size_t end = std::min(cpuinfo.find('\n', at), cpuinfo.size());
        const std::string line = cpuinfo.substr(at, end - at);
        const size_t colon = line.find(':');
        if (line.rfind("model name", 0) == 0 && colon != std::string::npos) {
            const size_t start = line.find_first_not_of(" \t", colon + 1);
            if (start != std::string::npos) {
                return line.substr(start, line.find_last_not_of(" \t") + 1 - start);
            }
        }
        at = end + 1;
    }
    return "unknown";
}

std::string BenchLine(const std::string& version, const MachineInfo& machine,
                      const VersusRound* versus) {
    std::string line = "bench version=" + LogfmtValue(version);
    if (versus != nullptr) {
        line += " versus=" + LogfmtValue(versus->id) + " side=" + std::to_string(versus->side) +
                " round=" + std::to_string(versus->round) +
                " rounds=" + std::to_string(versus->rounds);
    }
    char load[32];
    std::snprintf(load, sizeof(load), "%.2f", machine.load);
    return line + " cpu=" + LogfmtValue(machine.processor) +
           " cores=" + std::to_string(machine.cores) + " load=" + load;
}

std::string BenchEndLine(double load) {
    char line[48];
    std::snprintf(line, sizeof(line), "bench_end load=%.2f", load);
    return line;
}

std::string ProgressLine(const VersusRound* versus, int particles, int width, int height, int turn,
                         int turns, double fps, double secondsLeft) {
    const long left = std::lround(std::max(secondsLeft, 0.0));
    char text[160];
    std::string line = "embervane-bench: ";
    if (versus != nullptr) {
        std::snprintf(text, sizeof(text), "side %d, round %d of %d: ", versus->side, versus->round,
                      versus->rounds);
        line += text;
    }
    std::snprintf(text, sizeof(text), "%d particles at %dx%d: ", particles, width, height);
    line += text;
    if (turn == 0) {
        line += "settling turn";
    } else {
        line += "turn " + std::to_string(turn) + " of " + std::to_string(turns);
    }
    std::snprintf(text, sizeof(text), ", %.1f fps, about ", fps);
    line += text;
    if (left >= 60) {
        line += std::to_string(left / 60) + " min ";
    }
    return line + std::to_string(left % 60) + " s left";
}

// Reading a log: logfmt fields, run lines and turn lines.
#include "compare/RunLog.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

void AppendUtf8(unsigned code, std::string* text) {
    if (code < 0x80) {
        *text += static_cast<char>(code);
        return;
    }
    const int more = code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
    *text += static_cast<char>(kLead[more] | code >> (6 * more));
    for (int i = more - 1; i >= 0; --i) {
        *text += static_cast<char>(0x80 | ((code >> (6 * i)) & 0x3F));
    }
}

// The rest of `in` read as UTF-16 LE, as Windows PowerShell 5's `>` and Out-File write a
// program's lines, in UTF-8 as the program wrote them; an unpaired surrogate becomes U+FFFD, an
// odd last byte is dropped.
std::string FromUtf16Le(std::istream& in) {
    std::vector<unsigned> units;
    for (int low = in.get(), high = in.get(); high != EOF; low = in.get(), high = in.get()) {
        units.push_back(static_cast<unsigned>(low) | static_cast<unsigned>(high) << 8);
    }
    std::string text;
    for (size_t i = 0; i < units.size(); ++i) {
        unsigned code = units[i];
        if (code >= 0xD800 && code < 0xE000) {
            const bool paired = code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                                units[i + 1] < 0xE000;
            code = paired ? 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00) : 0xFFFD;
        }
        AppendUtf8(code, &text);
    }
    return text;
}

// Reads a quoted value from the opening quote at `at`, leaving `at` past the closing one.
bool ReadQuoted(const std::string& line, size_t& at, std::string* value) {
    for (++at; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"') {
            ++at;
            return true;
        }
        if (c != '\\') {
            *value += c;
            continue;
        }
        if (++at == line.size()) {
            return false;
        }
        const char escaped = line[at];
        if (escaped == 'u' && at + 4 < line.size()) {
            const std::string hex = line.substr(at + 1, 4);
            char* end = nullptr;
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (end != hex.c_str() + 4 || code > 0x7f) {
                return false;
            }
            *value += static_cast<char>(code);
            at += 4;
            continue;
        }
        const std::string from = "\"\\nrt";
        const std::string to = "\"\\\n\r\t";
        const size_t which = from.find(escaped);
        if (which == std::string::npos) {
            return false;
        }
        *value += to[which];
    }
    return false;
}

// A whole field as a finite number, or NAN.
double Number(const std::map<std::string, std::string>& fields, const char* name) {
    const auto field = fields.find(name);
    if (field == fields.end() || field->second.empty()) {
        return NAN;
    }
    char* end = nullptr;
    const double value = std::strtod(field->second.c_str(), &end);
    return *end == '\0' && std::isfinite(value) ? value : NAN;
}

// Reads the named numbers; the first that is missing or no number, or out of [low, high], is
// the reason for a refusal.
std::string ReadNumbers(const std::map<std::string, std::string>& fields,
                        std::initializer_list<std::pair<const char*, double*>> wanted, double low,
                        double high) {
    for (const auto& [name, value] : wanted) {
        *value = Number(fields, name);
        if (!(*value >= low && *value <= high)) {
            return fields.count(name) == 0
                       ? std::string("no field ") + name
                       : std::string("not a number in range: ") + name + "=" + fields.at(name);
        }
    }
    return "";
}

}  // namespace

std::map<std::string, std::string> ParseLogfmt(const std::string& line) {
    std::map<std::string, std::string> fields;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ') {
            ++at;
            continue;
        }
        const size_t nameEnd = line.find_first_of(" =\"", at);
        const std::string name = line.substr(at, nameEnd - at);
        at = nameEnd;
        std::string value;
        if (at < line.size() && line[at] == '=') {
            ++at;
            if (at < line.size() && line[at] == '"') {
                if (!ReadQuoted(line, at, &value) || (at < line.size() && line[at] != ' ')) {
                    return {};
                }
            } else {
                const size_t valueEnd = line.find_first_of(" \"", at);
                value = line.substr(at, valueEnd - at);
                at = valueEnd;
                if (at < line.size() && line[at] == '"') {
                    return {};
                }
            }
        } else if (at < line.size() && line[at] == '"') {
            return {};
        }
        if (name.empty() || !fields.emplace(name, value).second) {
            return {};
        }
    }
    return fields;
}

std::string ReadRunLog(std::istream& in, const std::string& name, RunLog* log) {
    if (in.peek() == 0xFF) {
        in.get();
        if (in.peek() == 0xFE) {  // UTF-16 LE's byte-order mark
            in.get();
            std::istringstream text(FromUtf16Le(in));
            return ReadRunLog(text, name, log);
        }
        in.unget();
    }
    *log = RunLog();
    std::map<std::string, std::string> bench;
    Run run;
    bool inRun = false;
    const auto endRun = [&] {
        if (inRun && !run.turns.empty()) {
            log->runs.push_back(std::move(run));
        }
        run = Run();
    };
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // the program on Windows ends its lines as Windows does, CR LF
        }
        const std::string where = name + ":" + std::to_string(++lineNumber) + ": ";
        const bool runLine = line.rfind("run ", 0) == 0;
        const bool benchLine = line.rfind("bench ", 0) == 0;
        if (line.rfind("summary ", 0) == 0) {
            run.summarised = inRun;
            continue;
        }
        if (!runLine && !benchLine && line.rfind("orbit=", 0) != 0) {
            continue;
        }
        const std::map<std::string, std::string> fields = ParseLogfmt(line);
        if (fields.empty()) {
            return where + "malformed line";
        }
        if (benchLine) {
            bench = fields;
            continue;
        }
        double particles, width, height;
        std::string wrong = ReadNumbers(
            fields, {{"particles", &particles}, {"width", &width}, {"height", &height}}, 0, 1e9);
        if (!wrong.empty()) {
            return where + wrong;
        }
        if (runLine) {
            endRun();
            run.fields = fields;
            run.bench = std::move(bench);
            bench.clear();
            run.particles = static_cast<int>(particles);
            run.width = static_cast<int>(width);
            run.height = static_cast<int>(height);
            inRun = true;
            continue;
        }
        Turn turn;
        double summed;
        wrong = ReadNumbers(fields,
                            {{"kps", &turn.kps},
                             {"fps", &turn.fps},
                             {"frame_ms_p99", &turn.frameMsP99},
                             {"seconds", &turn.seconds},
                             {"summed", &summed}},
                            0, 1e12);
        if (wrong.empty() && fields.count("cpu_ms") != 0) {
            wrong = ReadNumbers(fields, {{"cpu_ms", &turn.cpuMs}}, 0, 1e12);
        } else {
            turn.cpuMs = NAN;
        }
        if (!wrong.empty()) {
            return where + wrong;
        }
        if (!inRun) {
            return where + "a turn line before any run line";
        }
        if (particles != run.particles || width != run.width || height != run.height) {
            return where + "a turn of another workload than its run line's";
        }
        if (summed == 1) {
            run.turns.push_back(turn);
            run.summarised = false;  // a summary covers the turns before it
        }
    }
    endRun();
    if (log->runs.empty()) {
        return name + ": no turn that a summary counts: in benchmark mode (the N key), let the " +
               "camera turn at least twice after the last change";
    }
    return "";
}

// The run's naming line and logfmt's quoting.
#include "measure/RunIdentity.h"

std::string LogfmtValue(std::string_view value) {
    bool plain = !value.empty();
    for (const char c : value) {
        plain = plain && static_cast<unsigned char>(c) > ' ' && c != '"' && c != '=' && c != '\\' &&
                c != '\x7f';
    }
    if (plain) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            quoted += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        } else if (byte < ' ' || byte == 0x7f) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

void PrintRunLine(const RunIdentity& id, int particles, int width, int height, std::FILE* out) {
    const std::string interval = id.swapInterval < 0 ? "unknown" : std::to_string(id.swapInterval);
    std::fprintf(out,
                 "run version=%s renderer=%s gl_version=%s vendor=%s particles=%d width=%d "
                 "height=%d swap_interval=%s\n",
                 LogfmtValue(id.version).c_str(), LogfmtValue(id.renderer).c_str(),
                 LogfmtValue(id.glVersion).c_str(), LogfmtValue(id.vendor).c_str(), particles,
                 width, height, interval.c_str());
    std::fflush(out);
}

// embervane-compare: whether benchmark logs differ, or one log's figures. The work is
// CompareLogs'; this reads the command line.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "compare/Comparison.h"

namespace {

constexpr const char* kUsage =
    "usage: embervane-compare [--any-workload] [--plot FILE.svg] [--max-slowdown PCT]\n"
    "                         OLD.log [NEW.log...]\n"
    "Says whether each NEW log's runs differ from OLD's, workload by workload, or gives one\n"
    "log's figures. Status 0: compared; 1: a log or the plot refused; 2: a wrong command line;\n"
    "3: a workload's kps lower than OLD's by more than PCT percent, beyond noise.\n";

// A percentage from 0 up, or -1.
double Percent(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0 && value <= 100 ? value : -1;
}

}  // namespace

int main(int argc, char** argv) {
    CompareOptions options;
    std::vector<std::string> paths;
    bool wrong = false;
    for (int i = 1; i < argc && !wrong; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--any-workload") {
            options.anyWorkload = true;
        } else if (arg == "--plot" && i + 1 < argc) {
            options.plotPath = argv[++i];
        } else if (arg == "--max-slowdown" && i + 1 < argc) {
            options.maxSlowdown = Percent(argv[++i]);
            wrong = options.maxSlowdown < 0;
        } else {
            wrong = arg.size() > 1 && arg[0] == '-';
            paths.push_back(arg);
        }
    }
    if (wrong || paths.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    return CompareLogs(paths, options, std::cout, std::cerr);
}

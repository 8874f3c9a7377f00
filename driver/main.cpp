// embervane-bench: Embervane's benchmark with no one at the keyboard. The work is RunBench's;
// this reads the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/BenchOptions.h"
#include "driver/x11/Session.h"

int main(int argc, char** argv) {
    BenchOptions options;
    const std::string wrong =
        ParseBenchOptions(std::vector<std::string>(argv + 1, argv + argc), &options);
    if (options.help && wrong.empty()) {
        std::fputs(kBenchUsage, stdout);
        return 0;
    }
    if (!wrong.empty()) {
        std::fprintf(stderr, "embervane-bench: %s\n%s", wrong.c_str(), kBenchUsage);
        return 2;
    }
    return RunBench(options);
}

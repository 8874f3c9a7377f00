// embervane-compare: whether two benchmark logs differ, or one log's figures. The work is
// CompareLogs'; this reads the command line.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "compare/Comparison.h"

int main(int argc, char** argv) {
    CompareOptions options;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--any-workload") == 0) {
            options.anyWorkload = true;
        } else if (std::strcmp(argv[i], "--plot") == 0 && i + 1 < argc) {
            options.plotPath = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            paths.clear();
            break;
        } else {
            paths.push_back(argv[i]);
        }
    }
    if (paths.empty() || paths.size() > 2) {
        std::cerr << "usage: embervane-compare [--any-workload] [--plot FILE.svg] OLD.log "
                     "[NEW.log]\n";
        return 2;
    }
    return CompareLogs(paths, options, std::cout, std::cerr);
}

// libFuzzer entry point for embervane-compare's reading of a log: any bytes, read as a log.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "compare/RunLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    RunLog log;
    ReadRunLog(in, "fuzz.log", &log);
    return 0;
}

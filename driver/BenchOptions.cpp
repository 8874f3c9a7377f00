// The driver's command line.
#include "driver/BenchOptions.h"

#include <cstdlib>
#include <filesystem>

const char kBenchUsage[] =
    "usage: embervane-bench [--particles N[,N...]] [--turns N] [--size 640x480|320x240]\n"
    "                       [--headless] [--limit SECONDS] [-o FILE] [--program CMD...]\n"
    "                       [--versus CMD... [--rounds N] -o FILE -o FILE]\n"
    "Runs Embervane's benchmark mode with no one at the keyboard: for each count, a settling\n"
    "turn and N counted turns, and the program's lines to standard output or FILE.\n"
    "--program and --versus take the arguments after them, up to the next of these options or\n"
    "--; the command runs from the pictures' folder, its paths taken from the current folder.\n";

namespace {

constexpr int kStep = 500;
constexpr int kFewest = 500;
constexpr int kMost = 120000;

// A whole decimal number within [low, high], or false.
bool ReadInteger(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 9) {
        return false;
    }
    *value = std::atoi(text.c_str());
    return *value >= low && *value <= high;
}

std::string ReadCounts(const std::string& list, std::vector<int>* counts) {
    counts->clear();
    size_t at = 0;
    while (true) {
        const size_t comma = list.find(',', at);
        const std::string item = list.substr(at, comma - at);
        int count;
        if (!ReadInteger(item, kFewest, kMost, &count) || count % kStep != 0) {
            return "--particles: '" + item + "' is not a count of 500 to 120000 in steps of 500";
        }
        counts->push_back(count);
        if (comma == std::string::npos) {
            return "";
        }
        at = comma + 1;
    }
}

// The driver's own options, which end a command; "--" ends one that has an option of the same
// name itself.
bool IsOption(const std::string& argument) {
    for (const char* option : {"--particles", "--turns", "--rounds", "--size", "--headless",
                               "--limit", "-o", "--program", "--versus", "--help", "-h"}) {
        if (argument == option) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ParseBenchOptions(const std::vector<std::string>& arguments, BenchOptions* options) {
    *options = BenchOptions();
    bool turnsGiven = false, roundsGiven = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--headless") {
            options->headless = true;
        } else if (argument == "--program" || argument == "--versus") {
            std::vector<std::string>& command =
                argument == "--program" ? options->program : options->versus;
            if (!command.empty()) {
                return argument + " given twice";
            }
            while (i + 1 < arguments.size() && arguments[i + 1] != "--" &&
                   !IsOption(arguments[i + 1])) {
                command.push_back(arguments[++i]);
            }
            if (i + 1 < arguments.size() && arguments[i + 1] == "--") {
                ++i;
            }
            if (command.empty()) {
                return argument + " needs a command";
            }
        } else if (!hasValue &&
                   (argument == "--particles" || argument == "--turns" || argument == "--rounds" ||
                    argument == "--size" || argument == "--limit" || argument == "-o")) {
            return argument + " needs a value";
        } else if (argument == "--particles") {
            const std::string wrong = ReadCounts(arguments[++i], &options->particles);
            if (!wrong.empty()) {
                return wrong;
            }
        } else if (argument == "--turns" || argument == "--rounds") {
            int* value = argument == "--turns" ? &options->turns : &options->rounds;
            (argument == "--turns" ? turnsGiven : roundsGiven) = true;
            if (!ReadInteger(arguments[++i], 1, 10000, value)) {
                return argument + ": '" + arguments[i] + "' is not a number from 1 to 10000";
            }
        } else if (argument == "--size") {
            const std::string& size = arguments[++i];
            if (size != "640x480" && size != "320x240") {
                return "--size: '" + size + "' is not 640x480 or 320x240";
            }
            options->width = size == "640x480" ? 640 : 320;
            options->height = size == "640x480" ? 480 : 240;
        } else if (argument == "--limit") {
            int seconds;
            if (!ReadInteger(arguments[++i], 1, 86400, &seconds)) {
                return "--limit: '" + arguments[i] + "' is not a number of seconds from 1";
            }
            options->limitSeconds = seconds;
        } else if (argument == "-o") {
            options->outputs.push_back(arguments[++i]);
        } else {
            return "unknown argument '" + argument + "'";
        }
    }
    const size_t sides = options->versus.empty() ? 1 : 2;
    if (options->versus.empty() && roundsGiven) {
        return "--rounds needs --versus";
    }
    if (options->outputs.size() > sides || (sides == 2 && options->outputs.size() != 2)) {
        return sides == 1 ? "-o given twice: one log, one -o"
                          : "--versus writes a log per side: give -o twice, the first side's first";
    }
    if (sides == 2) {
        // Side by side, a few turns of each in turn: the defaults make six rounds of two.
        options->rounds = roundsGiven ? options->rounds : 6;
        options->turns = turnsGiven ? options->turns : 2;
    }
    return "";
}

std::vector<std::string> CommandFrom(const std::string& here, std::vector<std::string> command) {
    for (size_t i = 0; i < command.size(); ++i) {
        std::string& argument = command[i];
        const bool path = argument.find('/') != std::string::npos && argument[0] != '/';
        std::error_code ignored;
        if (path && (i == 0 || std::filesystem::exists(here + "/" + argument, ignored))) {
            argument = here + "/" + argument;
        }
    }
    return command;
}

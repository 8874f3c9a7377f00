// The driver's session: start, drive each count, close, and fail with a word and nothing lost.
#include "driver/x11/Session.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "driver/BenchLines.h"
#include "driver/posix/Process.h"
#include "driver/x11/WindowLink.h"

namespace {

constexpr double kOrbitTurnSeconds = 7.2;
constexpr int kCountAttempts = 3;  // key batches sent toward a count before it is given up

volatile std::sig_atomic_t interruption = 0;

void NoteInterruption(int signal) {
    interruption = signal;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

double LoadAverage() {
    double load = 0;
    return getloadavg(&load, 1) == 1 ? load : 0;
}

// The folder of this program's own file.
std::string OwnFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return ".";
    }
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.rfind('/'));
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

struct Side {
    std::string name;  // in messages: "the program", "the first program", "the second"
    std::vector<std::string> command;
    std::FILE* log = stdout;
    RunLineFilter filter;
    std::unique_ptr<Process> process;
    unsigned long window = 0;
    ProgramLine lastRun;
    bool stopped = false;
};

class Session {
public:
    explicit Session(const BenchOptions& options) : options_(options) {}
    ~Session();
    int Run();

private:
    bool Fail(const std::string& message);
    bool FindData();
    bool OpenDisplay();
    bool Start(Side& side);
    // Reads the side's lines, each kept in its log, until `wanted` takes one (true), the limit
    // passes or the program ends (false, with the failure said).
    bool Await(Side& side, const std::string& what,
               const std::function<bool(const ProgramLine&)>& wanted, bool failOnTimeout = true,
               double extraSeconds = 0);
    void Keys(Side& side, const std::string& keys);
    bool Drive(Side& side, int count, const VersusRound* round);
    bool Reach(Side& side, int count);
    bool CloseWindow(Side& side);
    // Reads what the side's program wrote before its end (or within a second), and keeps it.
    void ReadRest(Side& side);
    void Drain(Side& side);
    void Write(Side& side, const std::string& line);
    void Continue(Side& side);
    void Stop(Side& side);
    double SecondsLeft() const;

    const BenchOptions& options_;
    std::string data_, display_, versusId_;
    Process server_;
    bool privateServer_ = false;
    WindowLink x_;
    std::vector<Side> sides_;
    MachineInfo machine_;
    bool failed_ = false;
    int turnsLeft_ = 0;  // settling and counted turns still to come, all sides
    int turnsSeen_ = 0;
    double firstTurnAt_ = 0;
};

Session::~Session() {
    for (Side& side : sides_) {
        if (interruption != 0 && side.process && !side.process->Ended()) {
            // Interrupted as the program would be, so that its summary is kept too.
            Continue(side);
            side.process->Signal(SIGINT);
            side.process->Wait(5);
            Drain(side);
        }
        for (const std::string& line : side.filter.Flush()) {
            std::fprintf(side.log, "%s\n", line.c_str());
        }
        if (side.process) {
            side.process->Kill();
        }
        if (side.log != stdout) {
            std::fclose(side.log);
        }
    }
    x_.Disconnect();
    if (privateServer_) {
        server_.Signal(SIGTERM);
        if (!server_.Wait(10)) {
            server_.Kill();
        }
    }
}

bool Session::Fail(const std::string& message) {
    if (!failed_) {
        std::string text = message;
        text.erase(text.find_last_not_of('\n') + 1);
        std::fprintf(stderr, "embervane-bench: %s\n", text.c_str());
        failed_ = true;
    }
    return false;
}

void Session::Write(Side& side, const std::string& line) {
    for (const std::string& kept : side.filter.Pass(line)) {
        std::fprintf(side.log, "%s\n", kept.c_str());
    }
    std::fflush(side.log);
}

// The pictures' folder, which the program reads as its working one: where the install puts it
// beside this program, or the source tree's data/ beside a build folder.
bool Session::FindData() {
    const std::string here = OwnFolder();
    for (const std::string& folder : {here + "/" EMBERVANE_DATA_FROM_BIN, here + "/../data"}) {
        if (Exists(folder + "/font.tga")) {
            data_ = folder;
            break;
        }
    }
    if (data_.empty()) {
        return Fail("no pictures' folder beside " + here +
                    " (looked for " EMBERVANE_DATA_FROM_BIN " and ../data)");
    }
    if (options_.program.empty()) {
        for (const std::string& program :
             {here + "/" EMBERVANE_PROGRAM_FROM_BIN, here + "/embervane"}) {
            if (Exists(program) && sides_[0].command.empty()) {
                sides_[0].command = {program};
            }
        }
        if (sides_[0].command.empty()) {
            return Fail("program not found beside " + here);
        }
    }
    return true;
}

bool Session::OpenDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0' && !options_.headless) {
        display_ = display;
        const std::string wrong = x_.Open(display_);
        return wrong.empty() || Fail(wrong + " (--headless runs on a private Xvfb)");
    }
    // A private server: it writes the display number that it chose on its standard output.
    const std::string wrong = server_.Start(
        {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
        "/", {});
    if (!wrong.empty()) {
        return Fail("no display and no Xvfb to make one (" + wrong +
                    "; Debian's package xvfb brings it)");
    }
    privateServer_ = true;
    std::string number;
    for (const double deadline = Now() + options_.limitSeconds;
         !server_.NextLine(&number) && Now() < deadline;) {
        if (!server_.Read(0.1) && server_.Ended()) {
            return Fail("Xvfb ended at its start, " + server_.Outcome() + "\n" +
                        server_.ErrorTail());
        }
    }
    if (number.empty()) {
        return Fail("Xvfb gave no display within " + std::to_string(int(options_.limitSeconds)) +
                    " s");
    }
    display_ = ":" + number;
    return x_.Open(display_).empty() || Fail("cannot open Xvfb's display " + display_);
}

bool Session::Start(Side& side) {
    // The command runs from the pictures' folder: its paths are taken from here.
    char here[4096];
    const std::vector<std::string> command =
        getcwd(here, sizeof(here)) != nullptr ? CommandFrom(here, side.command) : side.command;
    const std::set<unsigned long> before = x_.ProgramWindows();
    side.process = std::make_unique<Process>();
    const std::string wrong = side.process->Start(command, data_, {{"DISPLAY", display_}});
    if (!wrong.empty()) {
        return Fail(side.name + ": " + wrong);
    }
    for (const double deadline = Now() + options_.limitSeconds; side.window == 0;) {
        side.process->Read(0.05);
        std::string line;
        while (side.process->NextLine(&line)) {
            Write(side, line);
        }
        if (side.process->Ended()) {
            side.process->Read(0.05);
            return Fail(side.name + " ended before it showed a window, " + side.process->Outcome() +
                        "; its last lines on standard error:\n" + side.process->ErrorTail());
        }
        if (Now() > deadline) {
            return Fail(side.name + " showed no window within " +
                        std::to_string(int(options_.limitSeconds)) + " s");
        }
        side.window = x_.NewShownWindow(before);
    }
    return true;
}

bool Session::Await(Side& side, const std::string& what,
                    const std::function<bool(const ProgramLine&)>& wanted, bool failOnTimeout,
                    double extraSeconds) {
    const double limit = options_.limitSeconds + extraSeconds;
    const double deadline = Now() + limit;
    for (bool ended = false;;) {
        std::string line;
        while (side.process->NextLine(&line)) {
            Write(side, line);
            const ProgramLine read = ReadProgramLine(line);
            if (read.kind == ProgramLine::kRun) {
                side.lastRun = read;
            }
            if (wanted(read)) {
                return true;
            }
        }
        if (ended) {
            return Fail(side.name + " ended early, " + side.process->Outcome() + ", waiting for " +
                        what + "; its last lines on standard error:\n" + side.process->ErrorTail());
        }
        if (interruption != 0) {
            return Fail("interrupted");
        }
        side.process->Read(std::min(0.1, std::max(deadline - Now(), 0.0)));
        if (side.process->Ended()) {
            ReadRest(side);  // its last lines are read as any other, before its end is said
            ended = true;
        } else if (Now() > deadline) {
            return !failOnTimeout || Fail("no " + what + " from " + side.name + " within " +
                                          std::to_string(std::lround(limit)) + " s");
        }
    }
}

void Session::Keys(Side& side, const std::string& keys) {
    for (const char key : keys) {
        x_.Key(side.window, key);
    }
}

// The count, from a run line at any other: the keys that reach it, sent again (as the last run
// line says) where some did not arrive.
bool Session::Reach(Side& side, int count) {
    for (int attempt = 0; side.lastRun.particles != count; ++attempt) {
        if (attempt == kCountAttempts) {
            return Fail(side.name + " did not reach " + std::to_string(count) +
                        " particles: its last run line says " +
                        std::to_string(side.lastRun.particles));
        }
        Keys(side, KeysToReach(side.lastRun.particles, count));
        const bool reached = Await(
            side, "run line at " + std::to_string(count) + " particles",
            [&](const ProgramLine& line) {
                return line.kind == ProgramLine::kRun && line.particles == count;
            },
            /*failOnTimeout=*/false);
        if (failed_) {
            return false;
        }
        (void)reached;
    }
    return true;
}

bool Session::Drive(Side& side, int count, const VersusRound* round) {
    machine_.load = LoadAverage();
    Write(side, BenchLine(EMBERVANE_VERSION, machine_, round));
    const auto isRun = [](const ProgramLine& line) { return line.kind == ProgramLine::kRun; };
    Keys(side, "n");
    if (!Await(side, "run line after the N key", isRun)) {
        return false;
    }
    const int width = options_.width, height = options_.height;
    for (int counted = 0; counted < options_.turns;) {
        if (side.lastRun.width != width || side.lastRun.height != height) {
            Keys(side, width == 320 ? "1" : "2");
            if (!Await(side, "run line at " + std::to_string(width) + "x" + std::to_string(height),
                       [&](const ProgramLine& line) {
                           return line.kind == ProgramLine::kRun && line.width == width &&
                                  line.height == height;
                       })) {
                return false;
            }
        }
        if (!Reach(side, count)) {
            return false;
        }
        // The turns of this workload; a run line of another (the window resized under it) sets
        // it again, and the turns start afresh, as the program's summary does.
        counted = 0;
        while (counted < options_.turns) {
            ProgramLine got;
            // A turn takes the orbit's 7.2 s of frames: the limit counts beyond that.
            if (!Await(
                    side, "turn",
                    [&](const ProgramLine& line) {
                        got = line;
                        return line.kind == ProgramLine::kTurn || line.kind == ProgramLine::kRun;
                    },
                    /*failOnTimeout=*/true, kOrbitTurnSeconds)) {
                return false;
            }
            if (got.kind == ProgramLine::kRun) {
                if (got.particles != count || got.width != width || got.height != height) {
                    break;
                }
                counted = 0;
                continue;
            }
            firstTurnAt_ = firstTurnAt_ == 0 ? Now() : firstTurnAt_;
            turnsSeen_ += 1;
            turnsLeft_ -= 1;
            counted += got.summed ? 1 : 0;
            std::fprintf(stderr, "%s\n",
                         ProgressLine(round, count, width, height, got.summed ? counted : 0,
                                      options_.turns, got.fps, SecondsLeft())
                             .c_str());
        }
    }
    Keys(side, "n");
    if (!Await(side, "summary after the N key",
               [](const ProgramLine& line) { return line.kind == ProgramLine::kSummary; })) {
        return false;
    }
    Write(side, BenchEndLine(LoadAverage()));
    return true;
}

double Session::SecondsLeft() const {
    const double perTurn =
        turnsSeen_ > 1 ? (Now() - firstTurnAt_) / (turnsSeen_ - 1) : kOrbitTurnSeconds;
    return turnsLeft_ * perTurn;
}

void Session::Continue(Side& side) {
    if (side.stopped) {
        side.process->Signal(SIGCONT);
        side.stopped = false;
    }
    // Side by side the other window may cover this one, and a covered program draws nothing.
    x_.Raise(side.window);
    x_.OfferFocus(side.window);
}

void Session::Stop(Side& side) {
    side.process->Signal(SIGSTOP);
    side.stopped = true;
}

bool Session::CloseWindow(Side& side) {
    Continue(side);
    x_.Close(side.window);
    for (const double deadline = Now() + options_.limitSeconds; !side.process->Ended();) {
        if (Now() > deadline) {
            return Fail(side.name + " did not end within " +
                        std::to_string(int(options_.limitSeconds)) + " s of its window's close");
        }
        side.process->Read(0.1);
    }
    Drain(side);
    if (side.process->status() != 0) {
        return Fail(side.name + " ended with " + side.process->Outcome() +
                    " at its window's close; its last lines on standard error:\n" +
                    side.process->ErrorTail());
    }
    return true;
}

void Session::ReadRest(Side& side) {
    for (const double deadline = Now() + 1; side.process->Read(0.05) && Now() < deadline;) {
    }
}

void Session::Drain(Side& side) {
    ReadRest(side);
    std::string line;
    while (side.process->NextLine(&line)) {
        Write(side, line);
    }
}

int Session::Run() {
    sides_.resize(options_.versus.empty() ? 1 : 2);
    sides_[0].name = sides_.size() == 1 ? "the program" : "the first program";
    sides_[0].command = options_.program;
    if (sides_.size() == 2) {
        sides_[1].name = "the second program";
        sides_[1].command = options_.versus;
    }
    for (size_t i = 0; i < options_.outputs.size(); ++i) {
        sides_[i].log = std::fopen(options_.outputs[i].c_str(), "w");
        if (sides_[i].log == nullptr) {
            sides_[i].log = stdout;
            return Fail("cannot write " + options_.outputs[i] + ": " + std::strerror(errno)), 1;
        }
    }
    machine_.processor = ProcessorModel(ReadFile("/proc/cpuinfo"));
    machine_.cores = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    const int rounds = sides_.size() == 2 ? options_.rounds : 1;
    turnsLeft_ = static_cast<int>(options_.particles.size()) * rounds *
                 static_cast<int>(sides_.size()) * (options_.turns + 1);
    if (!FindData() || !OpenDisplay()) {
        return 1;
    }
    for (Side& side : sides_) {
        if (!Start(side)) {
            return 1;
        }
    }
    if (sides_.size() == 2) {
        Stop(sides_[1]);
        char id[64];
        std::snprintf(id, sizeof(id), "%lld-%d", static_cast<long long>(time(nullptr)),
                      static_cast<int>(getpid()));
        versusId_ = id;
    }
    for (const int count : options_.particles) {
        for (int round = 1; round <= rounds; ++round) {
            // Each round the other side goes first, so that neither always follows the other.
            for (size_t turn = 0; turn < sides_.size(); ++turn) {
                const size_t which = round % 2 == 1 ? turn : sides_.size() - 1 - turn;
                Side& side = sides_[which];
                const VersusRound where = {versusId_, static_cast<int>(which) + 1, round, rounds};
                Continue(side);
                if (!Drive(side, count, sides_.size() == 2 ? &where : nullptr)) {
                    return 1;
                }
                if (sides_.size() == 2) {
                    Stop(side);
                }
            }
        }
    }
    for (Side& side : sides_) {
        if (!CloseWindow(side)) {
            return 1;
        }
        side.process.reset();
    }
    return 0;
}

}  // namespace

int RunBench(const BenchOptions& options) {
    std::signal(SIGPIPE, SIG_IGN);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action = {};
        action.sa_handler = NoteInterruption;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    const int status = Session(options).Run();
    if (interruption != 0) {
        std::signal(interruption, SIG_DFL);
        std::raise(interruption);
    }
    return status;
}

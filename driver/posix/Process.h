// A program that the driver runs: started in a process group of its own from a working folder,
// its standard output read line by line and the tail of its standard error kept, stopped and
// continued as a whole, and waited for with a limit. POSIX.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include <sys/types.h>

class Process {
public:
    // Starts `command` (searched on the PATH) in `folder` with `environment` added to the
    // driver's own. Returns an empty string, or why it could not start.
    std::string Start(const std::vector<std::string>& command, const std::string& folder,
                      const std::vector<std::pair<std::string, std::string>>& environment);
    ~Process();

    // Waits up to `seconds` for its output, and reads what there is into the lines and the
    // tail. False once both its streams have closed.
    bool Read(double seconds);
    // The next complete line of its standard output, if one has come, without its line end.
    bool NextLine(std::string* line);

    // Whether it has ended; then its status, as waitpid gives it.
    bool Ended();
    int status() const { return status_; }
    // "status 1", "killed by signal 9 (Killed)".
    std::string Outcome() const;
    // The last lines of its standard error, each on a line of its own, indented.
    std::string ErrorTail() const;

    void Signal(int signal);  // to its whole group
    // Waits up to `seconds` for it to end; false if it has not.
    bool Wait(double seconds);
    // Ends it and all its group: asked (SIGTERM), then killed after a few seconds.
    void Kill();

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool ended_ = false;
    int status_ = 0;
    std::string outText_, errText_;
    std::deque<std::string> errTail_;
};

// Seconds on the monotonic clock.
double Now();

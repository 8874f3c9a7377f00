// Processes and their pipes.
#include "driver/posix/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t kErrorTailLines = 8;
// How long a program and its group have to end once asked, before they are killed.
constexpr double kAskedToEndSeconds = 5;

// Appends what `fd` has to `text`; false at its end (and closes it).
bool Drain(int* fd, std::string* text) {
    char buffer[65536];
    const ssize_t got = read(*fd, buffer, sizeof(buffer));
    if (got > 0) {
        text->append(buffer, static_cast<size_t>(got));
        return true;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return true;
    }
    close(*fd);
    *fd = -1;
    return false;
}

}  // namespace

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

std::string Process::Start(const std::vector<std::string>& command, const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& environment) {
    int out[2], err[2], report[2];
    if (pipe(out) != 0 || pipe(err) != 0 || pipe2(report, O_CLOEXEC) != 0) {
        return std::string("no pipe: ") + std::strerror(errno);
    }
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        // The child: its own group, so that a stop, a continue or a kill reaches every process
        // that the command starts; and what goes wrong before exec reaches the driver.
        setpgid(0, 0);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const int fd : {out[0], out[1], err[0], err[1], report[0]}) {
            close(fd);
        }
        signal(SIGPIPE, SIG_DFL);
        for (const auto& [name, value] : environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        int failure = 0;
        if (chdir(folder.c_str()) != 0) {
            failure = errno;
        } else {
            execvp(argv[0], argv.data());
            failure = errno;
        }
        [[maybe_unused]] ssize_t written = write(report[1], &failure, sizeof(failure));
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    close(report[1]);
    if (pid_ < 0) {
        close(out[0]);
        close(err[0]);
        close(report[0]);
        return std::string("cannot fork: ") + std::strerror(errno);
    }
    setpgid(pid_, pid_);  // as the child does, whichever runs first
    out_ = out[0];
    err_ = err[0];
    int failure = 0;
    const ssize_t got = read(report[0], &failure, sizeof(failure));
    close(report[0]);
    if (got == sizeof(failure)) {
        Wait(5);
        return "cannot start " + command[0] + ": " + std::strerror(failure);
    }
    return "";
}

Process::~Process() {
    if (pid_ > 0 && !Ended()) {
        Kill();
    }
    for (const int fd : {out_, err_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool Process::Read(double seconds) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (out_ < 0 && err_ < 0) {
        return false;
    }
    if (poll(fds, 2, static_cast<int>(seconds * 1000)) > 0) {
        if (fds[0].revents != 0) {
            Drain(&out_, &outText_);
        }
        if (fds[1].revents != 0) {
            Drain(&err_, &errText_);
            for (size_t end; (end = errText_.find('\n')) != std::string::npos;) {
                errTail_.push_back(errText_.substr(0, end));
                errText_.erase(0, end + 1);
                if (errTail_.size() > kErrorTailLines) {
                    errTail_.pop_front();
                }
            }
        }
    }
    return out_ >= 0 || err_ >= 0;
}

bool Process::NextLine(std::string* line) {
    const size_t end = outText_.find('\n');
    if (end == std::string::npos) {
        return false;
    }
    // A Windows program's line ends in CR LF: the line is the same, and the log keeps one ending.
    *line = outText_.substr(0, end > 0 && outText_[end - 1] == '\r' ? end - 1 : end);
    outText_.erase(0, end + 1);
    return true;
}

bool Process::Ended() {
    if (!ended_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
    }
    return ended_;
}

std::string Process::Outcome() const {
    if (WIFSIGNALED(status_)) {
        return "killed by signal " + std::to_string(WTERMSIG(status_)) + " (" +
               strsignal(WTERMSIG(status_)) + ")";
    }
    return "status " + std::to_string(WEXITSTATUS(status_));
}

std::string Process::ErrorTail() const {
    std::string tail;
    for (const std::string& line : errTail_) {
        tail += "  " + line + "\n";
    }
    if (!errText_.empty()) {
        tail += "  " + errText_ + "\n";
    }
    return tail;
}

void Process::Signal(int signal) {
    if (pid_ > 0 && !ended_) {
        killpg(pid_, signal);
    }
}

bool Process::Wait(double seconds) {
    for (const double deadline = Now() + seconds; !Ended(); usleep(10000)) {
        if (Now() > deadline) {
            return false;
        }
    }
    return true;
}

void Process::Kill() {
    // The whole group, even once its first process has ended: what it started may live on. Asked
    // to end first, stopped or not, so that a wrapper can clean up after its program (Wine's
    // removes its prefix); then told.
    if (pid_ > 0) {
        killpg(pid_, SIGTERM);
        killpg(pid_, SIGCONT);
        Wait(kAskedToEndSeconds);
        killpg(pid_, SIGKILL);
    }
    Wait(10);
}

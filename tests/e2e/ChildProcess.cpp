#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace quorix::e2e {

namespace {

int openOutput(const std::string& path) {
    return open(path.empty() ? "/dev/null" : path.c_str(),
                O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
}

}  // namespace

ChildProcess::ChildProcess(const Spec& spec) {
    if (spec.argv.empty()) {
        throw std::invalid_argument("ChildProcess: no program");
    }
    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls.
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        const auto eq = entry.find('=');
        if (eq != std::string::npos) {
            env[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
    }
    for (const auto& [key, value] : spec.env) {
        if (value.empty()) {
            env.erase(key);
        } else {
            env[key] = value;
        }
    }
    std::vector<std::string> envStrings;
    for (const auto& [key, value] : env) {
        envStrings.push_back(key + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& s : envStrings) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args = spec.argv;
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    const int out = openOutput(spec.stdoutPath);
    const int err = openOutput(spec.stderrPath);
    int fds[2] = {-1, -1};
    if (spec.pipeFd >= 0 && pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("ChildProcess: pipe");
    }
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("ChildProcess: fork");
    }
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        const int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, STDIN_FILENO);
        if (spec.pipeFd >= 0) {
            dup2(fds[1], spec.pipeFd);  // dup2 clears close-on-exec
        }
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    setpgid(pid, pid);  // both sides set it: no race with an early kill
    close(out);
    close(err);
    if (fds[1] >= 0) {
        close(fds[1]);
    }
    pipeRead_ = fds[0];
    pid_ = pid;
}

ChildProcess::~ChildProcess() {
    stop();
    if (pipeRead_ >= 0) {
        close(pipeRead_);
    }
}

bool ChildProcess::running() {
    if (pid_ <= 0 || reaped_) {
        return false;
    }
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        reaped_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return r == 0;
}

int ChildProcess::waitExit(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return reaped_ ? status_ : -1;
}

void ChildProcess::stop(int graceMs) {
    if (pid_ <= 0) {
        return;
    }
    // The group also holds what the child started (buses, registry).
    kill(-pid_, SIGTERM);
    if (waitExit(graceMs) < 0 && running()) {
        kill(-pid_, SIGKILL);
        waitExit(5000);
    }
    kill(-pid_, SIGKILL);  // stragglers of the group; ESRCH when none
    pid_ = -1;
}

std::string ChildProcess::readPipeLine(int timeoutMs) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (pipeRead_ >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            break;
        }
        pollfd p{pipeRead_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        char c = 0;
        if (read(pipeRead_, &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            return line;
        }
        line.push_back(c);
    }
    return line;
}

}  // namespace quorix::e2e

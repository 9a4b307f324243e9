#pragma once
// A program started by the end-to-end tests: its own process group, killed
// with the test process (parent-death signal), stopped by its id.

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace quorix::e2e {

class ChildProcess {
  public:
    struct Spec {
        std::vector<std::string> argv;
        // Added to (or replacing in) the test's environment; an empty value
        // removes the variable.
        std::map<std::string, std::string> env;
        // Standard output and error go to these files ("" : /dev/null).
        std::string stdoutPath;
        std::string stderrPath;
        // A pipe whose write end the child gets as this descriptor (-1: none);
        // read it with readPipe().
        int pipeFd = -1;
    };

    explicit ChildProcess(const Spec& spec);
    // Stops the process (see stop()).
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    // Whether it still runs (reaps it when it ended).
    bool running();
    // Waits at most timeoutMs for it to end; its exit status, or -1.
    int waitExit(int timeoutMs);
    // SIGTERM to its process group, then SIGKILL after graceMs; reaps it.
    void stop(int graceMs = 2000);
    // Reads from the pipe until a line ends or timeoutMs passes.
    std::string readPipeLine(int timeoutMs);

  private:
    pid_t pid_ = -1;
    int pipeRead_ = -1;
    int status_ = -1;
    bool reaped_ = false;
};

}  // namespace quorix::e2e

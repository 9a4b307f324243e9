#include "tools/typo-eval/CliCorrector.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

extern char** environ;

namespace quorix::typoeval {

CliCorrector::CliCorrector(std::string executable) : executable_(std::move(executable)) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "typo-eval-home-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    home_ = made == nullptr ? std::string() : std::string(made);
}

CliCorrector::~CliCorrector() {
    if (!home_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }
}

std::optional<std::string> CliCorrector::correct(std::string_view text) {
    if (home_.empty()) {
        return std::nullopt;
    }
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string_view(*e).rfind("HOME=", 0) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("HOME=" + home_);
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string arg0 = executable_, arg1 = "correct", arg2 = "--offline", arg3(text);
    char* argv[] = {arg0.data(), arg1.data(), arg2.data(), arg3.data(), nullptr};

    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, executable_.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return std::nullopt;
    }
    std::string out;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

}  // namespace quorix::typoeval

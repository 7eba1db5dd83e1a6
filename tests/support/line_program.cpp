// Someone else's program on a serial line: spawned, waited for, killed.
#include "support/line_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace velotrix::test {

LineProgram::LineProgram(const std::vector<std::string>& arguments, int line,
                         const std::string& dir)
    : errPath_(dir + "/." + arguments.front() + std::to_string(++count_) + ".err") {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, line, 0);
    posix_spawn_file_actions_adddup2(&actions, line, 1);
    posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        status_ = 127;
    }
    posix_spawn_file_actions_destroy(&actions);
}

LineProgram::~LineProgram() {
    Wait(std::chrono::milliseconds(0));
}

bool LineProgram::Ended() {
    int status = 0;
    if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return status_.has_value();
}

int LineProgram::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Ended() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!Ended()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        status_ = -1;
    }
    return *status_;
}

std::string LineProgram::Err() const {
    return ReadFileBytes(errPath_).value_or("");
}

bool OnPath(const std::string& program) {
    std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace velotrix::test

// Child processes for tests of whole programs: posix_spawn with stdout and stderr in files.
#include "support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace velotrix::test {

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workDir, const std::string& logDir) {
    static std::atomic<int> counter{0};
    const std::string name = logDir + "/child" + std::to_string(counter.fetch_add(1));
    outPath_ = name + ".out";
    errPath_ = name + ".err";
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        status_ = 127;
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    Wait(std::chrono::milliseconds(0));
}

std::optional<int> ChildProcess::Poll() {
    int status = 0;
    if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = ExitCodeOf(status);
    }
    return status_;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Poll()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
            status_ = ExitCodeOf(status);
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return status_;
}

bool ChildProcess::WaitForError(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Err().find(text) == std::string::npos) {
        if (Poll() || std::chrono::steady_clock::now() >= deadline) {
            // It may have written the text just before it ended.
            return Err().find(text) != std::string::npos;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void ChildProcess::Signal(int signal) {
    if (!Poll()) {
        kill(pid_, signal);
    }
}

std::string ChildProcess::Out() const {
    return ReadFileBytes(outPath_).value_or("");
}

std::string ChildProcess::Err() const {
    return ReadFileBytes(errPath_).value_or("");
}

}  // namespace velotrix::test

// Child processes for tests of whole programs: posix_spawn with stdout and stderr in files.
#include "support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace velotrix::test {

namespace {

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// True once done() holds, checked every few milliseconds; false when the time is up first.
bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
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
    constexpr int kFlags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(), kFlags, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(), kFlags, 0600);
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
    if (PollUntil([&] { return Poll().has_value(); }, timeout)) {
        return status_;
    }
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    status_ = ExitCodeOf(status);
    return std::nullopt;
}

bool ChildProcess::WaitForError(const std::string& text, std::chrono::milliseconds timeout) {
    // It may have written the text just before it ended.
    PollUntil([&] { return Err().find(text) != std::string::npos || Poll(); }, timeout);
    return Err().find(text) != std::string::npos;
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

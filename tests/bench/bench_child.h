// What the benchmarks share: a program run as a child process and measured as the system accounts
// it (CPU time of the finished child, its own threads included), and the median of pairs.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace velotrix::bench {

struct ChildTimes {
    int status = -1;  // the exit status; 128 + the signal for one that a signal ended
    double cpu = 0;   // user + system seconds
    double wall = 0;  // seconds from the start to the end
    bool ok() const { return status == 0; }
};

// A child with its standard output (and error, unless told otherwise) in a file.
class Child {
  public:
    Child(const std::vector<std::string>& arguments, const std::string& output,
          bool withErrors = true)
        : start_(std::chrono::steady_clock::now()) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (withErrors) {
            posix_spawn_file_actions_adddup2(&actions, 1, 2);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ > 0) {
            Stop();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }
    // Whether it has the file at path open by now (it may not have got that far yet).
    bool HasOpen(const std::string& path) const {
        std::error_code error;
        const std::filesystem::path fds = "/proc/" + std::to_string(pid_) + "/fd";
        for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
            if (std::filesystem::read_symlink(fd.path(), error) == path) {
                return true;
            }
        }
        return false;
    }
    // Ends a child that would run on (cat), and reaps it.
    ChildTimes Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
        }
        return Wait();
    }
    // Waits for its end.
    ChildTimes Wait() {
        ChildTimes times;
        if (pid_ <= 0) {
            return times;
        }
        int status = 0;
        rusage usage{};
        while (wait4(pid_, &status, 0, &usage) < 0) {
        }
        pid_ = -1;
        times.wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        times.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
        times.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return times;
    }

  private:
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point start_;
};

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace velotrix::bench

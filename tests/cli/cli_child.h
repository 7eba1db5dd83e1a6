// velotrix-cli as a child process, as the CLI suites run it on pseudo-terminals.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/pty_pair.h"
#include "support/temp_dir.h"

extern char** environ;

namespace velotrix::test {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

// What a receiving program prints once it waits for data.
inline const std::string kWaiting = "Warte";

// velotrix-cli as a child process in a directory, its output in files beside it; its stderr
// may go to a terminal instead (errTo, a pseudo-terminal's path), as when a person watches.
// Another program (lrzsz's sx and rx, found on PATH) runs the same way with a serial line as its
// standard input and output, as on a terminal of the home computer's side.
class Cli {
  public:
    Cli(const Args& arguments, const std::string& dir, const std::string& errTo = {})
        : Cli(VELOTRIX_CLI_PATH, arguments, dir, errTo, -1) {}
    Cli(const std::string& program, const Args& arguments, int line, const std::string& dir)
        : Cli(program, arguments, dir, {}, line) {}

  private:
    Cli(const std::string& program, const Args& arguments, const std::string& dir,
        const std::string& errTo, int line)
        : out_(dir + "/.cli" + std::to_string(++count_) + ".out"),
          err_(errTo.empty() ? out_ + ".err" : errTo) {
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (line < 0) {
            posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT, 0600);
        } else {
            posix_spawn_file_actions_adddup2(&actions, line, 0);
            posix_spawn_file_actions_adddup2(&actions, line, 1);
        }
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_NOCTTY,
                                         0600);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        status_ = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0
                      ? std::nullopt
                      : std::optional(127);
        posix_spawn_file_actions_destroy(&actions);
    }

  public:
    ~Cli() { Wait(0ms); }

    // The exit status once it ended; a child still running after the timeout is killed.
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!Ended() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        if (!Ended()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -1;
        }
        return status_;
    }
    bool Ended() {
        int status = 0;
        if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return status_.has_value();
    }
    // True once stderr (or stdout: &Cli::Out) holds the text, before the child ends or the time is
    // up.
    bool WaitFor(const std::string& text, std::string (Cli::*stream)() const = &Cli::Err) {
        for (int i = 0; i < 2000 && (this->*stream)().find(text) == std::string::npos && !Ended();
             ++i) {
            std::this_thread::sleep_for(5ms);
        }
        return (this->*stream)().find(text) != std::string::npos;
    }
    pid_t Pid() const { return pid_; }
    std::string Out() const { return ReadFileBytes(out_).value_or(""); }
    std::string Err() const { return ReadFileBytes(err_).value_or(""); }

  private:
    static inline std::atomic<int> count_{0};
    std::string out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Up to count bytes from the far end of the line, read in up to that many tries: none arrive before
// the program has opened its end.
inline std::vector<std::uint8_t> ReadOnceOpen(PtyPair& line, std::size_t count, int tries) {
    std::vector<std::uint8_t> got;
    for (int i = 0; i < tries && got.size() < count; ++i, std::this_thread::sleep_for(5ms)) {
        const std::vector<std::uint8_t> more = line.Read(10ms, count - got.size());
        got.insert(got.end(), more.begin(), more.end());
    }
    return got;
}

// Carries what the sender's line gets over to the receiver's until the receiver ends or the time is
// up: what went across, or nothing when the receiver's line took no more.
inline std::optional<std::vector<std::uint8_t>> Relay(PtyPair& from, PtyPair& to, Cli& receiver,
                                                      std::chrono::seconds timeout) {
    std::vector<std::uint8_t> carried;
    for (auto end = std::chrono::steady_clock::now() + timeout;
         !receiver.Ended() && std::chrono::steady_clock::now() < end;) {
        const std::vector<std::uint8_t> chunk = from.Read(20ms);
        if (chunk.empty()) {
            std::this_thread::sleep_for(5ms);  // the sender's end is not open (yet or any more)
        } else if (!to.Write(chunk, 10s)) {
            return std::nullopt;
        }
        carried.insert(carried.end(), chunk.begin(), chunk.end());
    }
    return carried;
}

}  // namespace velotrix::test

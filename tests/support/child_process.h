// A program run as a child process with its output in files, for tests of whole programs.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velotrix::test {

class ChildProcess {
  public:
    // Starts program in workDir; stdout and stderr go to files in logDir.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& workDir, const std::string& logDir);
    ~ChildProcess();  // kills a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit status once the child has ended (128 + the signal when a signal ended it).
    std::optional<int> Poll();
    // Waits for the end; kills the child and reports nothing when the timeout passes first.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // True once stderr holds text; false when the child ended or the time is up without it.
    bool WaitForError(const std::string& text, std::chrono::milliseconds timeout);
    void Signal(int signal);

    std::string Out() const;
    std::string Err() const;

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string outPath_;
    std::string errPath_;
};

}  // namespace velotrix::test

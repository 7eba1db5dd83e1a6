// A program of someone else's (lrzsz's sx and rx) run with its standard input and output on a
// serial line, as on a terminal of the home computer's side.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace velotrix::test {

class LineProgram {
  public:
    // Runs the program (found on PATH) in dir with the line as stdin and stdout; its stderr
    // goes to a file in dir.
    LineProgram(const std::vector<std::string>& arguments, int line, const std::string& dir);
    ~LineProgram();  // kills it when it still runs
    LineProgram(const LineProgram&) = delete;
    LineProgram& operator=(const LineProgram&) = delete;

    bool Started() const { return pid_ > 0; }
    // The exit status once it ended; one still running after the timeout is killed (-1).
    int Wait(std::chrono::milliseconds timeout);
    bool Ended();
    std::string Err() const;

  private:
    static inline int count_ = 0;
    pid_t pid_ = -1;
    std::string errPath_;
    std::optional<int> status_;
};

// Whether a program is on PATH.
bool OnPath(const std::string& program);

}  // namespace velotrix::test

// A pseudo-terminal pair for tests: the master plays the far end of a serial line, the slave's
// path is opened as the device under test.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velotrix::test {

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    // The master's descriptor (non-blocking), for a test that relays the line itself.
    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // Writes every byte, waiting while the line is full; false on an error or a timeout.
    bool Write(const std::vector<std::uint8_t>& bytes,
               std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // What arrives within the timeout: at least one byte, or nothing when the time is up. With a
    // count, exactly that many bytes unless the time is up first.
    std::vector<std::uint8_t> Read(std::chrono::milliseconds timeout, std::size_t count = 0);
    // Everything that arrives until nothing more comes for quiet (one read may return only the
    // first part of what was written).
    std::vector<std::uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet);
    // Hangs up the line as an unplugged adapter does.
    void CloseMaster();

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace velotrix::test

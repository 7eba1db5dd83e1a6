// A pseudo-terminal line joined to a socket by a thread that carries what one end sends to the
// other, and may corrupt, drop and double bytes as a seeded generator says: a cable between the
// program under test, which opens the line, and another program that gets the socket as its
// standard input and output. (lrzsz's rx empties its terminal's queues as it exits; on a
// pseudo-terminal that throws away its last ACK before the other end has read it, where a real
// UART would have sent it. A socket keeps it.)
#pragma once

#include <atomic>
#include <cstddef>
#include <random>
#include <string>
#include <thread>

#include "support/pty_pair.h"

namespace velotrix::test {

struct LineFaults {
    unsigned seed = 1;
    // The chance of a fault for each byte, in thousandths; a fault corrupts, drops or doubles it.
    int perMille = 0;
    // Bytes from the line that never reach the socket (requests lost before the far end listens).
    std::size_t swallowFromA = 0;
};

class LineRelay {
  public:
    explicit LineRelay(LineFaults faults = {});
    ~LineRelay();
    LineRelay(const LineRelay&) = delete;
    LineRelay& operator=(const LineRelay&) = delete;

    bool ok() const { return a_.ok() && peer_ >= 0; }
    const std::string& PathA() const { return a_.SlavePath(); }
    // The other end's socket, for the program's standard input and output.
    int PeerSocket() const { return peer_; }

  private:
    void Run();
    // Reads what the far end at from sent and writes it, faulted, to the one at to.
    bool Carry(int from, int to, std::mt19937& random, std::size_t& swallow);

    PtyPair a_;
    int b_ = -1;     // the relay's end of the socket pair
    int peer_ = -1;  // the other program's
    LineFaults settings_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace velotrix::test

// The relay between two pseudo-terminal lines, with seeded faults.
#include "support/line_relay.h"
#include "support/random_bytes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <span>
#include <vector>

namespace velotrix::test {

namespace {

// Writes every byte to the non-blocking master, waiting while the line is full; false when the
// relay must stop.
bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes, const std::atomic<bool>& stop) {
    for (std::size_t done = 0; done < bytes.size() && !stop.load();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;  // nobody holds that line open: what came is lost, as on a cable
        } else {
            pollfd entry{fd, POLLOUT, 0};
            poll(&entry, 1, 20);
        }
    }
    return true;
}

// Raw from the start, so that a program that sets its line up late sees no echo or translation
// of what came before.
void MakeRaw(int master) {
    termios raw{};
    if (tcgetattr(master, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
    }
}

}  // namespace

LineRelay::LineRelay(LineFaults faults) : settings_(faults) {
    MakeRaw(a_.Master());
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0) {
        b_ = pair[0];
        peer_ = pair[1];
        fcntl(b_, F_SETFL, fcntl(b_, F_GETFL) | O_NONBLOCK);
    }
    thread_ = std::thread([this] { Run(); });
}

LineRelay::~LineRelay() {
    stop_ = true;
    thread_.join();
    ::close(b_);
    ::close(peer_);
}

void LineRelay::Run() {
    // One generator a direction, so that the faults do not depend on how the bytes are batched.
    std::mt19937 towardB(settings_.seed);
    std::mt19937 towardA(settings_.seed * 2654435761u + 1);
    std::size_t swallow = settings_.swallowFromA;
    std::size_t none = 0;
    while (!stop_.load()) {
        pollfd entries[] = {{a_.Master(), POLLIN, 0}, {b_, POLLIN, 0}};
        if (poll(entries, 2, 20) <= 0) {
            continue;
        }
        // A side whose program has not opened its line yet (or has closed it) hangs up: wait.
        const bool moved =
            Carry(a_.Master(), b_, towardB, swallow) | Carry(b_, a_.Master(), towardA, none);
        if (!moved) {
            usleep(5000);
        }
    }
}

bool LineRelay::Carry(int from, int to, std::mt19937& random, std::size_t& swallow) {
    std::uint8_t buffer[4096];
    const ssize_t count = ::read(from, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    const auto skipped = std::min(static_cast<ssize_t>(swallow), count);
    swallow -= static_cast<std::size_t>(skipped);
    WriteAll(to,
             Faulted(std::span(buffer + skipped, buffer + count), random,
                     static_cast<unsigned>(settings_.perMille)),
             stop_);
    return true;
}

}  // namespace velotrix::test

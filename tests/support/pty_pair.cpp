// The pseudo-terminal pair of the integration tests.
#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace velotrix::test {
namespace {

using Clock = std::chrono::steady_clock;

// True when the master is ready for the events before the deadline.
bool ReadyBefore(int fd, short events, Clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    int result = 0;
    do {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        result =
            poll(&entry, 1, static_cast<int>(std::max<decltype(left.count())>(left.count(), 0)));
    } while (result < 0 && errno == EINTR);
    return result > 0 && (entry.revents & events) != 0;
}

// Up to buffer.size() bytes that arrive before the deadline; 0 when none did or the line is gone.
std::size_t ReadBefore(int fd, std::vector<std::uint8_t>& buffer, Clock::time_point deadline) {
    while (ReadyBefore(fd, POLLIN, deadline)) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0) {
            return static_cast<std::size_t>(count);
        }
        if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return 0;
}

}  // namespace

PtyPair::PtyPair() {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        return;
    }
    // Only the device under test holds the slave open, so that its open, close and exclusivity
    // are what the tests see. The master's own line discipline is raw from the start; termios
    // calls on the master would change the slave, whose cooked defaults the device must undo.
    ::close(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    master_ = master;
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
}

bool PtyPair::Write(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t result = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (result > 0) {
            done += static_cast<std::size_t>(result);
        } else if (result < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!ReadyBefore(master_, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> PtyPair::ReadSome(std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> bytes(4096);
    bytes.resize(ReadBefore(master_, bytes, Clock::now() + timeout));
    return bytes;
}

std::vector<std::uint8_t> PtyPair::ReadExactly(std::size_t count,
                                               std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    for (std::vector<std::uint8_t> more; bytes.size() < count;) {
        more.resize(count - bytes.size());
        more.resize(ReadBefore(master_, more, deadline));
        if (more.empty()) {
            break;
        }
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    return bytes;
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace velotrix::test

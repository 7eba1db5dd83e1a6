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
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return poll(&entry, 1, static_cast<int>(std::max<long>(left.count(), 0))) > 0 &&
           (entry.revents & events) != 0;
}

}  // namespace

PtyPair::PtyPair() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
        master_ = -1;
        return;
    }
    // Only the device under test holds the slave open, so that its open, close and exclusivity
    // are what the tests see. The master's own line discipline is raw from the start.
    ::close(slave);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    slavePath_ = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
}

bool PtyPair::Write(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t result = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (result > 0) {
            done += static_cast<std::size_t>(result);
        } else if ((result < 0 && errno != EAGAIN && errno != EINTR) ||
                   !ReadyBefore(master_, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> PtyPair::Read(std::chrono::milliseconds timeout, std::size_t count) {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> buffer(4096);
    while ((bytes.empty() || bytes.size() < count) && ReadyBefore(master_, POLLIN, deadline)) {
        const std::size_t wanted =
            count == 0 ? buffer.size() : std::min(buffer.size(), count - bytes.size());
        const ssize_t got = ::read(master_, buffer.data(), wanted);
        if (got <= 0 && (got == 0 || (errno != EAGAIN && errno != EINTR))) {
            break;
        }
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + std::max<ssize_t>(got, 0));
    }
    return bytes;
}

std::vector<std::uint8_t> PtyPair::ReadUntilQuiet(std::chrono::milliseconds quiet) {
    std::vector<std::uint8_t> bytes;
    for (std::vector<std::uint8_t> more; !(more = Read(quiet)).empty();) {
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

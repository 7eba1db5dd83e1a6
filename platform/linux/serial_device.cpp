// The serial device on Linux: exclusive raw open, poll-based waits, the driver's error counters.
#include "platform/serial_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/interrupt_targets.h"
#include "platform/linux/serial_errors.h"
#include "platform/linux/serial_termios.h"

namespace velotrix {
namespace {

// How soon a wait notices a CTS change or a counted line error: the driver wakes poll() only for
// data, so the modem lines and counters are looked at between polls.
constexpr int kEventPollMs = 50;
constexpr int kDrainPollMs = 10;

class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

template <typename T>
OsResult<T> Failure(int code, T value = T{}) {
    return {std::move(value), OsError{code, {}}};
}

class PosixSerialDevice final : public SerialDevice {
  public:
    PosixSerialDevice(UniqueFd fd, UniqueFd wake, UniqueFd stopWake)
        : fd_(std::move(fd)), wake_(std::move(wake)), stopWake_(std::move(stopWake)) {
        if (auto counters = ReadCounters(); counters.ok() && counters.value) {
            waitSeen_ = *counters.value;
            taken_ = *counters.value;
        }
        lastStatus_ = ReadModemStatus();
    }

    ~PosixSerialDevice() override {
        StopWritesOnInterrupt(false);
        // A pseudo-terminal's slave outlives our close while its master is open; without this the
        // exclusive flag would refuse the next open.
        ioctl(fd_.get(), TIOCNXCL);
    }

    OsError Configure(const LineSettings& settings) override {
        return ConfigureLine(fd_.get(), settings);
    }

    AppliedSettings ReadBack() const override { return ReadLineSettings(fd_.get()); }

    OsResult<SerialEvents> WaitEvent() override {
        for (;;) {
            // A pseudo-terminal has neither modem lines nor counters: nothing to look at between.
            const bool watched = hasModemLines_.load() || hasCounters_.load();
            pollfd fds[2] = {{fd_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
            if (poll(fds, 2, watched ? kEventPollMs : -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failure<SerialEvents>(errno);
            }
            SerialEvents events;
            if (fds[1].revents & POLLIN) {
                events.cancelled = true;
                return {events, {}};
            }
            // After a hang-up (USB unplug, pty master closed) poll reports the device at once and
            // for ever, and FIONREAD fails with EIO: the wait fails instead of spinning.
            int queued = 0;
            if (ioctl(fd_.get(), FIONREAD, &queued) != 0) {
                return Failure<SerialEvents>(errno);
            }
            events.received = queued > 0;
            const short fault = fds[0].revents & (POLLHUP | POLLERR | POLLNVAL);
            if (fault && !events.received) {
                return Failure<SerialEvents>((fault & POLLNVAL) ? EBADF : EIO);
            }
            if (OsError error = WatchLines(events)) {
                return {events, error};
            }
            if (events.received || events.ctsChanged || events.statusChanged || events.lineError) {
                return {events, {}};
            }
            if (fds[0].revents != 0) {
                // The driver signalled input that is not there (yet): wait out the interval.
                if (WokenWithin(kEventPollMs)) {
                    events.cancelled = true;
                    return {events, {}};
                }
            }
        }
    }

    void CancelWaits() override {
        writesStopped_.store(true);
        // Never drained: every later wait sees it too, and one sent before a wait is not lost.
        const std::uint64_t one = 1;
        while (::write(wake_.get(), &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

    std::size_t QueuedInput() override {
        int queued = 0;
        if (ioctl(fd_.get(), FIONREAD, &queued) != 0 || queued < 0) {
            return 0;
        }
        return static_cast<std::size_t>(queued);
    }

    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        for (;;) {
            const ssize_t count = ::read(fd_.get(), buffer, maxCount);
            if (count >= 0) {
                return {static_cast<std::size_t>(count), {}};
            }
            if (errno == EAGAIN) {
                return {0, {}};
            }
            if (errno != EINTR) {
                return Failure<std::size_t>(errno);
            }
        }
    }

    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        std::size_t written = 0;
        // Nothing more reaches the driver once the port is closing (CancelWaits()) or the program
        // was interrupted.
        while (written < count && !writesStopped_.load()) {
            const ssize_t result = ::write(fd_.get(), bytes + written, count - written);
            if (result > 0) {
                written += static_cast<std::size_t>(result);
                if (writesStopped_.load()) {
                    // Handed over just as the writes stopped, perhaps after the closer's discard:
                    // discarded here, before the byte on the wire has ended.
                    DiscardStopped();
                    break;
                }
                continue;
            }
            if (result < 0 && errno == EINTR) {
                continue;
            }
            if (result < 0 && errno != EAGAIN) {
                return Failure<std::size_t>(errno, written);
            }
            // The driver's queue is full, or CTS holds the line: no time limit, as the line may
            // be held for as long as the other side wishes. A discard does not always wake the
            // wait for room (a pseudo-terminal's does not): stopping the writes wakes it.
            pollfd fds[3] = {
                {fd_.get(), POLLOUT, 0}, {wake_.get(), POLLIN, 0}, {stopWake_.get(), POLLIN, 0}};
            if (poll(fds, 3, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failure<std::size_t>(errno, written);
            }
            if ((fds[1].revents | fds[2].revents) & POLLIN) {
                return {written, {}};
            }
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                return Failure<std::size_t>(EIO, written);
            }
        }
        return {written, {}};
    }

    // Also from the interrupt's handler: an atomic store and a system call.
    void StopWrites() override {
        const int saved = errno;
        writesStopped_.store(true);
        DiscardStopped();
        const std::uint64_t one = 1;
        while (::write(stopWake_.get(), &one, sizeof one) < 0 && errno == EINTR) {
        }
        errno = saved;
    }

    std::size_t TakeStoppedOutput() override { return stoppedOutput_.exchange(0); }

    void StopWritesOnInterrupt(bool armed) override {
        if (armed && interruptSlot_ < 0) {
            interruptSlot_ =
                TheInterruptTargets().Add(InterruptTargets::Phase::kStop, StopOnInterrupt,
                                          reinterpret_cast<std::intptr_t>(this));
        } else if (!armed && interruptSlot_ >= 0) {
            TheInterruptTargets().Remove(std::exchange(interruptSlot_, -1));
        }
    }

    void Drain() override {
        // tcdrain() cannot be interrupted by CancelWaits(), so the output queue is watched.
        for (;;) {
            int pending = 0;
            if (ioctl(fd_.get(), TIOCOUTQ, &pending) != 0 || pending <= 0) {
                return;
            }
            if (WokenWithin(kDrainPollMs)) {
                return;
            }
        }
    }

    std::size_t QueuedOutput() override {
        int pending = 0;
        return ioctl(fd_.get(), TIOCOUTQ, &pending) == 0 && pending > 0
                   ? static_cast<std::size_t>(pending)
                   : 0;
    }

    void Purge(bool input, bool output) override {
        if (input || output) {
            tcflush(fd_.get(), input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH));
        }
    }

    bool Cts() override {
        int lines = 0;
        return ReadModemLines(lines) == 0 && (lines & TIOCM_CTS) != 0;
    }

    ModemStatus ReadModemStatus() override {
        int lines = 0;
        return ReadModemLines(lines) == 0 ? StatusOf(lines) : ModemStatus{};
    }

    OsError SendBreak(std::chrono::milliseconds duration) override {
        // tcsendbreak() cannot be woken by CancelWaits(): the break is set and cleared by hand,
        // after what waits in the queue has left (the break would cut it off).
        Drain();
        if (ioctl(fd_.get(), TIOCSBRK) != 0) {
            return OsError{errno, {}};
        }
        WokenWithin(static_cast<int>(duration.count()));
        if (ioctl(fd_.get(), TIOCCBRK) != 0) {
            return OsError{errno, {}};
        }
        return {};
    }

    OsError SetModemLine(ModemLine line, bool on) override {
        int bits = line == ModemLine::kDtr ? TIOCM_DTR : TIOCM_RTS;
        if (ioctl(fd_.get(), on ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
            return OsError{errno, {}};
        }
        return {};
    }

    std::optional<DrivenLines> ReadDrivenLines() override {
        int lines = 0;
        if (ReadModemLines(lines) != 0) {
            return std::nullopt;
        }
        return DrivenLines{(lines & TIOCM_DTR) != 0, (lines & TIOCM_RTS) != 0};
    }

    LineErrors TakeLineErrors() override {
        std::lock_guard lock(mutex_);
        const OsResult<std::optional<serial_icounter_struct>> counters = ReadCounters();
        if (!counters.ok() || !counters.value) {
            return {};
        }
        const LineErrors errors = LineErrorsBetween(taken_, *counters.value);
        taken_ = *counters.value;
        return errors;
    }

  private:
    // Counts what waits in the driver and throws it away; an ioctl and an atomic add, so that
    // the interrupt's handler may do it too.
    void DiscardStopped() {
        int pending = 0;
        if (ioctl(fd_.get(), TIOCOUTQ, &pending) == 0 && pending > 0) {
            stoppedOutput_.fetch_add(static_cast<std::size_t>(pending));
        }
        tcflush(fd_.get(), TCOFLUSH);
    }

    static void StopOnInterrupt(std::intptr_t self) {
        reinterpret_cast<PosixSerialDevice*>(self)->StopWrites();
    }

    // True when CancelWaits() was called or is called within the time.
    bool WokenWithin(int milliseconds) const {
        pollfd wake{wake_.get(), POLLIN, 0};
        return poll(&wake, 1, milliseconds) > 0;
    }

    // 0 with the modem lines, or the errno. A pseudo-terminal has no modem lines.
    int ReadModemLines(int& lines) const {
        if (!hasModemLines_.load()) {
            return ENOTTY;
        }
        if (ioctl(fd_.get(), TIOCMGET, &lines) == 0) {
            return 0;
        }
        const int code = errno;
        if (NotSupported(code)) {
            hasModemLines_.store(false);
        }
        return code;
    }

    // The driver's error and CTS counters; none for pseudo-terminals and USB chips that keep no
    // counters (they report no line errors), an error when the device is gone.
    OsResult<std::optional<serial_icounter_struct>> ReadCounters() const {
        if (!hasCounters_.load()) {
            return {};
        }
        serial_icounter_struct counters{};
        if (ioctl(fd_.get(), TIOCGICOUNT, &counters) == 0) {
            return {counters, {}};
        }
        const int code = errno;
        if (NotSupported(code)) {
            hasCounters_.store(false);
            return {};
        }
        return Failure<std::optional<serial_icounter_struct>>(code);
    }

    static ModemStatus StatusOf(int lines) {
        return {(lines & TIOCM_CTS) != 0, (lines & TIOCM_DSR) != 0, (lines & TIOCM_CAR) != 0,
                (lines & TIOCM_RNG) != 0};
    }

    // Sets ctsChanged, statusChanged and lineError from what changed since the last wait. The
    // driver's counters tell of a change even when the line is back by the time it is looked at
    // (a ring's short pulses); TIOCMIWAIT would tell too, but no close could wake it.
    OsError WatchLines(SerialEvents& events) {
        std::lock_guard lock(mutex_);
        const OsResult<std::optional<serial_icounter_struct>> counters = ReadCounters();
        if (!counters.ok()) {
            return counters.error;
        }
        if (counters.value) {
            events.lineError = LineErrorsBetween(waitSeen_, *counters.value).Any();
            events.ctsChanged = counters.value->cts != waitSeen_.cts;
            events.statusChanged = counters.value->dsr != waitSeen_.dsr ||
                                   counters.value->dcd != waitSeen_.dcd ||
                                   counters.value->rng != waitSeen_.rng;
            waitSeen_ = *counters.value;
        }
        int lines = 0;
        const int code = ReadModemLines(lines);
        if (code != 0 && !NotSupported(code)) {
            return OsError{code, {}};
        }
        const ModemStatus status = code == 0 ? StatusOf(lines) : ModemStatus{};
        events.ctsChanged = events.ctsChanged || status.cts != lastStatus_.cts;
        events.statusChanged = events.statusChanged || status.dsr != lastStatus_.dsr ||
                               status.dcd != lastStatus_.dcd || status.ri != lastStatus_.ri;
        lastStatus_ = status;
        return {};
    }

    UniqueFd fd_;
    UniqueFd wake_;      // CancelWaits()
    UniqueFd stopWake_;  // StopWrites()
    std::atomic<bool> writesStopped_{false};
    std::atomic<std::size_t> stoppedOutput_{0};
    int interruptSlot_ = -1;
    mutable std::atomic<bool> hasModemLines_{true};
    mutable std::atomic<bool> hasCounters_{true};
    std::mutex mutex_;
    serial_icounter_struct waitSeen_{};  // counters at the last wait
    serial_icounter_struct taken_{};     // counters at the last TakeLineErrors()
    ModemStatus lastStatus_;
};

}  // namespace

OsResult<std::unique_ptr<SerialDevice>> OpenSerialDevice(const std::string& path) {
    using Result = OsResult<std::unique_ptr<SerialDevice>>;
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        const int code = errno;
        const bool denied = code == EACCES || code == EPERM;
        return Result{nullptr, OsError{code, denied ? PermissionHint(path) : std::string()}};
    }
    if (!isatty(fd.get())) {
        return Failure<std::unique_ptr<SerialDevice>>(ENOTTY);
    }
    // The lock comes first: a refused second open must not touch the holder's exclusive flag.
    // TIOCEXCL refuses further opens of the tty, except by root; the lock also refuses them to
    // root and to other programs that lock serial devices the same way.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return Failure<std::unique_ptr<SerialDevice>>(errno == EWOULDBLOCK ? EBUSY : errno);
    }
    UniqueFd wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    UniqueFd stopWake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (wake.get() < 0 || stopWake.get() < 0 || ioctl(fd.get(), TIOCEXCL) != 0) {
        return Failure<std::unique_ptr<SerialDevice>>(errno);
    }
    return Result{
        std::make_unique<PosixSerialDevice>(std::move(fd), std::move(wake), std::move(stopWake)),
        {}};
}

}  // namespace velotrix

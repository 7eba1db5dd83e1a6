// The serial device on Windows: a COM port opened for overlapped I/O, the DCB from the line
// settings, a read-based wait for data, and the driver's modem status and error flags.
#include "platform/serial_device.h"

#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>

#include <atomic>
#include <cstdint>
#include <cwctype>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "platform/interrupt_targets.h"
#include "platform/win32/handles.h"
#include "platform/win32/serial_dcb.h"
#include "platform/win32/wide_text.h"

namespace velotrix {
namespace {

// How soon a wait notices a CTS change or a line error: the driver's flags are looked at between
// waits for data. Drain watches the output queue every millisecond, so that a character delay
// begins when the byte has left, not up to a poll later.
constexpr DWORD kEventPollMs = 50;
constexpr DWORD kDrainPollMs = 1;
// A read of bytes already queued returns at once; this only bounds one that a purge emptied.
constexpr DWORD kQueuedReadMs = 200;

// Windows' timers tick every 15.6 ms unless a program asks for more: while a port is open its
// waits (the character delay, the sender's sleep while the driver's queue drains) last the time
// they ask for, within a millisecond.
class FineTimer {
  public:
    FineTimer() : fine_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimer() {
        if (fine_) {
            timeEndPeriod(1);
        }
    }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;

  private:
    bool fine_;
};

template <typename T>
OsResult<T> Failure(DWORD code, T value = T{}) {
    return {std::move(value), OsError{static_cast<int>(code), {}}};
}

// The error of a failed call on an open port. Windows answers "access denied" once the adapter
// behind an open port has been pulled out: that is reported as the device being gone.
DWORD IoError() {
    const DWORD code = GetLastError();
    return code == ERROR_ACCESS_DENIED ? ERROR_DEVICE_NOT_CONNECTED : code;
}

// "COM5" opens as "\\.\COM5": the bare name reaches only COM1 to COM9.
std::wstring DevicePath(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    const bool bareComName = wide.size() > 3 && _wcsnicmp(wide.c_str(), L"COM", 3) == 0 &&
                             wide.find_first_not_of(L"0123456789", 3) == std::wstring::npos;
    return bareComName ? L"\\\\.\\" + wide : wide;
}

// The name under which an open port is claimed. Windows refuses a second open of a COM port by
// itself; Wine does not, and two programs would share one line without the claim.
std::wstring ClaimName(const std::wstring& devicePath) {
    std::wstring name = L"Local\\Velotrix port ";
    for (wchar_t c : devicePath) {
        name.push_back(c == L'\\' ? L'/' : static_cast<wchar_t>(towupper(c)));
    }
    return name;
}

void Add(LineErrors& into, const LineErrors& more) {
    into.framing = into.framing || more.framing;
    into.parity = into.parity || more.parity;
    into.overrun = into.overrun || more.overrun;
    into.brk = into.brk || more.brk;
}

// One overlapped operation with its own event.
struct Operation {
    Operation() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        overlapped.hEvent = event.get();
    }
    UniqueHandle event;
    OVERLAPPED overlapped{};
};

class Win32SerialDevice final : public SerialDevice {
  public:
    Win32SerialDevice(UniqueHandle port, UniqueHandle claim)
        : port_(std::move(port)),
          claim_(std::move(claim)),
          cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        lastStatus_ = ReadModemStatus();
    }

    ~Win32SerialDevice() override { StopWritesOnInterrupt(false); }

    bool Ready() const {
        return cancel_.valid() && wait_.event.valid() && read_.event.valid() &&
               write_.event.valid();
    }

    OsError Configure(const LineSettings& settings) override {
        return ApplyLineSettings(port_.get(), settings);
    }

    AppliedSettings ReadBack() const override { return ReadLineSettings(port_.get()); }

    // Waits with a one-byte overlapped read: every driver supports it, unlike WaitCommEvent. The
    // byte it takes goes to the front of what Read() hands out.
    OsResult<SerialEvents> WaitEvent() override {
        bool pending = false;
        for (;;) {
            SerialEvents events;
            if (OsError error = WatchLines(events)) {
                return FinishWait(pending, events, error);
            }
            if (cancelled_.load() || events.received || events.ctsChanged || events.statusChanged ||
                events.lineError) {
                return FinishWait(pending, events, {});
            }
            if (!pending) {
                if (!ReadFile(port_.get(), &waitByte_, 1, nullptr, &wait_.overlapped) &&
                    GetLastError() != ERROR_IO_PENDING) {
                    return Failure<SerialEvents>(IoError());
                }
                pending = true;
            }
            const HANDLE handles[] = {wait_.event.get(), cancel_.get()};
            const DWORD woken =
                WaitForMultipleObjects(2, handles, FALSE, LinesWatched() ? kEventPollMs : INFINITE);
            if (woken == WAIT_OBJECT_0) {
                pending = false;
                if (OsError error = TakeWaitByte(false)) {
                    return {events, error};
                }
            }
        }
    }

    void CancelWaits() override {
        // Never reset: every later wait sees it too, and one sent before a wait is not lost.
        writesStopped_.store(true);
        cancelled_.store(true);
        SetEvent(cancel_.get());
    }

    std::size_t QueuedInput() override {
        COMSTAT status{};
        const bool known = ReadErrors(&status) == 0;
        std::lock_guard lock(mutex_);
        return taken_.size() + (known ? status.cbInQue : 0);
    }

    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        std::size_t count = 0;
        {
            std::lock_guard lock(mutex_);
            for (; count < maxCount && !taken_.empty(); ++count) {
                buffer[count] = taken_.front();
                taken_.pop_front();
            }
        }
        COMSTAT status{};
        if (const DWORD code = ReadErrors(&status); code != 0 && code != ERROR_NOT_SUPPORTED) {
            return Failure<std::size_t>(code, count);
        }
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(maxCount - count, status.cbInQue));
        if (wanted == 0) {
            return {count, {}};
        }
        DWORD got = 0;
        const DWORD code = Transfer(read_, got, kQueuedReadMs, [&](OVERLAPPED* o) {
            return ReadFile(port_.get(), buffer + count, wanted, nullptr, o);
        });
        count += got;
        return code == 0 ? OsResult<std::size_t>{count, {}} : Failure<std::size_t>(code, count);
    }

    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        std::size_t written = 0;
        while (written < count && !writesStopped_.load()) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(count - written, 1u << 20));
            DWORD done = 0;
            // No time limit: CTS may hold the line for as long as the other side wishes.
            const DWORD code = Transfer(write_, done, INFINITE, [&](OVERLAPPED* o) {
                const BOOL started = WriteFile(port_.get(), bytes + written, chunk, nullptr, o);
                if (!started && GetLastError() == ERROR_IO_PENDING && writesStopped_.load()) {
                    // Stopped after the check above: StopWrites may have cancelled too early.
                    CancelIoEx(port_.get(), o);
                    SetLastError(ERROR_IO_PENDING);
                }
                return started;
            });
            written += done;
            if (code != 0) {
                return Failure<std::size_t>(code, written);
            }
            if (writesStopped_.load()) {
                // Handed over just as the writes stopped, perhaps after the closer's discard.
                DiscardStopped();
            }
        }
        return {written, {}};
    }

    // Also from the console's interrupt handler (a thread of the system's).
    void StopWrites() override {
        writesStopped_.store(true);
        DiscardStopped();
        // Not every driver ends a pending write on the purge (Wine's does not).
        CancelIoEx(port_.get(), &write_.overlapped);
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
        // FlushFileBuffers cannot be cancelled, so it comes only once the driver's queue is empty.
        for (;;) {
            COMSTAT status{};
            if (ReadErrors(&status) != 0 || status.cbOutQue == 0) {
                break;
            }
            if (WaitForSingleObject(cancel_.get(), kDrainPollMs) == WAIT_OBJECT_0) {
                return;
            }
        }
        FlushFileBuffers(port_.get());
    }

    std::size_t QueuedOutput() override {
        COMSTAT status{};
        return ReadErrors(&status) == 0 ? status.cbOutQue : 0;
    }

    void Purge(bool input, bool output) override {
        // Output: the write under way is aborted too, so that the line stops at once.
        const DWORD flags =
            (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXABORT | PURGE_TXCLEAR : 0);
        if (flags != 0) {
            PurgeComm(port_.get(), flags);
        }
        if (input) {
            std::lock_guard lock(mutex_);
            taken_.clear();
        }
    }

    bool Cts() override {
        DWORD lines = 0;
        return ReadModemLines(lines) == 0 && (lines & MS_CTS_ON) != 0;
    }

    ModemStatus ReadModemStatus() override {
        DWORD lines = 0;
        return ReadModemLines(lines) == 0 ? StatusOf(lines) : ModemStatus{};
    }

    OsError SendBreak(std::chrono::milliseconds duration) override {
        // What waits in the queue leaves first: the break would cut it off.
        Drain();
        if (!SetCommBreak(port_.get())) {
            return OsError{static_cast<int>(IoError()), {}};
        }
        WaitForSingleObject(cancel_.get(), static_cast<DWORD>(duration.count()));
        if (!ClearCommBreak(port_.get())) {
            return OsError{static_cast<int>(IoError()), {}};
        }
        return {};
    }

    OsError SetModemLine(ModemLine line, bool on) override {
        const DWORD function =
            line == ModemLine::kDtr ? (on ? SETDTR : CLRDTR) : (on ? SETRTS : CLRRTS);
        if (!EscapeCommFunction(port_.get(), function)) {
            return OsError{static_cast<int>(IoError()), {}};
        }
        return {};
    }

    LineErrors TakeLineErrors() override {
        ReadErrors(nullptr);
        std::lock_guard lock(mutex_);
        return std::exchange(errorsToTake_, LineErrors{});
    }

  private:
    static void StopOnInterrupt(std::intptr_t self) {
        reinterpret_cast<Win32SerialDevice*>(self)->StopWrites();
    }

    // Runs one overlapped read or write to its end, or cancels it when CancelWaits() is called or
    // the time is up; done receives what was transferred. 0 or the error code.
    template <typename Start>
    DWORD Transfer(Operation& operation, DWORD& done, DWORD timeoutMs, Start start) {
        done = 0;
        if (!start(&operation.overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) {
                return IoError();
            }
            const HANDLE handles[] = {operation.event.get(), cancel_.get()};
            if (WaitForMultipleObjects(2, handles, FALSE, timeoutMs) != WAIT_OBJECT_0) {
                CancelIoEx(port_.get(), &operation.overlapped);
            }
        }
        // Done at once or waited for: the result is there, or comes with the cancel.
        if (!GetOverlappedResult(port_.get(), &operation.overlapped, &done, TRUE) &&
            GetLastError() != ERROR_OPERATION_ABORTED) {
            return IoError();
        }
        return 0;
    }

    // Ends the wait: a read still pending is cancelled, and a byte it took is kept.
    OsResult<SerialEvents> FinishWait(bool pending, SerialEvents events, OsError error) {
        if (pending) {
            CancelIoEx(port_.get(), &wait_.overlapped);
            if (OsError taken = TakeWaitByte(true); taken && !error) {
                error = taken;
            }
        }
        std::lock_guard lock(mutex_);
        events.received = events.received || !taken_.empty();
        events.cancelled = cancelled_.load();
        return {events, error};
    }

    OsError TakeWaitByte(bool cancelledRead) {
        DWORD got = 0;
        if (!GetOverlappedResult(port_.get(), &wait_.overlapped, &got, TRUE)) {
            const DWORD code = IoError();
            if (!(cancelledRead && code == ERROR_OPERATION_ABORTED)) {
                return OsError{static_cast<int>(code), {}};
            }
        }
        if (got == 1) {
            std::lock_guard lock(mutex_);
            taken_.push_back(waitByte_);
        }
        return {};
    }

    bool LinesWatched() const { return hasErrorFlags_.load() || hasModemLines_.load(); }

    // ClearCommError: the line errors since its last call (collected for both readers of them)
    // and the queue sizes. 0 or the error code; drivers without it answer ERROR_NOT_SUPPORTED.
    // Counts what waits in the driver and throws it away, the write under way included.
    void DiscardStopped() {
        stoppedOutput_ += QueuedOutput();
        PurgeComm(port_.get(), PURGE_TXABORT | PURGE_TXCLEAR);
    }

    DWORD ReadErrors(COMSTAT* status) {
        if (!hasErrorFlags_.load()) {
            return ERROR_NOT_SUPPORTED;
        }
        DWORD flags = 0;
        if (!ClearCommError(port_.get(), &flags, status)) {
            const DWORD code = IoError();
            hasErrorFlags_.store(code != ERROR_NOT_SUPPORTED);
            return code;
        }
        if (flags != 0) {
            std::lock_guard lock(mutex_);
            Add(errorsToTake_, LineErrorsOf(flags));
            Add(errorsToWait_, LineErrorsOf(flags));
        }
        return 0;
    }

    // 0 with the modem lines, or the error code. Pseudo-terminals under Wine and some virtual
    // ports have no modem lines: "not supported" means no CTS information, not a failure.
    DWORD ReadModemLines(DWORD& lines) {
        if (!hasModemLines_.load()) {
            return ERROR_NOT_SUPPORTED;
        }
        if (GetCommModemStatus(port_.get(), &lines)) {
            return 0;
        }
        const DWORD code = IoError();
        hasModemLines_.store(code != ERROR_NOT_SUPPORTED);
        return code;
    }

    static ModemStatus StatusOf(DWORD lines) {
        return {(lines & MS_CTS_ON) != 0, (lines & MS_DSR_ON) != 0, (lines & MS_RLSD_ON) != 0,
                (lines & MS_RING_ON) != 0};
    }

    // Sets received, ctsChanged, statusChanged and lineError from what the driver holds now.
    // GetCommModemStatus is asked between short waits (as WaitCommEvent, which not every driver
    // supports, would tell of EV_CTS, EV_DSR, EV_RLSD and EV_RING).
    OsError WatchLines(SerialEvents& events) {
        COMSTAT status{};
        DWORD code = ReadErrors(&status);
        if (code != 0 && code != ERROR_NOT_SUPPORTED) {
            return OsError{static_cast<int>(code), {}};
        }
        events.received = code == 0 && status.cbInQue > 0;
        {
            std::lock_guard lock(mutex_);
            events.received = events.received || !taken_.empty();
            events.lineError = std::exchange(errorsToWait_, LineErrors{}).Any();
        }
        DWORD lines = 0;
        code = ReadModemLines(lines);
        if (code != 0 && code != ERROR_NOT_SUPPORTED) {
            return OsError{static_cast<int>(code), {}};
        }
        const ModemStatus modem = code == 0 ? StatusOf(lines) : ModemStatus{};
        events.ctsChanged = modem.cts != lastStatus_.cts;
        events.statusChanged = modem.dsr != lastStatus_.dsr || modem.dcd != lastStatus_.dcd ||
                               modem.ri != lastStatus_.ri;
        lastStatus_ = modem;
        return {};
    }

    UniqueHandle port_;
    UniqueHandle claim_;
    FineTimer fineTimer_;
    UniqueHandle cancel_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> writesStopped_{false};
    std::atomic<std::size_t> stoppedOutput_{0};
    int interruptSlot_ = -1;
    std::atomic<bool> hasErrorFlags_{true};
    std::atomic<bool> hasModemLines_{true};
    Operation wait_;
    Operation read_;
    Operation write_;
    std::uint8_t waitByte_ = 0;
    std::mutex mutex_;
    std::deque<std::uint8_t> taken_;  // bytes the wait read took, handed out first
    LineErrors errorsToWait_;         // since the last wait looked
    LineErrors errorsToTake_;         // since the last TakeLineErrors()
    ModemStatus lastStatus_;
};

}  // namespace

OsResult<std::unique_ptr<SerialDevice>> OpenSerialDevice(const std::string& path) {
    using Result = OsResult<std::unique_ptr<SerialDevice>>;
    if (path.empty()) {
        return Failure<std::unique_ptr<SerialDevice>>(ERROR_FILE_NOT_FOUND);
    }
    const std::wstring device = DevicePath(path);
    UniqueHandle claim(CreateMutexW(nullptr, FALSE, ClaimName(device).c_str()));
    if (claim.valid() && GetLastError() == ERROR_ALREADY_EXISTS) {
        return Failure<std::unique_ptr<SerialDevice>>(ERROR_SHARING_VIOLATION);
    }
    // A COM port allows one open handle: a port in use elsewhere is refused here, with "access
    // denied", which for a port means that another program holds it; the person reads "belegt".
    UniqueHandle port(CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!port.valid()) {
        const DWORD code = GetLastError();
        return Failure<std::unique_ptr<SerialDevice>>(
            code == ERROR_ACCESS_DENIED ? ERROR_SHARING_VIOLATION : code);
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (GetFileType(port.get()) != FILE_TYPE_CHAR || !GetCommState(port.get(), &dcb)) {
        return Failure<std::unique_ptr<SerialDevice>>(ERROR_INVALID_FUNCTION);
    }
    // No time limits at all: a read waits for as many bytes as it asks for, and only asks for what
    // is queued (or one byte, to wait); a write waits for as long as CTS holds it.
    COMMTIMEOUTS timeouts{};
    if (!SetCommTimeouts(port.get(), &timeouts)) {
        return Failure<std::unique_ptr<SerialDevice>>(GetLastError());
    }
    auto opened = std::make_unique<Win32SerialDevice>(std::move(port), std::move(claim));
    if (!opened->Ready()) {
        return Failure<std::unique_ptr<SerialDevice>>(GetLastError());
    }
    return Result{std::move(opened), {}};
}

}  // namespace velotrix

// An open serial device as the serial link uses it: configure, wait for events, read, write, purge.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velotrix {

enum class Parity { kNone, kOdd, kEven };

// The port and its line settings. An empty optional keeps what the port had.
struct LineSettings {
    std::string port;  // the device's path
    std::uint32_t baudRate = 0;
    std::optional<Parity> parity;
    std::optional<int> dataBits;  // 7 or 8
    std::optional<int> stopBits;  // 1 or 2
    std::optional<bool> ctsFlow;
};

// The rate a UART makes of the rate asked for when it divides the base rate of its clock by a
// whole number, rounded to the nearest (a PC's 16550: 115200, so 8065 becomes 8229).
constexpr std::uint32_t DividedRate(std::uint32_t baseRate, std::uint32_t rate) {
    if (baseRate == 0 || rate == 0) {
        return rate;
    }
    const std::uint32_t divisor = (baseRate + rate / 2) / rate;
    return divisor == 0 ? baseRate : (baseRate + divisor / 2) / divisor;
}

// What the driver actually made of the settings, read back after configuring.
struct AppliedSettings {
    std::uint32_t baudRate = 0;
    Parity parity = Parity::kNone;
    int dataBits = 8;
    int stopBits = 1;
    bool ctsFlow = false;
};

// The bits one byte takes on the line: start, data, parity and stop bits.
inline int BitsPerByte(const AppliedSettings& applied) {
    return 1 + applied.dataBits + (applied.parity == Parity::kNone ? 0 : 1) + applied.stopBits;
}

// The modem control lines the PC drives. Opening a port raises both.
enum class ModemLine { kDtr, kRts };
struct DrivenLines {
    bool dtr = false;
    bool rts = false;
    bool operator==(const DrivenLines&) const = default;
};

struct LineErrors {
    bool framing = false;
    bool parity = false;
    bool overrun = false;
    bool brk = false;
    bool Any() const { return framing || parity || overrun || brk; }
};

// The status lines the other side drives, as the PC sees them; all low on a device without modem
// lines (a pseudo-terminal).
struct ModemStatus {
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool ri = false;
    friend bool operator==(const ModemStatus&, const ModemStatus&) = default;
};

// What ended an event wait. More than one flag can be set.
struct SerialEvents {
    bool received = false;       // bytes are queued for reading
    bool ctsChanged = false;     // the CTS line changed
    bool statusChanged = false;  // DSR, DCD or RI changed (or rang between two looks)
    bool lineError = false;      // the driver counted a line error
    bool cancelled = false;      // CancelWaits() was called
};

// An operating-system error: the OS's error number (0 for none) and an optional extra hint for
// the user.
struct OsError {
    int code = 0;
    std::string hint;
    explicit operator bool() const { return code != 0; }
};

// What an error means for the program, beyond the OS's own text.
enum class OsErrorKind {
    kOther,
    kDeviceGone,  // unplugged or hung up: nothing more passes until it is opened again
    kNotSerial,   // the path names something that is not a serial device
    kBusy,        // another program (or this one) holds the device
    kNoPermission,
};
OsErrorKind KindOf(const OsError& error);

template <typename T>
struct OsResult {
    T value{};
    OsError error;
    bool ok() const { return !error; }
};

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Raw 8-bit-clean mode plus the given settings; everything else stays as the port had it.
    virtual OsError Configure(const LineSettings& settings) = 0;
    virtual AppliedSettings ReadBack() const = 0;

    // Blocks until bytes are queued, CTS changes, a line error is counted, or CancelWaits() was
    // called (before or during the wait). A failed wait (the device vanished, a hang-up) is an
    // error.
    virtual OsResult<SerialEvents> WaitEvent() = 0;
    // From any thread: every blocking call (WaitEvent, Write) returns at once, now and from then
    // on.
    virtual void CancelWaits() = 0;

    virtual std::size_t QueuedInput() = 0;
    // Reads at most maxCount queued bytes without blocking.
    virtual OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) = 0;
    // Writes all count bytes, blocking while the driver or CTS flow control holds them back;
    // returns early with what was written when CancelWaits() or StopWrites() is called, or an
    // interrupt stopped the device.
    virtual OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) = 0;
    // From any thread: from now on Write takes no byte more, and what waits in the driver to be
    // sent is thrown away, so that a send stops on the wire with the byte in progress.
    virtual void StopWrites() = 0;
    // While armed, an interrupt the process catches (CatchInterrupts) does what StopWrites does,
    // from within its handler, before the program's threads learn of it. A send arms it; a
    // protocol that must still say goodbye on an interrupt (XMODEM's cancel) does not.
    virtual void StopWritesOnInterrupt(bool armed) = 0;
    // The bytes StopWrites (or an interrupt) threw away from the driver's queue since the last
    // call: written, but they never left. 0 where the driver cannot tell its queue's level.
    virtual std::size_t TakeStoppedOutput() { return 0; }
    // Blocks until everything written has left the driver (or CancelWaits()).
    virtual void Drain() = 0;
    // Bytes written but still waiting in the driver to leave; 0 where the driver cannot tell.
    virtual std::size_t QueuedOutput() { return 0; }
    virtual void Purge(bool input, bool output) = 0;
    virtual bool Cts() = 0;
    virtual ModemStatus ReadModemStatus() = 0;
    // Holds TX in the break state (space) for the duration, then releases it; ends the break early
    // when CancelWaits() is called. Written bytes still queued leave first.
    virtual OsError SendBreak(std::chrono::milliseconds duration) = 0;
    // Raises (on) or drops DTR or RTS. Under CTS flow control RTS stays the program's to set: the
    // flow control governs only when the PC may send.
    virtual OsError SetModemLine(ModemLine line, bool on) = 0;
    // DTR and RTS as the driver holds them now; nothing where it does not tell (a
    // pseudo-terminal has no modem lines, Windows reports only the lines the PC reads).
    virtual std::optional<DrivenLines> ReadDrivenLines() { return std::nullopt; }
    // The line errors counted since the last call.
    virtual LineErrors TakeLineErrors() = 0;
};

// Opens a device by path exclusively, non-blocking, without making it the controlling terminal.
// On failure the error carries errno; for a permission error a hint names the owning group.
OsResult<std::unique_ptr<SerialDevice>> OpenSerialDevice(const std::string& path);

// Whether a port can be opened now, as far as the system tells without opening it.
enum class PortAccess {
    kFree,          // nothing speaks against it
    kBusy,          // a lock file or another program's open file says it is in use
    kNoPermission,  // its mode and the user's groups do not allow it
    kConsole,       // the kernel's console: never opened
};

// The program that holds a busy port, where the system tells.
struct PortHolder {
    std::string program;  // empty where the system does not tell
    int pid = 0;          // 0 where the system does not tell
};

struct PortInfo {
    std::string name;  // shown in the port list, e.g. "ttyUSB0"
    std::string path;  // opened, e.g. "/dev/ttyUSB0"
    // What the system tells of the adapter (UTF-8), e.g. "FTDI FT232R USB UART"; may be empty.
    std::string description = {};
    std::string serialNumber = {};  // the adapter's own serial number, where it has one
    PortAccess access = PortAccess::kFree;
    std::string holder = {};  // the program that holds a busy port, where the system tells
    int holderPid = 0;
    std::string stableLink = {};  // a link that names the adapter itself (/dev/serial/by-id/...)
};

// Who holds the device at path, as far as the system tells. Asked only after an open found the
// device busy: on Linux it reads the open files of every process the user may see.
PortHolder FindPortHolder(const std::string& path);

// The group whose members may open the device (read and write it), where the system has such a
// thing; else empty.
std::string OwningGroup(const std::string& path);
// The user who alone may open the device, since no group may: membership of a group would not
// help. Empty where the system has no such thing, or a group may open it.
std::string SoleOwner(const std::string& path);

// The serial devices that exist, found without opening any of them (opening a tty raises DTR and
// RTS, which resets many boards), each with what the system tells of its use at little cost (lock
// files and locks name a busy port's holder; FindPortHolder looks further): the paths named in
// the environment variable VELOTRIX_PORTS (colon-separated) first, as the user named them on
// purpose, then the system's in a stable order.
std::vector<PortInfo> ListSerialDevices();

// True when the path is a link that names one device on purpose (/dev/serial/by-id/..., a link
// made for a virtual null-modem); such a name does not pass to another device by itself.
bool IsNamedLink(const std::string& path);

// The port a user named: a path stays a path; a name is looked up among the serial devices and is
// otherwise taken as a device name of the system (ttyUSB0 on POSIX).
PortInfo ResolvePort(const std::string& nameOrPath);

}  // namespace velotrix

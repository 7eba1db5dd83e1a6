// The termios side of a serial device: baud constants, character size, raw mode and parity, and
// the line's settings made and read back.
#include "platform/linux/serial_termios.h"

#include <sys/ioctl.h>

#include <cerrno>

#include "platform/linux/serial_errors.h"
#include "platform/linux/serial_termios2.h"

namespace velotrix {

namespace {

struct BaudConstant {
    std::uint32_t rate;
    speed_t constant;
};

constexpr BaudConstant kBaudConstants[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

}  // namespace

std::optional<speed_t> ConstantForRate(std::uint32_t rate) {
    for (const BaudConstant& entry : kBaudConstants) {
        if (entry.rate == rate) {
            return entry.constant;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> RateForConstant(speed_t constant) {
    for (const BaudConstant& entry : kBaudConstants) {
        if (entry.constant == constant) {
            return entry.rate;
        }
    }
    return std::nullopt;
}

std::optional<tcflag_t> CharacterSize(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            return std::nullopt;
    }
}

int DataBitsOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

// Raw, 8-bit clean: no echo, no CR/LF translation, no signals, no software flow control, and
// reads that return at once with what is queued.
void MakeRaw(termios& t) {
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

void ApplyParity(termios& t, Parity parity) {
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (parity == Parity::kNone) {
        return;
    }
    t.c_cflag |= PARENB;
    if (parity == Parity::kOdd) {
        t.c_cflag |= PARODD;
    }
    t.c_iflag |= INPCK;
}

std::uint32_t RateOnTheLine(const serial_struct& port, std::uint32_t rate) {
    // The uapi header numbers the 8250 family's types from PORT_8250 to PORT_MAX; USB adapters
    // report none (their chips divide other clocks, in their own steps).
    const bool divides = port.type >= PORT_8250 && port.type <= PORT_MAX && port.baud_base > 0;
    return divides ? DividedRate(static_cast<std::uint32_t>(port.baud_base), rate) : rate;
}

LineErrors LineErrorsBetween(const serial_icounter_struct& before,
                             const serial_icounter_struct& now) {
    LineErrors errors;
    errors.framing = now.frame != before.frame;
    errors.parity = now.parity != before.parity;
    errors.overrun = now.overrun != before.overrun || now.buf_overrun != before.buf_overrun;
    errors.brk = now.brk != before.brk;
    return errors;
}

OsError ConfigureLine(int fd, const LineSettings& settings) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return OsError{errno, {}};
    }
    MakeRaw(t);
    if (settings.parity) {
        ApplyParity(t, *settings.parity);
    }
    if (settings.dataBits) {
        const std::optional<tcflag_t> size = CharacterSize(*settings.dataBits);
        if (!size) {
            return OsError{EINVAL, {}};
        }
        t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | *size;
    }
    if (settings.stopBits) {
        if (*settings.stopBits != 1 && *settings.stopBits != 2) {
            return OsError{EINVAL, {}};
        }
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
        if (*settings.stopBits == 2) {
            t.c_cflag |= CSTOPB;
        }
    }
    if (settings.ctsFlow) {
        // Linux knows only RTS/CTS together: with CTS flow on, the driver also drops RTS when
        // its input buffer is full, which a sender that watches RTS simply obeys.
        t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
        if (*settings.ctsFlow) {
            t.c_cflag |= CRTSCTS;
        }
    }
    // Rate 0 is what an empty baud selection gives; on POSIX B0 would hang up the line (drop
    // DTR), so the port keeps its speed instead.
    const std::optional<speed_t> constant =
        settings.baudRate != 0 ? ConstantForRate(settings.baudRate) : std::nullopt;
    if (constant) {
        cfsetospeed(&t, *constant);
        cfsetispeed(&t, *constant);
    }
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        return OsError{errno, {}};
    }
    if (settings.baudRate != 0 && !constant) {
        const int code = SetArbitraryBaud(fd, settings.baudRate);
        if (code != 0) {
            return OsError{NotSupported(code) ? EINVAL : code, {}};
        }
    }
    return {};
}

AppliedSettings ReadLineSettings(int fd) {
    AppliedSettings applied;
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return applied;
    }
    applied.baudRate = RateForConstant(cfgetospeed(&t)).value_or(0);
    if (applied.baudRate == 0) {
        applied.baudRate = ReadArbitraryBaud(fd);
    }
    serial_struct port{};
    if (ioctl(fd, TIOCGSERIAL, &port) == 0) {
        applied.baudRate = RateOnTheLine(port, applied.baudRate);
    }
    if (t.c_cflag & PARENB) {
        applied.parity = (t.c_cflag & PARODD) ? Parity::kOdd : Parity::kEven;
    }
    applied.dataBits = DataBitsOf(t.c_cflag);
    applied.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    applied.ctsFlow = (t.c_cflag & CRTSCTS) != 0;
    return applied;
}

}  // namespace velotrix

// Linux termios2 (BOTHER): kept apart because <asm/termbits.h> clashes with <termios.h>.
#include "platform/linux/serial_termios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace velotrix {

int SetArbitraryBaud(int fd, std::uint32_t baud) {
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0) {
        return errno;
    }
    // A zero input-speed field makes the input speed follow the output speed.
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ospeed = baud;
    settings.c_ispeed = baud;
    if (ioctl(fd, TCSETS2, &settings) != 0) {
        return errno;
    }
    return 0;
}

std::uint32_t ReadArbitraryBaud(int fd) {
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0) {
        return 0;
    }
    return settings.c_ospeed;
}

}  // namespace velotrix

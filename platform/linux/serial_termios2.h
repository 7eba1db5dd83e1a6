// Baud rates without a B-constant, set and read as plain numbers through Linux termios2.
#pragma once

#include <cstdint>

namespace velotrix {

// Sets input and output speed of the open tty to baud; 0 on success, else the errno.
int SetArbitraryBaud(int fd, std::uint32_t baud);
// The output speed the driver holds, as a number; 0 when it cannot be read.
std::uint32_t ReadArbitraryBaud(int fd);

}  // namespace velotrix

// The yardstick of the send benchmark: a plain program that writes COUNT bytes to a serial device
// with one write() call per byte, as the simplest C program would, and waits until they left.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const int fd = open(argv[1], O_RDWR | O_NOCTTY);
    termios raw{};
    if (fd < 0 || tcgetattr(fd, &raw) != 0) {
        return 1;
    }
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    const long count = std::strtol(argv[2], nullptr, 10);
    for (long i = 0; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(i);
        while (write(fd, &byte, 1) != 1) {
        }
    }
    tcdrain(fd);
    return close(fd) == 0 ? 0 : 1;
}

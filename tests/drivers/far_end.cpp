// The control line to the host's far ends: the guest's ttyS2, raw, one line each way.
#include "drivers/far_end.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "text/text_helpers.h"

namespace velotrix::drivers {

namespace {

constexpr const char* kControlLine = "/dev/ttyS2";

}  // namespace

FarEnd& FarEnd::Host() {
    static FarEnd host;
    return host;
}

FarEnd::FarEnd() : fd_(::open(kControlLine, O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    // Held as serial programs hold their port, so that the port list shows it busy.
    flock(fd_, LOCK_EX | LOCK_NB);
    termios t{};
    if (fd_ >= 0 && tcgetattr(fd_, &t) == 0) {
        cfmakeraw(&t);
        cfsetspeed(&t, B115200);
        tcsetattr(fd_, TCSANOW, &t);
        tcflush(fd_, TCIOFLUSH);
    }
}

std::string FarEnd::Ask(const std::string& command) {
    const std::string line = command + "\n";
    for (std::size_t done = 0; fd_ >= 0 && done < line.size();) {
        const ssize_t written = ::write(fd_, line.data() + done, line.size() - done);
        if (written <= 0) {
            return {};
        }
        done += static_cast<std::size_t>(written);
    }
    // A long answer (the bytes of a transfer) takes a while on the emulated UART.
    std::string answer;
    char c = 0;
    pollfd readable{fd_, POLLIN, 0};
    while (fd_ >= 0 && poll(&readable, 1, 60000) > 0 && ::read(fd_, &c, 1) == 1 && c != '\n') {
        answer.push_back(c);
    }
    return answer;
}

namespace {

std::string HexOf(const Bytes& bytes) {
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += Hex2(byte);
    }
    return hex;
}

}  // namespace

bool FarEnd::Send(const std::string& line, const Bytes& bytes) {
    return Ask("send " + line + " " + HexOf(bytes)) == "ok";
}

bool FarEnd::Trickle(const std::string& line, const Bytes& bytes,
                     std::chrono::milliseconds interval) {
    return bytes.empty() || Ask("trickle " + line + " " + HexOf(bytes) + " " +
                                std::to_string(interval.count())) == "ok";
}

Bytes FarEnd::Take(const std::string& line, std::size_t count, std::chrono::milliseconds wait) {
    const std::string answer =
        Ask("get " + line + " " + std::to_string(count) + " " + std::to_string(wait.count()));
    Bytes bytes;
    for (std::size_t i = 5; i + 1 < answer.size(); i += 2) {
        bytes.push_back(
            static_cast<std::uint8_t>(HexToValue(std::string_view(answer).substr(i, 2))));
    }
    return bytes;
}

std::chrono::milliseconds FarEnd::LongestGap(const std::string& line) {
    const std::string answer = Ask("gap " + line);
    return std::chrono::milliseconds(answer.size() > 4 ? std::stol(answer.substr(4)) : -1);
}

std::uint32_t FarEnd::ChipRate(const std::string& line) {
    const std::string answer = Ask("rate " + line);
    return answer.size() > 5 ? static_cast<std::uint32_t>(std::stoul(answer.substr(5))) : 0;
}

namespace {

// What the wait for the adapter's node found, when it did not find what it waited for.
std::string NodeMissed(const std::string& answer, bool present) {
    if (answer != "ok") {
        return answer;
    }
    if (WaitForNode(kAdapter.path, present)) {
        return {};
    }
    std::string nodes = present ? "no ttyUSB0; there are:" : "ttyUSB0 stays; there are:";
    for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
        if (entry.path().filename().string().starts_with("ttyUSB")) {
            nodes += " " + entry.path().filename().string();
        }
    }
    return nodes;
}

}  // namespace

std::string UnplugAdapter() {
    return NodeMissed(FarEnd::Host().Unplug("ftdi0"), false);
}

std::string PlugAdapterBack() {
    return NodeMissed(FarEnd::Host().Plug("ftdi0", "c0", kAdapterSerial), true);
}

bool WaitForNode(const std::string& path, bool present, std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::filesystem::exists(path) != present) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace velotrix::drivers

// The far ends of the guest's serial lines, played by the host (far_ends.py): the tests say on
// the control line what a far end does and read back what reached it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace velotrix::drivers {

using Bytes = std::vector<std::uint8_t>;

// The lines' names at the host: "usb" (ttyUSB0), "uart" (ttyS1), "usb2" (a second adapter).
class FarEnd {
  public:
    static FarEnd& Host();

    // Forgets what arrived and stops echoing.
    bool Reset(const std::string& line) { return Ask("reset " + line) == "ok"; }
    bool Echo(const std::string& line) { return Ask("echo " + line) == "ok"; }
    bool Send(const std::string& line, const Bytes& bytes);
    // Sends the bytes one by one, the interval apart, while the test goes on.
    bool Trickle(const std::string& line, const Bytes& bytes, std::chrono::milliseconds interval);
    bool Break(const std::string& line) { return Ask("break " + line) == "ok"; }
    // The first count bytes that arrived, or fewer when the time is up first.
    Bytes Take(const std::string& line, std::size_t count,
               std::chrono::milliseconds wait = std::chrono::seconds(10));
    // The longest silence between two bytes since the reset.
    std::chrono::milliseconds LongestGap(const std::string& line);
    // The rate the emulated chip's divisor gives, as the driver last set it.
    std::uint32_t ChipRate(const std::string& line);
    // The adapter with that id pulled out, or put in on a chardev with a serial number; "ok" or
    // the monitor's complaint.
    std::string Unplug(const std::string& id) { return Ask("unplug " + id); }
    std::string Plug(const std::string& id, const std::string& chardev, const std::string& serial) {
        return Ask("plug " + id + " " + chardev + " " + serial);
    }

  private:
    FarEnd();
    // Sends one command line and returns the answer line ("" when none came).
    std::string Ask(const std::string& command);
    int fd_ = -1;
};

// A port of the guest and the host's name for its line.
struct GuestPort {
    const char* name;
    const char* path;
    const char* far;
    bool adapter;  // the USB adapter, which can be pulled out
};
inline constexpr GuestPort kAdapter{"ttyUSB0", "/dev/ttyUSB0", "usb", true};
inline constexpr GuestPort kUart{"ttyS1", "/dev/ttyS1", "uart", false};
inline constexpr const char* kAdapterSerial = "VX0001";

// The adapter pulled out (its node gone), and put back in (its node there again); what went
// wrong, or nothing.
std::string UnplugAdapter();
std::string PlugAdapterBack();

// Waits until the device node exists (or no longer does); false when the time is up.
bool WaitForNode(const std::string& path, bool present,
                 std::chrono::milliseconds wait = std::chrono::seconds(20));

}  // namespace velotrix::drivers

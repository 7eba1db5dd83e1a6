// The serial device contract on the kernel's own drivers: ftdi_sio (an FT232 adapter on the
// emulated USB) and the 8250 UART, each with the host playing the far end.
#include <iostream>

#include "contract/serial_contract.h"
#include "drivers/far_end.h"

namespace velotrix::contract {
namespace {

using drivers::FarEnd;
using drivers::GuestPort;

class GuestLine : public Line {
  public:
    explicit GuestLine(const GuestPort& port) : port_(port) { FarEnd::Host().Reset(port_.far); }
    ~GuestLine() override {
        if (unplugged_) {
            EXPECT_EQ(drivers::PlugAdapterBack(), "");
        }
    }
    OsResult<std::unique_ptr<SerialDevice>> Open() override { return OpenSerialDevice(port_.path); }
    bool FarSends(const Bytes& bytes) override { return FarEnd::Host().Send(port_.far, bytes); }
    Bytes FarGets(std::size_t count) override { return FarEnd::Host().Take(port_.far, count); }
    void Unplug() override { unplugged_ = drivers::UnplugAdapter().empty(); }
    std::optional<bool> HasModemLines() const override { return true; }
    // The emulated chips hold CTS up when their far end has no modem lines.
    bool FarCts() const override { return true; }
    // The emulated adapter reports a break in a packet without data, which ftdi_sio ignores (an
    // FT232 sends the break's NUL byte with it).
    bool FarSendsBreak() override { return !port_.adapter && FarEnd::Host().Break(port_.far); }
    // What the emulated chip makes of the divisor the driver gave it.
    std::optional<std::uint32_t> RateOnTheLine(std::uint32_t rate) override {
        const std::uint32_t carried = FarEnd::Host().ChipRate(port_.far);
        std::cout << port_.name << ": " << rate << " Baud asked, the chip's divisor makes "
                  << carried << "\n";
        return carried;
    }

  private:
    const GuestPort& port_;
    bool unplugged_ = false;
};

std::unique_ptr<Line> MakeAdapterLine() {
    return std::make_unique<GuestLine>(drivers::kAdapter);
}
std::unique_ptr<Line> MakeUartLine() {
    return std::make_unique<GuestLine>(drivers::kUart);
}

VELOTRIX_SERIAL_CONTRACT(Ftdi, MakeAdapterLine);
VELOTRIX_SERIAL_CONTRACT(Uart8250, MakeUartLine);
VELOTRIX_SERIAL_CONTRACT_UNPLUGGED(Ftdi, MakeAdapterLine);

}  // namespace
}  // namespace velotrix::contract

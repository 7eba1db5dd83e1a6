// The serial device contract on the fake line that the engine's table relies on.
#include <algorithm>
#include <cerrno>

#include "contract/serial_contract.h"
#include "platform/fake/fake_serial_device.h"

namespace velotrix::contract {
namespace {

class FakeLine : public Line {
  public:
    FakeLine() { line_->DivideClock(kUartBase); }
    OsResult<std::unique_ptr<SerialDevice>> Open() override {
        if (line_->IsOpen()) {
            return {nullptr, OsError{EBUSY, {}}};
        }
        return {FakeSerialDevice::Share(line_), {}};
    }
    bool FarSends(const Bytes& bytes) override {
        line_->InjectInput(bytes);
        return true;
    }
    Bytes FarGets(std::size_t count) override {
        const Bytes all = line_->Written();
        const auto from = all.begin() + static_cast<long>(std::min(taken_, all.size()));
        const Bytes got(from,
                        from + static_cast<long>(std::min<std::size_t>(count, all.end() - from)));
        taken_ += got.size();
        return got;
    }
    void Unplug() override {
        line_->FailNextWait(EIO);
        line_->FailWrites(EIO);
    }

    std::optional<bool> HasModemLines() const override { return true; }
    // What the UART makes of it; a rate above its base rate leaves the one it had.
    std::optional<std::uint32_t> RateOnTheLine(std::uint32_t rate) override {
        carried_ = rate <= kUartBase ? DividedRate(kUartBase, rate) : carried_;
        return carried_;
    }
    bool FarSendsBreak() override {
        line_->InjectBreak();
        return true;
    }

  private:
    // A PC's 16550, whose rates divide 115200.
    static constexpr std::uint32_t kUartBase = 115200;
    std::shared_ptr<FakeSerialDevice> line_ = std::make_shared<FakeSerialDevice>();
    std::size_t taken_ = 0;
    std::uint32_t carried_ = 9600;
};

std::unique_ptr<Line> MakeFakeLine() {
    return std::make_unique<FakeLine>();
}

VELOTRIX_SERIAL_CONTRACT(Fake, MakeFakeLine);
VELOTRIX_SERIAL_CONTRACT_UNPLUGGED(Fake, MakeFakeLine);

}  // namespace
}  // namespace velotrix::contract

// The serial device contract on the POSIX device, with a pseudo-terminal's master as the far end.
#include "contract/serial_contract.h"
#include "support/pty_pair.h"

namespace velotrix::contract {
namespace {

class PtyLine : public Line {
  public:
    OsResult<std::unique_ptr<SerialDevice>> Open() override {
        return OpenSerialDevice(pty_.SlavePath());
    }
    bool FarSends(const Bytes& bytes) override { return pty_.Write(bytes); }
    Bytes FarGets(std::size_t count) override { return pty_.Read(std::chrono::seconds(10), count); }
    void Unplug() override { pty_.CloseMaster(); }
    std::optional<bool> HasModemLines() const override { return false; }
    // A pseudo-terminal keeps any rate as it was set.
    std::optional<std::uint32_t> RateOnTheLine(std::uint32_t rate) override { return rate; }

  private:
    test::PtyPair pty_;
};

std::unique_ptr<Line> MakePtyLine() {
    return std::make_unique<PtyLine>();
}

VELOTRIX_SERIAL_CONTRACT(Pty, MakePtyLine);
VELOTRIX_SERIAL_CONTRACT_UNPLUGGED(Pty, MakePtyLine);

}  // namespace
}  // namespace velotrix::contract

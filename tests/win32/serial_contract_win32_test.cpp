// The serial device contract on the Win32 COM device: scripts/test-windows joins two COM ports
// (VELOTRIX_TEST_COM_PAIR, "COM6:COM7") into a null-modem line; the second one is the far end.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "contract/serial_contract.h"

namespace velotrix::contract {
namespace {

class ComLine : public Line {
  public:
    ComLine(std::string port, const std::string& farPort) : port_(std::move(port)) {
        far_ = OpenSerialDevice(farPort).value;
        if (far_ != nullptr) {
            far_->Configure({"", 9600, Parity::kNone, 8, 1, false});
            far_->Purge(true, true);
        }
    }
    OsResult<std::unique_ptr<SerialDevice>> Open() override { return OpenSerialDevice(port_); }
    bool FarSends(const Bytes& bytes) override {
        const bool sent =
            far_ != nullptr && far_->Write(bytes.data(), bytes.size()).value == bytes.size();
        far_->Drain();
        return sent;
    }
    Bytes FarGets(std::size_t count) override {
        Bytes got;
        while (far_ != nullptr && got.size() < count && far_->WaitEvent().value.received) {
            std::uint8_t buffer[64];
            const std::size_t read = far_->Read(buffer, sizeof buffer).value;
            got.insert(got.end(), buffer, buffer + read);
        }
        return got;
    }

    // Wine's COM emulation ends a pending write neither on the purge nor on a cancel from
    // another thread; Windows' serial drivers end it on the purge.
    bool EndsAWriteUnderWay() const override {
        return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    }

  private:
    std::string port_;
    std::unique_ptr<SerialDevice> far_;
};

std::unique_ptr<Line> MakeComLine() {
    const char* pair = std::getenv("VELOTRIX_TEST_COM_PAIR");
    const std::string ports = pair != nullptr ? pair : "";
    const std::size_t colon = ports.find(':');
    if (colon == std::string::npos) {
        return nullptr;
    }
    return std::make_unique<ComLine>(ports.substr(0, colon), ports.substr(colon + 1));
}

VELOTRIX_SERIAL_CONTRACT(Win32, MakeComLine);

}  // namespace
}  // namespace velotrix::contract

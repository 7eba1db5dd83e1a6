// A scripted, thread-safe serial device for tests: the test plays the line and the driver.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

class FakeSerialDevice : public SerialDevice {
  public:
    enum class Queue { kInput, kOutput };
    class Registry;

    // The line and the driver, driven by the test.
    void InjectInput(const std::vector<std::uint8_t>& bytes);
    void InjectInput(std::string_view bytes);
    // Counted like a driver counts them; a wait reports lineError, TakeLineErrors() returns them.
    void InjectLineErrors(const LineErrors& errors);
    // A change of the line raises ctsChanged; setting the level it has raises nothing.
    void SetCts(bool on);
    // The next wait fails with the errno (once).
    void FailNextWait(int code);
    // The next read fails with the errno (once).
    void FailNextRead(int code);
    // Every write fails with the errno until FailWrites(0).
    void FailWrites(int code);
    // While held, writes and Drain() block as under CTS flow control, until released or cancelled.
    void HoldWrites(bool hold);

    // What the program did with the device.
    std::vector<std::uint8_t> Written() const;
    int PurgeCount(Queue queue) const;
    std::optional<LineSettings> LastSettings() const;
    int ConfigureCount() const;
    int WaitCount() const;  // waits started
    bool Cancelled() const;
    // True while a handle made by Share() (or opened through a Registry) exists.
    bool IsOpen() const;
    // Block until the condition holds or the time is up; true when it holds.
    bool WaitUntilWritten(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitUntilWaiting(std::chrono::milliseconds timeout) const;

    // A device for code that owns its device (and destroys it when closing); every call goes to
    // the shared fake, which the test keeps.
    static std::unique_ptr<SerialDevice> Share(std::shared_ptr<FakeSerialDevice> device);

    OsError Configure(const LineSettings& settings) override;
    AppliedSettings ReadBack() const override;
    OsResult<SerialEvents> WaitEvent() override;
    void CancelWaits() override;
    std::size_t QueuedInput() override;
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override;
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override;
    void Drain() override;
    void Purge(bool input, bool output) override;
    bool Cts() override;
    LineErrors TakeLineErrors() override;

  private:
    friend class FakeSerialDeviceHandle;
    void SetOpen(bool open);
    bool EventPending() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<std::uint8_t> input_;
    std::vector<std::uint8_t> written_;
    LineErrors countedErrors_;  // since the last TakeLineErrors()
    bool lineErrorPending_ = false;
    bool cts_ = false;
    bool ctsChangedPending_ = false;
    int waitFailure_ = 0;
    int readFailure_ = 0;
    int writeFailure_ = 0;
    bool holdWrites_ = false;
    bool cancelled_ = false;
    bool open_ = false;
    int waiting_ = 0;
    int waitCount_ = 0;
    int configureCount_ = 0;
    int inputPurges_ = 0;
    int outputPurges_ = 0;
    std::optional<LineSettings> lastSettings_;
    AppliedSettings applied_{9600, Parity::kNone, 8, 1, false};
};

// Fake devices by path, for code that lists and opens ports by path. The functions it hands out
// share its state, so they stay valid however long the code under test keeps them.
class FakeSerialDevice::Registry {
  public:
    Registry();

    // A new device listed under the path's file name, after those added before.
    std::shared_ptr<FakeSerialDevice> Add(const std::string& path);
    // Every open of the path fails with the error until FailOpen(path, {}).
    void FailOpen(const std::string& path, const OsError& error);
    // ENOENT for an unknown path, EBUSY while the device is open, as the real devices do.
    OsResult<std::unique_ptr<SerialDevice>> Open(const std::string& path) const;
    std::vector<PortInfo> List() const;

    // For the listPorts and openDevice of the code under test.
    std::function<std::vector<PortInfo>()> Lister() const;
    std::function<OsResult<std::unique_ptr<SerialDevice>>(const std::string& path)> Opener() const;

  private:
    struct Entry {
        PortInfo port;
        std::shared_ptr<FakeSerialDevice> device;
        OsError openFailure;
    };
    struct State {
        std::mutex mutex;
        std::vector<Entry> entries;
    };
    static OsResult<std::unique_ptr<SerialDevice>> OpenIn(State& state, const std::string& path);
    static std::vector<PortInfo> ListIn(State& state);

    std::shared_ptr<State> state_;
};

}  // namespace velotrix

// The port's life: open with the line settings, close once (whoever noticed first that it must
// close), watch for a lost device to come back, and open it again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/engine_events.h"
#include "serial/engine_types.h"
#include "serial/line_log.h"
#include "serial/receive_thread.h"
#include "serial/serial_port.h"

namespace velotrix {

// What the port's life asks of the engine around it. Each runs on the UI thread.
struct PortNeighbours {
    std::function<void(std::span<const std::uint8_t> batch)> received;
    // A sender runs; and stopping it (portOpen is cleared and the waits are cancelled by then).
    std::function<bool()> sending;
    std::function<void()> stopSender;
    // The line is lost and the port closed; before the user is told.
    std::function<void()> lost;
    // The driver counted line errors.
    std::function<void(const LineErrors& errors)> lineErrors = {};
};

class PortLife {
  public:
    // What passes the open port, and its opening, closing and loss, are told to log.
    PortLife(UiLoop& loop, DeviceAccess devices, const EventEmitter& events, SerialPort& port,
             PortNeighbours neighbours, LineLog& log);
    ~PortLife();  // closes the port
    PortLife(const PortLife&) = delete;
    PortLife& operator=(const PortLife&) = delete;

    // Opens and configures the device and starts the receive thread; stops watching for a lost
    // one first. A driver that refuses the settings leaves the port closed.
    EngineResult Open(const LineSettings& settings);
    // Stops every worker, then closes the device; a send cut short is cut short on the wire too.
    // What the receive thread read before is handed over before it returns.
    void Close();
    // The device failed for good (a write found it gone): the port closes once, whoever noticed
    // first.
    void LoseLine(const OsError& error);

    const std::string& OpenPath() const { return openPath_; }
    // DTR and RTS: set now when the port is open, and so after every later open (the open raises
    // both; one wanted low is dropped right after). A refusal of the driver is returned.
    EngineResult SetModemLine(ModemLine line, bool on);
    bool ModemLineOn(ModemLine line) const { return line == ModemLine::kDtr ? dtr_ : rts_; }
    // After the line is lost, watch for the same device and open it again. On by default.
    void SetAutoReopen(bool on);
    // Replaces the receive thread's pause after a line error; takes effect at the next open.
    void SetLineErrorPause(ReceivePause pause) { lineErrorPause_ = std::move(pause); }
    const DeviceAccess& Devices() const { return devices_; }
    // Tells the log which port is open and how it is set (when the log starts meanwhile).
    void NoteOpenPort(std::string_view how) const;
    // Whether received bytes wait to be handed over: read by the receive thread and not yet taken
    // on the UI thread, or still in the driver. UI thread.
    bool InputWaiting() const;

  private:
    EngineResult OpenDevice(const LineSettings& settings);
    // Stops every worker and closes the device; tells nobody (also from the destructor).
    void CloseDevice();
    void EmitModemLines() const;
    void StartReceiveThread();
    void LoseLine(std::uint64_t failedSession, const OsError& error);
    bool IsSameDevice(const PortInfo& lost, const PortInfo& found) const;
    void WatchForReturn();
    void StopWatching();
    // What the port list says of the device at path; nothing for a path it does not hold.
    PortInfo Listed(const std::string& path) const;

    UiLoop& loop_;
    DeviceAccess devices_;
    const EventEmitter& events_;
    SerialPort& port_;
    PortNeighbours neighbours_;
    LineLog& log_;
    std::unique_ptr<ReceiveThread> receiveThread_;
    // What the receive thread has read and the UI thread has not taken yet: one task takes all
    // that gathered, so that a close can take what is left before it tells anyone.
    struct Inbox {
        std::mutex mutex;
        std::vector<std::uint8_t> bytes;
    };
    std::shared_ptr<Inbox> inbox_ = std::make_shared<Inbox>();
    void TakeReceived();
    ReceivePause lineErrorPause_;
    std::string openPath_;
    LineSettings openSettings_;
    std::string openSerialNumber_;
    // Counts the opens, so that a report of an earlier open is never taken for this one.
    std::uint64_t session_ = 0;
    bool dtr_ = true;
    bool rts_ = true;
    // What was open when the line was lost, while the engine watches for it to come back.
    bool autoReopen_ = true;
    std::optional<LineSettings> lostSettings_;
    PortInfo lostPort_;
    // Expires with this object: a report still queued after it is gone does nothing.
    std::shared_ptr<int> lifeToken_ = std::make_shared<int>(0);
};

}  // namespace velotrix

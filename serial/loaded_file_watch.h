// Sends the loaded file again when it is rewritten ("Bei Änderung erneut senden", send --watch):
// follows the file loaded for sending, waits until it has been still for half a second, loads it
// again with the user's header edits and hands it to the face that sends it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/file_watch.h"
#include "serial/engine_types.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"
#include "serial/transmit_image.h"

namespace velotrix {

class LoadedFileWatch {
  public:
    // How long the file must be still before it is taken: an assembler writes in bursts.
    static constexpr std::chrono::milliseconds kStillness{500};

    LoadedFileWatch(UiLoop& loop, TransmitImage& transmit, const SendSequences& sends,
                    const TransferOptions& options, const SerialPort& port)
        : loop_(loop), transmit_(transmit), sends_(sends), options_(options), port_(port) {}
    ~LoadedFileWatch();
    LoadedFileWatch(const LoadedFileWatch&) = delete;
    LoadedFileWatch& operator=(const LoadedFileWatch&) = delete;

    void SetStarter(FileWatchStarter starter) { starter_ = std::move(starter); }
    // Watches with this handler (an empty one ends the watching); the result says why the file
    // loaded now cannot be watched.
    EngineResult SetHandler(RewriteHandler handler);
    // Every load (its path, and whether it succeeded) and unload (an empty path). A failed load of
    // the followed file keeps following it; any other file's load follows that one.
    void Follow(const std::string& path, bool loaded);
    // A send has ended: a rewrite that waited for it is taken now.
    void SendEnded();

  private:
    EngineResult Rewatch();
    void Changed();
    void Settled();

    UiLoop& loop_;
    TransmitImage& transmit_;
    const SendSequences& sends_;
    const TransferOptions& options_;
    const SerialPort& port_;
    FileWatchStarter starter_ = WatchFile;
    RewriteHandler handler_;
    std::string path_;  // the file followed: the one loaded last
    std::unique_ptr<FileWatch> watch_;
    bool waiting_ = false;  // a rewrite waits for the running send to end
};

}  // namespace velotrix

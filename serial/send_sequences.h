// The file and text send commands: one sender thread at a time, writing through the block writer.
#pragma once

#include <memory>

#include "app/screen.h"
#include "image/tx_image.h"
#include "platform/ui_loop.h"
#include "serial/serial_port.h"
#include "serial/transfer_options.h"

namespace velotrix {

class SendSequences {
  public:
    SendSequences(Screen& screen, UiLoop& loop, SerialPort& port, TransferOptions& options,
                  const TxImage& tx);
    ~SendSequences();  // stops and joins the sender
    SendSequences(const SendSequences&) = delete;
    SendSequences& operator=(const SendSequences&) = delete;

    // "Datei senden" (2004) and the text dialog's "Senden" (5002), on the UI thread. A send
    // started while another runs is refused with a message box and changes nothing.
    void FileSendCommand();
    void TextSendCommand();

    // Takes a consistent copy of the transmit image and the pause choice for the next pass of a
    // send. UI thread; the controller calls it after every command.
    void RefreshSnapshot();

    // True while a sender thread runs.
    bool Busy() const;
    // Shows the refusal for a send (or the text dialog) while a sender runs; returns Busy().
    bool RefuseWhileBusy();
    // Stops the sender (portOpen must already be cleared and the device's waits cancelled) and
    // joins it. UI thread; returns at once when none runs.
    void StopAndJoin();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velotrix

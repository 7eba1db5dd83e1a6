// The transmit image behind calls in the user's terms: load, edit the header, choose the pause.
// Every change reaches the sender's copy at once, so the next pass of a send takes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/tx_image.h"
#include "serial/engine_events.h"
#include "serial/send_sequences.h"

namespace velotrix {

// What a load found, besides the result.
struct LoadOutcome {
    EngineResult result;
    bool loaded = false;
    bool isZ80 = false;  // the file brought its own header
    // Why the file could not be read, where the window shows no box for it.
    FileReadStatus fileStatus = FileReadStatus::kRead;
    int osError = 0;
};

class TransmitImage {
  public:
    TransmitImage(TxImage& tx, SendSequences& sends) : tx_(tx), sends_(sends) {}

    // Loads the file (or the loaded one again) with its header as it is shown and sent: the end
    // address that follows from the load address and the length, the trimmed name.
    LoadOutcome Load(const std::string& path);
    LoadOutcome Reload();
    // Forgets the loaded file: a new send is refused until the next load, while a running
    // continuous send goes on with the bytes it has.
    void Unload();

    // Header edits; the load address also sets the end address, which it returns.
    std::uint16_t SetLoadAddress(std::uint32_t aadr);
    void SetStartAddress(std::uint32_t sadr);
    void SetName(const std::string& name);  // trimmed, filled with spaces
    void SetTypeLetter(char letter);
    // The pause after the header: an index into PauseEntries; outside, no entry is chosen.
    void SetPause(int pauseIndex);

  private:
    void HandToSender() { sends_.RefreshSnapshot(pauseIndex_); }

    TxImage& tx_;
    SendSequences& sends_;
    int pauseIndex_ = -1;
    std::vector<std::uint8_t> scratch_ = std::vector<std::uint8_t>(kImageSize);
};

}  // namespace velotrix

// The transmit image behind calls in the user's terms: load, edit the header, choose the pause.
// Every change reaches the sender's copy at once, so the next pass of a send takes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/header_edits.h"
#include "image/tx_image.h"
#include "serial/engine_events.h"
#include "serial/engine_types.h"
#include "serial/send_sequences.h"

namespace velotrix {

class TransmitImage {
  public:
    TransmitImage(TxImage& tx, SendSequences& sends) : tx_(tx), sends_(sends) {}

    // Loads the file (or the loaded one again) with its header as it is shown and sent: the end
    // address that follows from the load address and the length, the trimmed name.
    LoadOutcome Load(const std::string& path);
    LoadOutcome Reload();
    // Loads the file again (it was rewritten) and keeps the user's header edits as far as they
    // still apply (see KeepHeaderEdits); a file that now brings its own header, or no longer
    // does, is taken with the header it gets.
    LoadOutcome ReloadKeepingEdits();
    // Told the path of every load and whether it succeeded, and an empty path for an unload.
    void SetLoadObserver(std::function<void(const std::string& path, bool loaded)> observer) {
        loadObserver_ = std::move(observer);
    }
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
    // Whether the loaded file brought its own header (a z80 file).
    bool LoadedZ80() const { return tx_.loaded && asLoadedZ80_; }

  private:
    void HandToSender() { sends_.RefreshSnapshot(pauseIndex_); }

    TxImage& tx_;
    SendSequences& sends_;
    int pauseIndex_ = -1;
    // The header as the last successful load gave it, of which file, and whether it was a z80
    // file: what the user's edits are told apart from.
    HeaderCopy asLoaded_{};
    std::string asLoadedPath_;
    bool asLoadedZ80_ = false;
    std::function<void(const std::string& path, bool loaded)> loadObserver_;
    std::vector<std::uint8_t> scratch_ = std::vector<std::uint8_t>(kImageSize);
};

}  // namespace velotrix

// The TX group: loading a file into the transmit image, showing its header and editing it.
#pragma once

#include <cstdint>
#include <vector>

#include "app/screen.h"
#include "image/tx_image.h"

namespace velotrix {

class HeaderEditor {
  public:
    HeaderEditor(Screen& screen, TxImage& tx);

    // "BIN/Z80 laden": asks for a file, loads it and shows its header.
    void LoadCommand();
    // "Refresh": reads the loaded file again and shows its header afresh.
    void RefreshTxFile();
    void ShowTxHeader();

    // Reactions to the user's edits; the first three do nothing unless a file is loaded.
    void TxAadrChanged();
    void TxSadrChanged();
    void TxNameChanged();
    void TxTypeSelected();

  private:
    void LoadFromPath(const std::string& path);

    Screen& screen_;
    DialogView& view_;
    TxImage& tx_;
    std::vector<std::uint8_t> scratch_ = std::vector<std::uint8_t>(kImageSize);
    int filterIndex_ = 0;  // the open dialog shows the filter used last time first
};

}  // namespace velotrix

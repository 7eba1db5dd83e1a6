// The TX group: loading a file into the transmit image, showing its header and editing it.
#pragma once

#include <functional>
#include <string>

#include "app/screen.h"
#include "serial/engine.h"

namespace velotrix {

class HeaderEditor {
  public:
    HeaderEditor(Screen& screen, Engine& engine);

    // Told the path of every file the user chose in the open dialog.
    void SetFileChosenHandler(std::function<void(const std::string& path)> handler) {
        fileChosen_ = std::move(handler);
    }

    // "BIN/Z80 laden": asks for a file, loads it and shows its header.
    void LoadCommand();
    // Loads the file at path as if it had been chosen in the open dialog.
    void LoadPath(const std::string& path);
    // "Refresh": reads the loaded file again and shows its header afresh.
    void RefreshTxFile();
    void ShowTxHeader();
    // The file loaded again (by "Refresh", or after it was rewritten): why not, or its header.
    void ShowReloaded(const LoadOutcome& outcome);

    // Reactions to the user's edits; the first three do nothing unless a file is loaded.
    void TxAadrChanged();
    void TxSadrChanged();
    void TxNameChanged();
    void TxTypeSelected();

  private:
    void ShowLoad(const LoadOutcome& outcome, const std::string& path);

    Screen& screen_;
    DialogView& view_;
    Engine& engine_;
    int filterIndex_ = 0;      // the open dialog shows the filter used last time first
    bool wrapWarned_ = false;  // the data of the shown header run past FFFFh
    std::function<void(const std::string& path)> fileChosen_;
};

}  // namespace velotrix

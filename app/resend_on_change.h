// "Bei Änderung erneut senden": the window sends the loaded file again each time it is rewritten
// (the assembler ran), with the header as the user edited it.
#pragma once

#include "app/window_feature.h"
#include "serial/engine_types.h"

namespace velotrix {

class ResendOnChange final : public WindowFeature {
  public:
    explicit ResendOnChange(const WindowParts& parts) : parts_(parts) {}
    ~ResendOnChange() override;

    // The check box as it was left last time.
    void Start() override;
    bool OnCommand(int id, int code) override;

  private:
    void Watch(bool on);
    void Rewritten(const FileRewritten& rewritten);

    WindowParts parts_;
};

}  // namespace velotrix

// The list of the main window's features: a new feature adds its line here.
#include "app/window_feature.h"

#include "app/line_log_feature.h"
#include "app/modem_lines.h"
#include "app/resend_on_change.h"
#include "app/save_every_reception.h"
#include "app/self_test_command.h"
#include "app/terminal_window.h"
#include "app/text_sending.h"
#include "app/xmodem_commands.h"

namespace velotrix {

std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts) {
    std::vector<std::unique_ptr<WindowFeature>> features;
    features.push_back(std::make_unique<ResendOnChange>(parts));
    features.push_back(std::make_unique<TextSending>(parts));
    features.push_back(std::make_unique<LineLogFeature>(parts));
    features.push_back(MakeModemLinesFeature(parts));
    features.push_back(MakeSelfTestFeature(parts));
    features.push_back(MakeSaveEveryReception(parts));
    features.push_back(MakeXmodemFeature(parts));
    features.push_back(MakeTerminalWindow(parts));
    return features;
}

}  // namespace velotrix
